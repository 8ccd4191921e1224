// The audio detail lines of a whole Read over the demo disc of samples/.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "DemoDisc.h"
#include "shell/Main.h"

using namespace tessary;
using namespace tessary::test;

namespace {

using Lines = std::vector<std::string>;

// The lines from `first` up to (not including) the next line that starts with `next`.
Lines section(const Lines& lines, const std::string& first, const std::string& next) {
    const auto from = std::find(lines.begin(), lines.end(), first);
    if (from == lines.end()) return {};
    const auto to = std::find_if(from + 1, lines.end(),
                                 [&next](const std::string& l) { return l.rfind(next, 0) == 0; });
    return {from, to};
}

} // namespace

TEST(AudioDemoDisc, ReadReportsEveryAudioStream) {
    const auto read = readDemoDisc();
    ASSERT_TRUE(read->ui.errors.empty()) << read->ui.errors.front();
    const Lines& lines = read->lines;

    EXPECT_EQ(section(lines, "Dolby Digital audio stream 0 found!", "Dolby Digital Plus"),
              (Lines{"Dolby Digital audio stream 0 found!", "   First PTS = 00015F90",
                     "   Substream id = 80", "   Stream 0 is Dolby Digital",
                     "   Sampling frequency = 48 kHz", "   Transmission bitrate = 448 kbit/s",
                     "   Channel arrangement = L + R + C + Ls + Rs, bsid = 8, bsmod =0"}));
    EXPECT_EQ(section(lines, "Dolby Digital Plus audio stream 1 found!", "DTS"),
              (Lines{"Dolby Digital Plus audio stream 1 found!", "   First PTS = 00015F90",
                     "   Substream id = C1", "   Stream 1 is Dolby Digital Plus",
                     "   frame size = 1536 bytes, number of blocks per frame = 6",
                     "   Sampling frequency = 48 kHz", "   Transmission bitrate = 384 kbit/s",
                     "   Channel arrangement = L + R + C + Ls + Rs, bsid = 16",
                     "   LFE channel = present"}));

    // DTS: each core frame in the first packet is reported.
    const Lines dts = section(lines, "DTS HD (DTS) audio stream 2 found!", "Dolby TrueHD");
    ASSERT_GE(dts.size(), 12u);
    EXPECT_EQ(
        Lines(dts.begin() + 3, dts.begin() + 12),
        (Lines{"   PCM core samples = 32", "   PCM sample blocks = 16",
               "   Primary frame byte size = 1023", "   Channel arrangement = C + L + R + Ls + Rs",
               "   Sampling frequency = 48 kHz", "   Transmission bitrate = 768 kbit/s",
               "   LFE channel = present (IF:64)", "   Encoder software rev. = 7, Current",
               "   Source PCM resolution = 16 bits"}));

    const Lines trueHd = section(lines, "Dolby TrueHD audio stream 3 found!", "LPCM");
    ASSERT_GE(trueHd.size(), 5u);
    EXPECT_EQ(trueHd[3], "   TrueHD stream (up to 8 channels)");
    EXPECT_EQ(trueHd[4], "   Sampling frequency = 48 kHz");

    EXPECT_EQ(section(lines, "LPCM audio stream 4 found!", "Subpicture"),
              (Lines{"LPCM audio stream 4 found!", "   First PTS = 00015F90",
                     "   Substream id = A4", "   Number of frame headers = 7",
                     "   First acces unit pointer = 0004", "   Emphasis = off, mute = off",
                     "   Frame number = 0", "   Quantization length = 16 bits",
                     "   Sampling frequency = 48 kHz", "   Number of audio channels = 2"}));
}
