// The demo disc of samples/: real encoder output muxed as an HD DVD feature in two files.
#include <gtest/gtest.h>

#include <filesystem>

#include "DemoDisc.h"
#include "shell/Main.h"

using namespace tessary;
using namespace tessary::test;

TEST(DemoDisc, ReadsBothFeatureFilesAsOne) {
    const auto read = readDemoDisc();
    TfMain& main = read->main;
    EXPECT_EQ(main.eXPLfile.text(), (demoDisc() / "ADV_OBJ" / "VPLST000.XPL").string());
    ASSERT_TRUE(read->ui.errors.empty()) << read->ui.errors.front();
    const std::vector<std::string>& lines = read->lines;
    auto has = [&lines](const std::string& text) {
        return std::find(lines.begin(), lines.end(), text) != lines.end();
    };
    EXPECT_TRUE(has("VOB number 1 contains 2 video , 5 audio and 2 subpicture streams."));
    EXPECT_TRUE(has("Duration = 0:00:06.006"));
    EXPECT_TRUE(has("No More Copies"));
    EXPECT_TRUE(has("Continue on FEATURE_2.EVO"));
    EXPECT_TRUE(has("VOB number 2 contains 2 video , 5 audio and 2 subpicture streams."));
    EXPECT_TRUE(has("   First PTS = 0009A290  (+6016ms)"));
    EXPECT_TRUE(has("Done."));
    // 144 + 132 pictures: H.264 access unit delimiters and VC-1 frame start codes.
    EXPECT_EQ(main.state.frameCounts[0], 276u);
    EXPECT_EQ(main.state.frameCounts[1], 276u);
    EXPECT_NEAR(main.state.totalSeconds, 11.511, 0.001);
    EXPECT_EQ(main.state.outputBaseName, "FEATURE_1_FEATURE_2");

    const std::vector<std::string> captions = {"H.264.stream.0", "VC-1.stream.1"};
    EXPECT_EQ(main.cbVideo[0].caption(), captions[0]);
    EXPECT_EQ(main.cbVideo[1].caption(), captions[1]);
    EXPECT_EQ(main.cbAudio[0].caption(), "DD.stream.00");
    EXPECT_EQ(main.cbAudio[1].caption(), "DD+.stream.01");
    EXPECT_EQ(main.cbAudio[2].caption(), "DTSHD.stream.02");
    EXPECT_EQ(main.cbAudio[3].caption(), "MLP.stream.03");
    EXPECT_EQ(main.cbAudio[4].caption(), "LPCM.stream.04");
    EXPECT_EQ(main.cbSub[1].caption(), "Subpicture.01");
    EXPECT_FALSE(main.cbAudio[5].enabled());
}
