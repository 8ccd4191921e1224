// The Read command end to end on the window model: log, stream boxes, buttons, continuation,
// cancel and errors.
#include <gtest/gtest.h>

#include "Fakes.h"
#include "PackWriter.h"
#include "TempDir.h"
#include "shell/Main.h"

using namespace tessary;
using namespace tessary::test;

namespace {

std::vector<std::string> plainLines(const MessageLog& log) {
    std::vector<std::string> lines;
    for (const auto& line : log.lines())
        lines.push_back(line.plainText());
    return lines;
}

// One file of a feature: a navigation pack, video 0 (VC-1), an AC-3 stream and a subpicture
// stream, with `pictures` frame start codes.
Bytes featurePart(uint16_t vobId, uint32_t firstPtm, uint32_t lastPtm, int pictures,
                  bool withDtsStream = false) {
    PackWriter w;
    NavPack nav;
    nav.vobId = vobId;
    nav.firstPtm = firstPtm;
    nav.lastPtm = lastPtm;
    nav.audioBound = withDtsStream ? 2 : 1;
    w.addNavPack(nav);
    Bytes frame = {0x00, 0x00, 0x01, 0x0D, 0x33};
    frame.resize(900, 0x44);
    for (int i = 0; i < pictures; ++i)
        w.addPayload(Stream::vc1Video(0), frame, {.pts = firstPtm + 3754u * i});
    w.addPayload(Stream::ac3(0), Bytes(400, 0x0B), {.pts = firstPtm});
    if (withDtsStream) w.addPayload(Stream::dts(1), Bytes(400, 0x7F), {.pts = firstPtm});
    w.addPayload(Stream::subpicture(0x20), Bytes{0, 0, 1, 2}, {.pts = firstPtm + 9000});
    return w.bytes();
}

class ReadCommand : public ::testing::Test {
protected:
    void read(const std::filesystem::path& source) {
        main.Resetcbs();
        main.eEVOfile.setText(source.string());
        main.EVOadj();
        main.bReadEVOClick();
    }

    TempDir dir;
    FakeUi ui;
    FakeClock clock;
    TfMain main{ui, clock};
};

} // namespace

TEST_F(ReadCommand, ReportsTheStreamsAndFillsTheBoxes) {
    const auto path = dir.writeFile("MOVIE.EVO", featurePart(1, 90000, 90000 + 450450, 12));
    read(path);
    const std::vector<std::string> expected = {
        "Opening file MOVIE.EVO",
        "Reading...",
        "File size: 0 Mbytes.",
        "VOB number 1 contains 0 video and 0 audio stream.",
        "PTM of first video frame = 00015F90",
        "PTM of last video frame = 00083F22",
        "Duration = 0:00:05.005",
        "VC-1 video stream 0 found!",
        "   First PTS = 00015F90",
        "   Substream id = 55",
        "Dolby Digital audio stream 0 found!",
        "   First PTS = 00015F90",
        "   Substream id = 80",
        "Subpicture stream 0 found!",
        "   First PTS = 000182B8  (+100ms)",
        "   Substream id = 20",
        "   Format = 8bitRLE",
        "Done.",
        "",
        "12 frames count in video stream 0.",
        "",
    };
    EXPECT_EQ(plainLines(main.reMessage), expected);
    EXPECT_TRUE(main.cbVideo[0].enabled());
    EXPECT_TRUE(main.cbVideo[0].checked());
    EXPECT_EQ(main.cbVideo[0].caption(), "VC-1.stream.0");
    EXPECT_EQ(main.cbAudio[0].caption(), "DD.stream.00");
    EXPECT_EQ(main.cbSub[0].caption(), "Subpicture.00");
    EXPECT_FALSE(main.cbVideo[1].enabled());
    EXPECT_EQ(main.cbVideo[1].caption(), "No video stream");
    EXPECT_EQ(main.state.outputBaseName, "MOVIE");
    EXPECT_EQ(main.statusBar.panelText(0), " Ready");
    // Read gives the buttons back; the selection rule enables Demux and, for an EVO, Rebuild.
    EXPECT_TRUE(main.bReadEVO.enabled());
    EXPECT_TRUE(main.bbEVO.enabled());
    EXPECT_TRUE(main.bbXPL.enabled());
    EXPECT_TRUE(main.bDemux.enabled());
    EXPECT_TRUE(main.bRebuild.enabled());
    EXPECT_FALSE(main.bCancel.enabled());
}

