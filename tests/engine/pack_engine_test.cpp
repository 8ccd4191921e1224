// One pass of the pack engine over a file: the report it writes, the block loop and its stops.
#include <gtest/gtest.h>

#include "Fakes.h"
#include "FieldAgreement.h"
#include "MemoryOutputs.h"
#include "PackWriter.h"
#include "TempDir.h"
#include "engine/DemuxWriter.h"
#include "engine/PackEngine.h"
#include "platform/InputFile.h"

using namespace tessary;
using namespace tessary::test;

namespace {

struct PassResult {
    RunState state;
    RecordingReporter out;
    FakeHost host;
};

void runPass(PassResult& r, const Bytes& bytes, const std::string& name,
             RunMode mode = RunMode::Read, const DemuxOutputs* outputs = nullptr) {
    TempDir dir;
    const auto path = dir.writeFile(name, bytes).string();
    InputFile source(path);
    demux(mode, r.state, source, path, r.host, r.out, {}, outputs);
}

Bytes filler(std::size_t size) {
    return Bytes(size, 0x5A);
}

// Fills the writer with padding packs up to at least `size` bytes.
void padTo(PackWriter& w, std::size_t size) {
    while (w.size() < size)
        w.addPaddingPack();
}

// A source whose every pack holds one MPEG-2 picture start code.
Bytes picturePacks(std::size_t packs) {
    PackWriter w;
    Bytes picture = {0x00, 0x00, 0x01, 0x00, 0x12, 0x34};
    picture.resize(2000, 0x77);
    for (std::size_t i = 0; i < packs; ++i)
        w.addPayload(Stream::mpeg2Video(0), picture);
    return w.bytes();
}

} // namespace

TEST(PackEngine, ReadPassReportsNavigationStreamsAndDetails) {
    PackWriter w;
    NavPack nav;
    nav.vobId = 1;
    nav.videoBound = 1;
    nav.audioBound = 2;
    nav.firstPtm = 90000;
    nav.lastPtm = 5625000;
    nav.subpictureSync[0] = 1;
    nav.subpictureSync[4] = 2;
    nav.subpictureSync[31] = 3;
    nav.cgmsValid = nav.apsValid = nav.ictValid = nav.dotValid = true;
    nav.cgms = 2;
    nav.aps = 1;
    nav.ict = nav.dot = true;
    w.addNavPack(nav);
    w.addPayload(Stream::h264Video(0), filler(3000), {.pts = 99009, .dts = 95000});
    w.addPayload(Stream::ac3(0), filler(500), {.pts = 90000});
    Bytes unit = {0x00, 0x00, 0x10, 0x20};
    w.addPayload(Stream::subpicture(0x20), unit, {.pts = 180000});
    nav.vobId = 9; // later navigation packs are not reported
    w.addNavPack(nav);
    padTo(w, kBlockSize + 4096);

    PassResult r;
    runPass(r, w.bytes(), "MOVIE.EVO");
    const std::vector<std::string> expected = {
        "[b]No More Copies[/b]",
        "[b]Type 1 of APS1 is ON[/b]",
        "[b]ICT on, constrained analog output[/b]",
        "[b]DOT on, analog output not allowed[/b]",
        "VOB number 1 contains [b]1[/b] video , [b]2[/b] audio and [b]3[/b] subpicture streams.",
        "PTM of first video frame = [re]00015F90[/re]",
        "PTM of last video frame = 0055D4A8",
        "Duration = [b]0:01:01.500[/b]",
        "[b]H.264 (AVC)[/b] video stream 0 found!",
        "   First PTS = [re]000182C1[/re]  ([re]+100[/re]ms)",
        "   Substream id = E2",
        "[b]Dolby Digital[/b] audio stream 0 found!",
        "   First PTS = [re]00015F90[/re]",
        "   Substream id = 80",
        "[b]Subpicture[/b] stream 0 found!",
        "   First PTS = [re]0002BF20[/re]  ([re]+1000[/re]ms)",
        "   Substream id = 20",
        "   Format = [bl]8bitRLE[/bl]",
    };
    EXPECT_EQ(r.out.lines, expected);
    EXPECT_EQ(r.state.firstVideoPtm, 90000u);
    EXPECT_EQ(r.state.minFirstPts, 90000u); // audio and video only
    EXPECT_DOUBLE_EQ(r.state.totalSeconds, 61.5);
    EXPECT_FALSE(r.host.cancelEnabled);
}

