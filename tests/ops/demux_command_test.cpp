// The Demux command end to end on the window model: names, the log, a split feature written
// byte for byte, the selection taken once, Cancel, failing files and Auto Demux.
#include <gtest/gtest.h>

#include "DemuxData.h"
#include "Fakes.h"
#include "LpcmFixtures.h"
#include "MemoryOutputs.h"
#include "PackWriter.h"
#include "TempDir.h"
#include "shell/Main.h"

using namespace tessary;
using namespace tessary::test;
namespace fs = std::filesystem;

namespace {

// What one file of a feature carries: VC-1 video 0, AC-3 audio 0, subpicture 0.
struct Part {
    Bytes video, audio, sub;
    uint32_t firstPts;
};

Part part(unsigned salt, uint32_t firstPts) {
    Bytes video = randomBytes(9000, salt);
    video[0] = 0, video[1] = 0, video[2] = 1, video[3] = 0x0D; // one frame start code
    return {video, randomBytes(3000, salt + 1), randomBytes(2500, salt + 2), firstPts};
}

// A file of `packs` whole video packs is at least that many times 2048 bytes.
Bytes featureFile(const Part& p, std::size_t extraVideoPacks = 0) {
    PackWriter w;
    NavPack nav;
    nav.firstPtm = p.firstPts;
    nav.lastPtm = p.firstPts + 90000;
    w.addNavPack(nav);
    w.addPayload(Stream::vc1Video(0), p.video, {.pts = p.firstPts});
    w.addPayload(Stream::ac3(0), p.audio, {.pts = p.firstPts + 900});
    w.addPayload(Stream::subpicture(0x20), p.sub, {.pts = p.firstPts + 9000, .maxPerPack = 1000});
    const Bytes filler(2000, 0x11);
    for (std::size_t i = 0; i < extraVideoPacks; ++i)
        w.addPayload(Stream::vc1Video(0), filler);
    return w.bytes();
}

class DemuxCommand : public ::testing::Test {
protected:
    void read(const fs::path& source) {
        main.Resetcbs();
        main.eEVOfile.setText(source.string());
        main.EVOadj();
        main.bReadEVOClick();
    }
    // The log lines from the last one that begins with `first`.
    std::vector<std::string> linesFrom(const std::string& first) const {
        std::vector<std::string> lines;
        for (const auto& line : main.reMessage.lines()) {
            const std::string text = line.plainText();
            if (text.rfind(first, 0) == 0) lines.clear();
            lines.push_back(text);
        }
        return lines;
    }
    std::vector<std::string> targetPaths() const {
        std::vector<std::string> paths;
        for (const auto& target : main.lastDemuxTargets())
            paths.push_back(target.path);
        return paths;
    }

    TempDir dir;
    FakeUi ui;
    FakeClock clock;
    TfMain main{ui, clock};
};

} // namespace

TEST_F(DemuxCommand, WritesASplitFeatureStreamByStreamAndReportsIt) {
    const Part one = part(10, 900000), two = part(20, 990000);
    const auto first = dir.writeFile("FEATURE_1.EVO", featureFile(one));
    dir.writeFile("FEATURE_2.EVO", featureFile(two));
    main.eWorkdir.setText(dir.file("new/out").string()); // made when missing
    read(first);
    main.bDemuxClick();

    const std::string out = dir.file("new/out").string() + "/FEATURE_1_FEATURE_2.";
    const std::vector<std::string> expected = {
        "Opening file FEATURE_1.EVO",
        "File size: 0 Mbytes.",
        "Creating " + out + "VC-1.stream.0.mpv",
        "Creating " + out + "DD.stream.00.mpa",
        "Creating " + out + "Subpicture.00.sup",
        "Demuxing...",
        "",
        "Continue on FEATURE_2.EVO",
        "Demuxing...",
        "Done.",
        "",
        "2 frames count in video stream 0.",
        "",
    };
    EXPECT_EQ(linesFrom("Opening file FEATURE_1.EVO"), expected);
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_TRUE(main.bDemux.enabled());
    EXPECT_FALSE(main.state.writingPass);

    // Both files' data, the first file's first; subpicture times rebased to the smallest
    // first PTS of the Read (the first file's video).
    EXPECT_EQ(readFile(out + "VC-1.stream.0.mpv"), concat({one.video, two.video}));
    EXPECT_EQ(readFile(out + "DD.stream.00.mpa"), concat({one.audio, two.audio}));
    EXPECT_EQ(readFile(out + "Subpicture.00.sup"),
              concat({subpictureRecord(9000, one.sub), subpictureRecord(90000 + 9000, two.sub)}));
}