TEST_F(ReadCommand, ContinuesOntoTheSecondFeatureFile) {
    const auto first = dir.writeFile("FEATURE_1.EVO", featurePart(1, 90000, 990000, 10, true));
    dir.writeFile("FEATURE_2.EVO", featurePart(2, 990000, 1890000, 7));
    read(first);
    const auto lines = plainLines(main.reMessage);
    const auto at = std::find(lines.begin(), lines.end(), "Continue on FEATURE_2.EVO");
    ASSERT_NE(at, lines.end());
    EXPECT_EQ(*(at - 1), "");
    EXPECT_EQ(*(at + 1), "Reading...");
    EXPECT_EQ(*(at + 2), "VOB number 2 contains 0 video and 0 audio stream.");
    // The second file's first PTS offsets count from the first file's start.
    EXPECT_NE(std::find(at, lines.end(), "   First PTS = 000F1B30  (+10000ms)"), lines.end());
    EXPECT_EQ(main.state.outputBaseName, "FEATURE_1_FEATURE_2");
    EXPECT_TRUE(main.lastReadContinued());
    EXPECT_EQ(main.state.frameCounts[0], 17u);
    EXPECT_DOUBLE_EQ(main.state.totalSeconds, 20.0);
    EXPECT_EQ(main.state.firstVideoPtm, 90000u);
    // The boxes describe the second file only: its DTS stream is gone.
    EXPECT_TRUE(main.cbAudio[0].enabled());
    EXPECT_FALSE(main.cbAudio[1].enabled());

    // Without the option, or from the second file, there is nothing to continue with.
    main.reMessage.clear();
    main.cbContinue.setChecked(false);
    read(first);
    EXPECT_FALSE(main.lastReadContinued());
    EXPECT_EQ(main.state.outputBaseName, "FEATURE_1");
    const auto single = plainLines(main.reMessage);
    EXPECT_EQ(std::count(single.begin(), single.end(), "Reading..."), 1);
}

TEST_F(ReadCommand, CancelInTheFirstPassSkipsTheSecondFile) {
    PackWriter big;
    Bytes frame = {0x00, 0x00, 0x01, 0x0D};
    frame.resize(2000, 0x21);
    for (int i = 0; i < 2100; ++i)
        big.addPayload(Stream::vc1Video(0), frame);
    const auto first = dir.writeFile("FEATURE_1.EVO", big.bytes());
    dir.writeFile("FEATURE_2.EVO", featurePart(2, 1, 2, 1));
    main.cbFastCheck.setChecked(false);
    ui.onProcessMessages = [this] { main.bCancelClick(); }; // at the 4 MiB progress point
    read(first);
    const auto lines = plainLines(main.reMessage);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Continue on FEATURE_2.EVO"), 0);
    EXPECT_EQ(lines.back(), "Cancelled."); // and no "Done." after it
    EXPECT_TRUE(ui.questions.empty());     // a Read is stopped without a question
    EXPECT_EQ(main.state.frameCounts[0], 0u);
    EXPECT_TRUE(main.cbVideo[0].checked()); // what was found before the stop
}

// The question names the step that runs; the run itself says "Cancelled." when it stops.
TEST_F(ReadCommand, CancelOfAWritingStepAsksFirstNamingIt) {
    for (const bool muxing : {false, true}) {
        main.state = {};
        main.state.writingPass = !muxing;
        main.state.muxing = muxing;
        ui.questions.clear();
        ui.answer = false;
        main.bCancelClick();
        EXPECT_FALSE(main.state.cancelFlag);
        ui.answer = true;
        main.bCancelClick();
        EXPECT_TRUE(main.state.cancelFlag);
        EXPECT_EQ(ui.questions,
                  std::vector<std::string>(2, muxing ? "Stop making the Matroska file?"
                                                     : "Are you sure to stop demuxing?"));
    }
    EXPECT_TRUE(main.reMessage.lines().empty());
}

TEST_F(ReadCommand, ASourceThatCannotBeOpenedShowsTheErrorAndFreesTheButtons) {
    main.eXPLfile.setText("/x/ADV_OBJ/VPLST000.XPL");
    main.XPLadj();
    read(dir.file("MISSING.EVO"));
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(
        ui.errors[0].rfind("Cannot open file \"" + dir.file("MISSING.EVO").string() + "\". ", 0),
        0u);
    // The error ends the log, in red.
    EXPECT_EQ(plainLines(main.reMessage),
              (std::vector<std::string>{"Opening file MISSING.EVO", ui.errors[0]}));
    EXPECT_EQ(main.reMessage.lines().back().runs[0].attributes.colour, (Rgb{255, 0, 0}));
    EXPECT_TRUE(main.bReadEVO.enabled());
    EXPECT_TRUE(main.bReadXPL.enabled());
    EXPECT_TRUE(main.bbEVO.enabled());
    EXPECT_FALSE(main.bCancel.enabled());
    EXPECT_FALSE(main.bDemux.enabled());
}

TEST_F(ReadCommand, AFileWithoutStreamsLeavesEveryBoxDisabled) {
    read(dir.writeFile("EMPTY.VOB", Bytes(5000, 0xEE)));
    for (const auto& box : main.cbVideo)
        EXPECT_FALSE(box.enabled() || box.checked());
    for (const auto& box : main.cbAudio)
        EXPECT_FALSE(box.enabled() || box.checked());
    for (const auto& box : main.cbSub)
        EXPECT_FALSE(box.enabled() || box.checked());
    EXPECT_FALSE(main.bDemux.enabled());
    EXPECT_FALSE(main.bRebuild.enabled());
    // Random bytes are no program stream: the window says so, after the report.
    EXPECT_EQ(plainLines(main.reMessage).back(),
              "Warning: no MPEG program stream found in EMPTY.VOB");
}

TEST_F(ReadCommand, AutoClearEmptiesTheLogAndOtherwiseReadsAppend) {
    const auto path = dir.writeFile("A.EVO", featurePart(1, 1, 2, 1));
    read(path);
    const std::size_t once = main.reMessage.lines().size();
    read(path);
    EXPECT_EQ(main.reMessage.lines().size(), 2 * once);
    main.cbAutoClear.setChecked(true);
    read(path);
    EXPECT_EQ(main.reMessage.lines().size(), once);
}