TEST(PackEngine, ReadPassKeepsTheNavigationDataAndDetailsThatADemuxPassLeaves) {
    using Control = NavigationReport::Control;
    NavPack flagsSet, flagsClear, flagsInvalid;
    flagsSet.encryption = 0x40;
    flagsSet.cgmsValid = flagsSet.apsValid = flagsSet.ictValid = flagsSet.dotValid = true;
    flagsSet.cgms = 3;
    flagsSet.aps = 6;
    flagsSet.ict = flagsSet.dot = true;
    flagsClear.cgmsValid = flagsClear.apsValid = flagsClear.ictValid = flagsClear.dotValid = true;
    flagsInvalid.cgms = 2; // values without their valid flags count for nothing
    flagsInvalid.ict = true;
    const std::vector<std::pair<NavPack, Control>> cases = {
        {flagsSet,
         {true, CopyFlag{3, "Encryption Plus Non-Assertion"}, CopyFlag{6, "APS2 is ON"}, true,
          true}},
        {flagsClear, {false, CopyFlag{0, "Copy Freely"}, CopyFlag{0, "off"}, false, false}},
        {flagsInvalid, {false, std::nullopt, std::nullopt, std::nullopt, std::nullopt}}};
    for (auto [nav, control] : cases) {
        nav.vobId = 7;
        nav.firstPtm = 90000;
        nav.lastPtm = 225000;
        nav.audioSync[0] = 1;
        PackWriter w;
        w.addNavPack(nav);
        w.addPayload(Stream::ac3(0), filler(500), {.pts = 99000});
        PassResult r;
        runPass(r, w.bytes(), "MOVIE.EVO");
        const NavigationReport expected{
            "", NavigationReport::Search{7, 0, 1, 0, 90000, 225000, 1.5}, control};
        EXPECT_EQ(r.state.navigation, std::vector<NavigationReport>{expected});
        const std::vector<ReportField> details = {{"First PTS", 99000.0, "", ""},
                                                  {"Substream id", 128.0, "", ""}};
        EXPECT_EQ(r.state.details[audioSlot(0)], details);

        const DemuxOutputs none;
        runPass(r, w.bytes(), "MOVIE.EVO", RunMode::Demux, &none);
        EXPECT_EQ(r.state.navigation, std::vector<NavigationReport>{expected});
        EXPECT_EQ(r.state.details[audioSlot(0)], details);
        EXPECT_EQ(r.state.firstPts[audioSlot(0)], 99000u);
    }
}

TEST(PackEngine, WithoutDetailsOnlyDiscoveryAndNavigationAreReported) {
    PackWriter w;
    w.addPayload(Stream::dts(3), filler(500), {.pts = 1000});
    w.addPayload(Stream::subpicture(0x65), Bytes{0x12, 0x00, 0x00}, {.pts = 1000});
    PassResult r;
    r.host.options.details = false;
    runPass(r, w.bytes(), "a.EVO");
    EXPECT_EQ(r.out.lines, (std::vector<std::string>{
                               "[b]DTS HD (DTS)[/b] audio stream 3 found!",
                               "[b]Extended subpicture[/b] stream 5 found!",
                           }));
    EXPECT_EQ(r.state.minFirstPts, kNoPts);
}

TEST(PackEngine, SourceTypeDecidesNavigationLayoutAndAudioNames) {
    NavPack nav;
    nav.videoBound = 1;
    nav.audioSync = {5, 6, 0, 0, 0, 0, 0, 0};
    nav.subpictureSync[0] = 1;
    PackWriter w;
    w.addVobNavPack(nav);
    w.addPayload(Stream::lpcm(1), filler(300), {.pts = 1});
    // A DVD-Video source reads its sync entries 128 bytes earlier than an EVO. (The file is
    // shorter than one block, so the bounds of its system header stay 0.)
    PassResult vob;
    runPass(vob, w.bytes(), "VTS_01_1.vob");
    EXPECT_EQ(vob.out.lines.at(0),
              "VOB number 1 contains [b]0[/b] video , [b]2[/b] audio and [b]1[/b] subpicture "
              "streams.");
    EXPECT_EQ(vob.out.lines.at(4), "[b]LPCM[/b] audio stream 1 found!");
    PassResult evo;
    runPass(evo, w.bytes(), "X.EVO");
    EXPECT_EQ(evo.out.lines.at(0),
              "VOB number 1 contains [b]0[/b] video and [b]0[/b] audio stream.");
    // Substream 0xA1 of a DVD-Audio file is MLP.
    PassResult aob;
    runPass(aob, w.bytes(), "ATS_01_1.AOB");
    EXPECT_EQ(aob.out.lines.at(4), "[b]MLP[/b] audio stream 1 found!");
}