TEST_F(DemuxCommand, NamesFollowTheFolderTheBaseNameAndTheCaptions) {
    const auto first = dir.writeFile("FEATURE_1.EVO", featureFile(part(1, 90000)));
    const std::string folder = dir.path().string();
    MemoryOutputs files;
    main.setOutputFiles(&files);
    struct Row {
        std::string workdir;
        bool withSecond;
        bool continueOption;
        std::string audioCaption;
        std::string audioExt;
        std::vector<std::string> expected;
    };
    const std::vector<Row> rows = {
        {"/out",
         false,
         true,
         "DD.stream.00",
         "mpa",
         {"/out/FEATURE_1.VC-1.stream.0.mpv", "/out/FEATURE_1.DD.stream.00.mpa",
          "/out/FEATURE_1.Subpicture.00.sup"}},
        {"/out/",
         true,
         true,
         "DD.stream.00",
         "ac3",
         {"/out/FEATURE_1_FEATURE_2.VC-1.stream.0.mpv", "/out/FEATURE_1_FEATURE_2.DD.stream.00.ac3",
          "/out/FEATURE_1_FEATURE_2.Subpicture.00.sup"}},
        // No output folder: beside the source. Continuation off: the first file's name alone.
        {"",
         true,
         false,
         "DD.stream.00",
         "mpa",
         {folder + "/FEATURE_1.VC-1.stream.0.mpv", folder + "/FEATURE_1.DD.stream.00.mpa",
          folder + "/FEATURE_1.Subpicture.00.sup"}},
        // Captions and extensions cannot lead out of the folder.
        {"/out",
         false,
         true,
         "../../etc/x:y*\"<>|\t",
         "/../a",
         {"/out/FEATURE_1.VC-1.stream.0.mpv", "/out/FEATURE_1.___.._etc_x_y______._.._a",
          "/out/FEATURE_1.Subpicture.00.sup"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.workdir + " " + row.audioCaption);
        fs::remove(dir.file("FEATURE_2.EVO"));
        if (row.withSecond) dir.writeFile("FEATURE_2.EVO", featureFile(part(2, 90000)));
        main.cbContinue.setChecked(row.continueOption);
        main.eWorkdir.setText(row.workdir);
        read(first);
        main.cbAudio[0].setCaption(row.audioCaption);
        main.eAudioExt.setText(row.audioExt);
        main.bDemuxClick();
        EXPECT_EQ(targetPaths(), row.expected);
        EXPECT_TRUE(ui.errors.empty());
    }
}

// LPCM as WAV: the LPCM stream of an EVO or a VOB becomes a .wav holding its samples, also
// across a continued feature; the AC-3 beside it, the LPCM of an AOB and every stream with the
// option off keep their bare payloads.
TEST_F(DemuxCommand, LpcmAsWavWritesTheLpcmOfEvoAndVobSourcesAsWav) {
    // Parts of 16-bit stereo LPCM that end inside a frame; together they hold whole frames.
    const Bytes one = randomBytes(4001, 8), two = randomBytes(3003, 9), ac3 = randomBytes(900, 10);
    auto file = [&ac3](const Bytes& lpcm) {
        PackWriter w;
        w.addPayload(Stream::lpcm(0), lpcm, {.pts = 90000});
        w.addPayload(Stream::ac3(1), ac3, {.pts = 90000});
        return w.bytes();
    };
    Bytes samples = concat({one, two});
    for (std::size_t i = 0; i < samples.size(); i += 2)
        std::swap(samples[i], samples[i + 1]);
    const Bytes wav = wavFile({16, 48000, 2}, samples);
    struct Row {
        std::string source;
        bool option;
        std::string lpcmFile;
        Bytes lpcm;
    };
    const std::vector<Row> rows = {
        {"FEATURE_1.EVO", true, "FEATURE_1_FEATURE_2.LPCM.stream.00.wav", wav},
        {"FEATURE_1.EVO", false, "FEATURE_1_FEATURE_2.LPCM.stream.00.mpa", concat({one, two})},
        {"MOVIE.VOB", true, "MOVIE.LPCM.stream.00.wav",
         wavFile({16, 48000, 2}, Bytes(samples.begin(), samples.begin() + 4000))},
        {"MOVIE.AOB", true, "MOVIE.LPCM.stream.00.mpa", one},
    };
    dir.writeFile("FEATURE_2.EVO", file(two));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.source + (row.option ? " as WAV" : ""));
        MemoryOutputs files;
        main.setOutputFiles(&files);
        main.eWorkdir.setText("/out");
        read(dir.writeFile(row.source, file(one)));
        main.cbLpcmWav.setChecked(row.option);
        main.bDemuxClick();
        const std::string base = "/out/" + row.lpcmFile.substr(0, row.lpcmFile.find('.'));
        EXPECT_EQ(files.order,
                  (std::vector<std::string>{"/out/" + row.lpcmFile, base + ".DD.stream.01.mpa"}));
        EXPECT_EQ(files.bytes("/out/" + row.lpcmFile), row.lpcm);
        EXPECT_TRUE(ui.errors.empty());
    }
}

