// The video detail lines of a whole Read of the demo disc (samples/): H.264 on stream id
// 0xE2 and VC-1 on stream id extension 0x56, both 1920x1080 at 24000/1001.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "DemoDisc.h"
#include "shell/Main.h"

namespace tessary::test {
namespace {

using Lines = std::vector<std::string>;

// The lines that follow `first` and its first-PTS line, as many as `expected` holds, at
// every place `first` occurs.
void expectBlocks(const Lines& lines, const std::string& first, const Lines& expected,
                  int occurrences) {
    int found = 0;
    for (auto it = lines.begin(); (it = std::find(it, lines.end(), first)) != lines.end(); ++it) {
        ++found;
        ASSERT_GE(static_cast<std::size_t>(lines.end() - it), expected.size() + 2) << first;
        EXPECT_EQ(Lines(it + 2, it + 2 + static_cast<long>(expected.size())), expected) << first;
    }
    EXPECT_EQ(found, occurrences) << first;
}

TEST(DemoDiscVideo, ReadReportsBothVideoStreamsAndTheirRates) {
    const auto read = readDemoDisc();
    ASSERT_TRUE(read->ui.errors.empty()) << read->ui.errors.front();
    const Lines& lines = read->lines;
    TfMain& main = read->main;

    // Each file of the split feature reports its streams again.
    expectBlocks(lines, "H.264 (AVC) video stream 0 found!",
                 {"   Substream id = E2", "   Profile = High", "   Level = 4.1",
                  "   Chroma format = 4:2:0  (l, c) = 8, 8 bit", "   Size = 1920x1080",
                  "   Aspect ratio = 1:1 (square samples)", "   Video format = Unspecified",
                  "   Time scale = 48000 Hz", "   Frame rate = 23.976 fps"},
                 2);
    expectBlocks(lines, "VC-1 video stream 1 found!",
                 {"   Substream id = 56", "   Profile = Advanced", "   Level = 3",
                  "   Chroma Format = 4:2:0", "   Size = 1920x1080", "   Display size = 1920x1080",
                  "   Aspect ratio = 1:1 (square samples)", "   Frame Rate = 23.976 (24000/1001)"},
                 2);

    EXPECT_DOUBLE_EQ(main.state.frameRates[0], 24000.0 / 1001);
    EXPECT_DOUBLE_EQ(main.state.frameRates[1], 24000.0 / 1001);
    // 276 frames at the rate the inspectors found: 11.511 s.
    const auto has = [&lines](const std::string& text) {
        return std::find(lines.begin(), lines.end(), text) != lines.end();
    };
    EXPECT_TRUE(has("276 counted frames (0:00:11.511) in video stream 0."));
    EXPECT_TRUE(has("276 calculated frames (0:00:11:511) in video stream 1."));
}

} // namespace
} // namespace tessary::test