TEST(PackEngine, DvdAudioSummaryComesFromTheSystemHeaderOfAFullFirstBlock) {
    PackWriter w;
    NavPack nav;
    nav.videoBound = 0;
    nav.audioBound = 2;
    w.addNavPack(nav);
    padTo(w, kBlockSize);
    PassResult aob;
    runPass(aob, w.bytes(), "ATS_01_1.AOB");
    EXPECT_EQ(aob.out.lines.at(0), "It contains [b]2[/b] audio streams.");
    // A file shorter than one block is not examined: no summary, bounds 0.
    Bytes shortFile = w.bytes();
    shortFile.resize(kBlockSize - 2048);
    PassResult small;
    runPass(small, shortFile, "ATS_01_1.AOB");
    ASSERT_FALSE(small.out.lines.empty());
    EXPECT_EQ(small.out.lines.at(0),
              "VOB number 1 contains [b]0[/b] video and [b]0[/b] audio stream.");
}

TEST(PackEngine, EncryptionIsReportedAndCopyFreelyIsNot) {
    PackWriter w;
    NavPack nav;
    nav.encryption = 0x40;
    nav.cgmsValid = true;
    nav.cgms = 0;
    nav.apsValid = true;
    nav.aps = 4; // a value without a name
    w.addNavPack(nav);
    PassResult r;
    runPass(r, w.bytes(), "E.EVO");
    EXPECT_EQ(r.out.lines.at(0), "[b]This file is ENCRYPTED![/b] Decrypt it before any process.");
    EXPECT_EQ(r.out.lines.at(1), "[b][/b]");
    EXPECT_EQ(r.out.lines.at(2).rfind("VOB number", 0), 0u);
}

TEST(PackEngine, FastCheckStopsAfterTheFirstBlockBeyondTheLimit) {
    // 1 MB limit = 4 blocks; the 4th ends exactly on it, the 5th passes it and is the last.
    PassResult r;
    r.host.options.fastSizeMb = 1;
    runPass(r, picturePacks(1536), "F.EVO");
    EXPECT_TRUE(r.state.fastCheckStop);
    EXPECT_EQ(r.state.frameCounts[0], 5u * 128u);

    PassResult full;
    full.host.options.fastCheck = false;
    full.host.options.fastSizeMb = 1;
    runPass(full, picturePacks(1536), "F.EVO");
    EXPECT_EQ(full.state.frameCounts[0], 1536u);
    // A demux pass never stops at the limit, and counts the frames of the video it writes.
    PassResult demuxPass;
    demuxPass.host.options.fastSizeMb = 1;
    MemoryOutputs files;
    const auto video = files.create("v");
    DemuxOutputs outputs;
    outputs.bySlot[videoSlot(0)] = video.get();
    runPass(demuxPass, picturePacks(1536), "F.EVO", RunMode::Demux, &outputs);
    EXPECT_EQ(demuxPass.state.frameCounts[0], 1536u);
    EXPECT_EQ(files.bytes("v").size(), 1536u * 2000u);
}

TEST(PackEngine, CancelStopsWithinOneBlockAndClearsTheCounts) {
    PassResult r;
    r.host.options.fastCheck = false;
    r.host.onProcessMessages = [&r] { r.state.cancelFlag = true; };
    // 9.2 MiB, and an audio packet at the end that a cancelled pass never reaches.
    Bytes bytes = picturePacks(4700);
    PackWriter audio;
    audio.addPayload(Stream::ac3(0), Bytes(100, 0x55));
    bytes.insert(bytes.end(), audio.bytes().begin(), audio.bytes().end());
    runPass(r, bytes, "C.EVO");
    EXPECT_EQ(r.state.streamTable[audioSlot(0)], kNoStream);
    EXPECT_EQ(r.state.frameCounts[0], 0u);
    EXPECT_TRUE(r.state.cancelFlag);
    EXPECT_FALSE(r.host.cancelEnabled);
    ASSERT_EQ(r.out.panels.size(), 1u);
    EXPECT_EQ(r.out.panels[0].first, 1);
    EXPECT_EQ(r.out.panels[0].second.substr(0, 31), "4/9 Mbytes, Remaining time: 0:0");
}

TEST(PackEngine, ProgressTextEstimatesTheRemainingTime) {
    // 400 of 8000 MiB in 60 s: 19 minutes left, plus the second that is always added.
    const double minute = 60.0 / 86400.0;
    EXPECT_EQ(progressText(400 * kMebibyte, 8000 * kMebibyte, minute, {}),
              "400/8000 Mbytes, Remaining time: 0:19:01");
    LocaleSettings dots;
    dots.timeSeparator = '.';
    EXPECT_EQ(progressText(4 * kMebibyte, 8 * kMebibyte, minute, dots),
              "4/8 Mbytes, Remaining time: 0.01.01");
}