TEST_F(DemuxCommand, TheSelectionIsTakenOnceAndCancelStopsAfterTheBlock) {
    // 3000 video packs: about 6 MiB, so the pass processes messages once, at 4 MiB.
    const auto first = dir.writeFile("FEATURE_1.EVO", featureFile(part(3, 90000), 3000));
    dir.writeFile("FEATURE_2.EVO", featureFile(part(4, 90000)));
    main.eWorkdir.setText(dir.path().string());
    read(first);
    main.cbSub[0].setChecked(false);
    ui.answer = true;
    bool buttonsDuringPass = true;
    ui.onProcessMessages = [&] {
        main.cbSub[0].setChecked(true);    // opens no file
        main.cbAudio[0].setChecked(false); // still written to the end of the pass
        buttonsDuringPass = main.bDemux.enabled() || main.bRebuild.enabled();
        main.bCancelClick();
    };
    main.bDemuxClick();

    const std::string prefix = dir.path().string() + "/FEATURE_1_FEATURE_2.";
    EXPECT_EQ(targetPaths(), (std::vector<std::string>{prefix + "VC-1.stream.0.mpv",
                                                       prefix + "DD.stream.00.mpa"}));
    EXPECT_FALSE(fs::exists(prefix + "Subpicture.00.sup"));
    EXPECT_EQ(ui.questions, std::vector<std::string>{"Are you sure to stop demuxing?"});
    EXPECT_FALSE(buttonsDuringPass); // a box ticked during the pass enables no command
    // A cancelled Demux keeps none of its unfinished files, and says so.
    const auto lines = linesFrom("Demuxing...");
    EXPECT_EQ(lines,
              (std::vector<std::string>{
                  "Demuxing...", "Removed the unfinished file " + prefix + "VC-1.stream.0.mpv",
                  "Removed the unfinished file " + prefix + "DD.stream.00.mpa", "Cancelled."}));
    for (const std::string& path : targetPaths())
        EXPECT_FALSE(fs::exists(path)) << path;
    // The counts of a cancelled pass are 0.
    EXPECT_EQ(main.state.frameCounts[0], 0u);
    EXPECT_TRUE(main.bDemux.enabled());
    EXPECT_FALSE(main.bCancel.enabled());
}

TEST_F(DemuxCommand, AFailingFileEndsTheRunWithItsErrorAndGivesTheButtonsBack) {
    const auto first = dir.writeFile("MOVIE.EVO", featureFile(part(5, 90000)));
    const std::string folder = dir.path().string() + "/MOVIE.";
    struct Row {
        const char* name;
        void (*arrange)(MemoryOutputs&, const std::string&);
        std::string error;
        std::size_t created;
    };
    const std::vector<Row> rows = {
        {"create",
         [](MemoryOutputs& f, const std::string& p) { f.failCreate = p + "DD.stream.00.mpa"; },
         "DD.stream.00.mpa\". Denied", 1},
        {"write",
         [](MemoryOutputs& f, const std::string& p) {
             f.failWrite = p + "VC-1.stream.0.mpv";
             f.failWriteAfter = 4000;
         },
         "VC-1.stream.0.mpv\". No space left on device", 3},
        {"close",
         [](MemoryOutputs& f, const std::string& p) { f.failClose = p + "DD.stream.00.mpa"; },
         "DD.stream.00.mpa\". Input/output error", 3},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        MemoryOutputs files;
        row.arrange(files, folder);
        main.setOutputFiles(&files);
        read(first);
        ui.errors.clear();
        main.bDemuxClick();
        ASSERT_EQ(ui.errors.size(), 1u);
        EXPECT_NE(ui.errors[0].find(row.error), std::string::npos) << ui.errors[0];
        EXPECT_EQ(files.order.size(), row.created);
        for (const auto& [path, file] : files.files)
            EXPECT_TRUE(file->closed) << path;
        const auto lines = linesFrom("Opening file MOVIE.EVO");
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "Done."), 0);
        EXPECT_TRUE(main.bDemux.enabled());
        EXPECT_TRUE(main.bReadEVO.enabled());
        EXPECT_FALSE(main.bCancel.enabled());
        EXPECT_FALSE(main.state.writingPass);
        main.reMessage.clear();
    }
}

TEST_F(DemuxCommand, NeverWritesOverItsSource) {
    const Bytes source = featureFile(part(6, 90000));
    const auto first = dir.writeFile("MOVIE.EVO", source);
    // An output name that leads to the source through a link.
    fs::create_symlink(first, dir.file("MOVIE.DD.stream.00.mpa"));
    read(first);
    main.bDemuxClick();
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_NE(ui.errors[0].find("It is the file being demuxed"), std::string::npos);
    EXPECT_EQ(readFile(first), source);
    EXPECT_FALSE(fs::exists(dir.file("MOVIE.VC-1.stream.0.mpv")));
}

TEST_F(DemuxCommand, AutoDemuxFollowsTheRead) {
    const auto first = dir.writeFile("MOVIE.EVO", featureFile(part(7, 90000)));
    main.rbAutoDemux.setChecked(true);
    read(first);
    const auto lines = linesFrom("Opening file MOVIE.EVO");
    EXPECT_EQ(lines.at(1), "File size: 0 Mbytes.");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Done."), 1);
    EXPECT_TRUE(fs::exists(dir.file("MOVIE.Subpicture.00.sup")));
    EXPECT_EQ(main.lastDemuxTargets().size(), 3u);
}
