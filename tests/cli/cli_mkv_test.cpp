#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <tuple>
#include <vector>

#include "CliRun.h"
#include "DemoDisc.h"
#include "PackWriter.h"
#include "ShellCommands.h"
#include "TempDir.h"

namespace tessary::test {
namespace {

namespace fs = std::filesystem;

// PATH holds only `folder` while the object lives.
class SearchPath {
public:
    explicit SearchPath(const fs::path& folder) {
        if (const char* path = std::getenv("PATH")) saved_ = path;
        setenv("PATH", folder.c_str(), 1);
    }
    ~SearchPath() { setenv("PATH", saved_.c_str(), 1); }

private:
    std::string saved_;
};

std::string fileText(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A stand-in muxer that writes "mkv" to the output named in its options file (the line after
// "--output") and reports progress.
constexpr const char* kWorkingMuxer = R"(#!/bin/sh
f="${2#@}"
out=$(/usr/bin/sed -n 3p "$f" | /usr/bin/sed -e 's/^  "//' -e 's/",$//')
echo "#GUI#progress 100%"
printf mkv > "$out"
)";
constexpr const char* kFailingMuxer = R"(#!/bin/sh
echo "#GUI#error The file could not be opened."
exit 2
)";

TEST(CliMkv, TheWorkFolderStaysOnlyWhenKeptOrTheMuxerIsMissing) {
    struct Row {
        const char* name;
        const char* muxer; // nullptr: none on the search path
        bool keep;
        int status;
        const char* stderrHas;
        bool workKept, mkvMade;
    } rows[] = {
        {"absent", nullptr, false, 3, "run:\nmkvmerge '@", true, false},
        {"failing", kFailingMuxer, false, 1,
         "mkvmerge failed with exit status 2: The file could not be opened.", false, false},
        {"working", kWorkingMuxer, false, 0, "kept as ", false, true},
        {"working, kept", kWorkingMuxer, true, 0, "kept as ", true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir bin, out;
        if (row.muxer) {
            const fs::path muxer = bin.writeFile("mkvmerge", row.muxer);
            fs::permissions(muxer, fs::perms::owner_all);
        }
        std::vector<std::string> args = {"mkv",
                                         "-s",
                                         "v0,a0,s1",
                                         "-o",
                                         out.path().string(),
                                         (demoDisc() / "HVDVD_TS" / "FEATURE_1.EVO").string()};
        if (row.keep) args.push_back("--keep");
        CliResult result;
        {
            SearchPath path(bin.path());
            result = runCliArgs(args);
        }
        EXPECT_EQ(result.status, row.status) << result.err;
        EXPECT_NE(result.err.find(row.stderrHas), std::string::npos) << result.err;
        const fs::path work = out.file("FEATURE_1_FEATURE_2.work");
        EXPECT_EQ(fs::exists(work), row.workKept);
        EXPECT_EQ(fs::exists(out.file("FEATURE_1_FEATURE_2.mkv")), row.mkvMade);
        EXPECT_EQ(result.out.find("Matroska file: ") != std::string::npos, row.mkvMade);
        // The subpicture stream is never muxed; after a mux it waits beside the file.
        EXPECT_EQ(fs::exists(out.file("FEATURE_1_FEATURE_2.Subpicture.01.sup")), row.mkvMade);
        if (row.workKept) {
            // The options and chapters files are ready for a run by hand.
            const std::string options = fileText(work / "FEATURE_1_FEATURE_2.mkvmerge.json");
            EXPECT_NE(options.find("\"0:English\""), std::string::npos) << options;
            EXPECT_NE(options.find("\"0:en\""), std::string::npos) << options;
            EXPECT_EQ(fileText(work / "FEATURE_1_FEATURE_2.mkv-chapters.txt").substr(0, 47),
                      "CHAPTER01=00:00:00.000\nCHAPTER01NAME=Chapter 1\n");
        }
    }
}

// The names the job works under are taken: a folder of the user's holds BASE.work, a link to
// a folder elsewhere BASE.work.1, and BASE.mkv is a file of before. The job makes a folder of
// its own, touches neither of the others, and replaces BASE.mkv only with a made file.
TEST(CliMkv, TheJobWorksInAFolderOfItsOwnAndReplacesTheFileOnlyWhenMade) {
    TempDir bin, out, elsewhere;
    const fs::path muxer = bin.file("mkvmerge");
    fs::create_directory(out.file("FEATURE_1_FEATURE_2.work"));
    out.writeFile("FEATURE_1_FEATURE_2.work/mine.txt", "mine");
    fs::create_directory_symlink(elsewhere.path(), out.file("FEATURE_1_FEATURE_2.work.1"));
    out.writeFile("FEATURE_1_FEATURE_2.mkv", "before");
    const auto before = [&] {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(out.path()))
            names.push_back(fs::relative(entry.path(), out.path()).string());
        std::sort(names.begin(), names.end());
        return names;
    }();
    for (const auto& [script, status, mkv] :
         {std::tuple{kFailingMuxer, 1, "before"}, std::tuple{kWorkingMuxer, 0, "mkv"}}) {
        SCOPED_TRACE(mkv);
        { std::ofstream(muxer) << script; }
        fs::permissions(muxer, fs::perms::owner_all);
        SearchPath path(bin.path());
        const CliResult r = runCliArgs({"mkv", "-s", "v0,a0", "-o", out.path().string(),
                                        (demoDisc() / "HVDVD_TS" / "FEATURE_1.EVO").string()});
        EXPECT_EQ(r.status, status) << r.err;
        EXPECT_EQ(fileText(out.file("FEATURE_1_FEATURE_2.mkv")), mkv);
        EXPECT_EQ(fileText(out.file("FEATURE_1_FEATURE_2.work/mine.txt")), "mine");
        EXPECT_TRUE(fs::is_empty(elsewhere.path()));
        std::vector<std::string> after;
        for (const auto& entry : fs::recursive_directory_iterator(out.path()))
            after.push_back(fs::relative(entry.path(), out.path()).string());
        std::sort(after.begin(), after.end());
        EXPECT_EQ(after, before); // no work folder or temporary file is left
        if (status != 0) {
            EXPECT_NE(r.out.find("Removed the work folder " +
                                 out.file("FEATURE_1_FEATURE_2.work.2").string()),
                      std::string::npos)
                << r.out;
        }
    }
}

TEST(CliMkv, WithoutAPlaylistTheOptionsFileNamesTracksByCaptionAndLanguageUnknown) {
    TempDir disc, bin;
    for (const char* name : {"FEATURE_1.EVO", "FEATURE_2.EVO"})
        fs::copy_file(demoDisc() / "HVDVD_TS" / name, disc.file(name));
    CliResult result;
    {
        SearchPath path(bin.path()); // no mkvmerge
        result = runCliArgs({"mkv", "-s", "v0,a1", disc.file("FEATURE_1.EVO").string()});
    }
    EXPECT_EQ(result.status, 3) << result.err;
    const fs::path work = disc.file("FEATURE_1_FEATURE_2.work");
    const std::string prefix = (work / "FEATURE_1_FEATURE_2.").string();
    EXPECT_EQ(fileText(work / "FEATURE_1_FEATURE_2.mkvmerge.json"),
              "[\n  \"--output\",\n  \"" + disc.file("FEATURE_1_FEATURE_2.mkv").string() +
                  "\",\n  \"--language\",\n  \"0:und\",\n  \"--track-name\",\n  \"0:H.264."
                  "stream.0\",\n  \"--sync\",\n  \"0:0\",\n  \"--default-duration\",\n  "
                  "\"0:24000/1001p\",\n  \"" +
                  prefix +
                  "H.264.stream.0.mpv\",\n  \"--language\",\n  \"0:und\",\n  "
                  "\"--track-name\",\n  \"0:DD+.stream.01\",\n  \"--sync\",\n  \"0:0\",\n  \"" +
                  prefix + "DD+.stream.01.mpa\"\n]\n");
    EXPECT_FALSE(fs::exists(work / "FEATURE_1_FEATURE_2.mkv-chapters.txt"));
}

TEST(CliMkv, EachTrackIsDelayedByItsFirstPtsAfterTheFirstVideoPts) {
    PackWriter w;
    const Bytes frame = {0x00, 0x00, 0x01, 0xB3, 0x11, 0x22};
    w.addPayload(Stream::mpeg2Video(0), frame, {.pts = 90000});
    w.addPayload(Stream::ac3(0), Bytes(100, 0x11), {.pts = 90000 + 9000}); // 100 ms later
    w.addPayload(Stream::ac3(1), Bytes(100, 0x22), {.pts = 90000 - 4500}); // 50 ms earlier
    w.addPayload(Stream::mpeg2Video(0), frame, {.pts = 93754});
    TempDir disc, bin;
    const fs::path source = disc.writeFile("DELAYS.EVO", w.bytes());
    CliResult result;
    {
        SearchPath path(bin.path()); // no mkvmerge: the plan is all this needs
        result = runCliArgs({"mkv", "--format", "json", source.string()});
    }
    ASSERT_EQ(result.status, 3) << result.err;
    const auto document = nlohmann::json::parse(result.out);
    std::vector<int64_t> delays;
    for (const auto& track : document["matroska"]["tracks"])
        delays.push_back(track["delayMs"]);
    EXPECT_EQ(delays, (std::vector<int64_t>{0, 100, -50})) << result.out;
}

} // namespace
} // namespace tessary::test

namespace tessary::test {
namespace {

// A Matroska file's tracks as mkvmerge reports them ("type codec name language"), with each
// track's delay as the plan gave it, and its chapters as mkvextract writes them.
struct MatroskaSummary {
    std::vector<std::string> tracks;
    std::string chapters;
    bool operator==(const MatroskaSummary&) const = default;
};

MatroskaSummary summarize(const std::string& mkv, const std::vector<int64_t>& delays) {
    const auto info = nlohmann::json::parse(programOutput("mkvmerge -J '" + mkv + "'"));
    MatroskaSummary summary;
    for (const auto& track : info["tracks"]) {
        const std::size_t index = summary.tracks.size();
        summary.tracks.push_back(
            track["type"].get<std::string>() + " " + track["codec"].get<std::string>() + " " +
            track["properties"].value("track_name", "") + " " +
            track["properties"].value("language_ietf", "") + " " +
            (index < delays.size() ? std::to_string(delays[index]) : std::string("?")) + "ms");
    }
    summary.chapters = programOutput("mkvextract '" + mkv + "' chapters --simple -");
    std::erase(summary.chapters, '\r');
    return summary;
}

TEST(CliMkv, TheDemoDiscBecomesOneMatroskaFileWithThePlaylistsNamesAndChapters) {
    if (programOutput("command -v mkvmerge mkvextract").empty())
        GTEST_SKIP() << "mkvtoolnix is not installed";
    const std::string source = (demoDisc() / "HVDVD_TS" / "FEATURE_1.EVO").string();
    TempDir out;
    const CliResult result =
        runCliArgs({"mkv", "--format", "json", "-o", out.path().string(), source});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string mkv = out.file("FEATURE_1_FEATURE_2.mkv").string();
    const auto info = nlohmann::json::parse(programOutput("mkvmerge -J '" + mkv + "'"));
    const auto report = nlohmann::json::parse(result.out);
    std::vector<int64_t> delays;
    for (const auto& track : report["matroska"]["tracks"])
        delays.push_back(track["delayMs"].get<int64_t>());
    const MatroskaSummary made = summarize(mkv, delays);
    // Each output is named where it is at the end: the subpictures beside the MKV, with a size.
    std::vector<std::string> subpictureOutputs;
    for (const auto& output : report["outputs"])
        if (output["stream"].get<std::string>().front() == 's') {
            subpictureOutputs.push_back(output["path"].get<std::string>());
            EXPECT_FALSE(output["size"].is_null()) << output;
        }
    EXPECT_EQ(subpictureOutputs, report["matroska"]["subpictures"].get<std::vector<std::string>>());
    EXPECT_EQ(subpictureOutputs.size(), 2u);
    EXPECT_EQ(made.tracks, (std::vector<std::string>{
                               "video AVC/H.264/MPEG-4p10 Main und 0ms",
                               "video VC-1 Alternate und 0ms", "audio AC-3 English en 0ms",
                               "audio E-AC-3 French fr 0ms", "audio DTS German de 0ms",
                               "audio TrueHD Japanese ja 0ms", "audio PCM Commentary en 0ms"}));

    // The window's Matroska file (Read, Read XPL, then Demux with the option on) is the same.
    auto window = readDemoDisc();
    TfMain& main = window->main;
    main.bReadXPLClick();
    main.cbMakeMkv.setChecked(true);
    main.eWorkdir.setText(out.file("window").string());
    main.bDemuxClick();
    ASSERT_TRUE(window->ui.errors.empty()) << window->ui.errors.front();
    std::vector<int64_t> windowDelays;
    for (const MuxTrack& track : main.lastMatroska().plan.tracks)
        windowDelays.push_back(track.delayMs);
    EXPECT_EQ(summarize(out.file("window/FEATURE_1_FEATURE_2.mkv").string(), windowDelays), made);
    EXPECT_FALSE(fs::exists(out.file("window/FEATURE_1_FEATURE_2.work")));

    // The disc's first title is its first file: the same plan, the same Matroska file.
    const std::string byTitle = out.file("title").string();
    const CliResult title =
        runCliArgs({"mkv", "--format", "json", "-o", byTitle, "--title", "1", demoDisc().string()});
    ASSERT_EQ(title.status, 0) << title.err;
    std::string plan = nlohmann::json::parse(title.out)["matroska"].dump();
    for (std::size_t at = 0; (at = plan.find(byTitle, at)) != std::string::npos;)
        plan.replace(at, byTitle.size(), out.path().string());
    EXPECT_EQ(plan, report["matroska"].dump());
    EXPECT_EQ(summarize(byTitle + "/FEATURE_1_FEATURE_2.mkv", delays), made);

    // Both feature files joined without a gap: 276 frames at 24000/1001, within one frame.
    const double seconds = info["container"]["properties"]["duration"].get<double>() / 1e9;
    EXPECT_NEAR(seconds, 276 * 1001 / 24000.0, 1001 / 24000.0);

    const std::string& chapters = made.chapters;
    EXPECT_EQ(chapters.substr(0, 47), "CHAPTER01=00:00:00.000\nCHAPTER01NAME=Chapter 1\n");
    EXPECT_NE(chapters.find("CHAPTER12=00:00:11.000\nCHAPTER12NAME=Chapter 12\n"),
              std::string::npos)
        << chapters;

    // Every track decodes without a complaint.
    if (onPath("ffmpeg")) {
        EXPECT_EQ(programOutput("ffmpeg -v error -i '" + mkv + "' -map 0 -f null - 2>&1"), "");
    }
}

// A DVD-Audio object holding a second of MLP (substream 0xA1) beside LPCM (0xA0), whose
// packets carry DVD-Audio's longer headers: the MLP becomes the file's one track, every frame
// of it decodable, and the LPCM, whose layout is not known, is left out and said so.
TEST(CliMkv, DvdAudioMlpBecomesAnMlpTrackBesideLpcmLeftOut) {
    if (programOutput("command -v mkvmerge mkvextract").empty())
        GTEST_SKIP() << "mkvtoolnix is not installed";
    const fs::path source =
        fs::path(TESSARY_SOURCE_DIR) / "tests" / "fixtures" / "dvd-audio" / "ATS_01_1.AOB";
    TempDir out;
    const CliResult result =
        runCliArgs({"mkv", "-q", "--keep", "-o", out.path().string(), source.string()});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string mkv = out.file("ATS_01_1.mkv").string();
    // A Demux naming files by codec writes the same plain MLP as the Matroska step muxed.
    ASSERT_EQ(runCliArgs({"demux", "-q", "--codec-ext", "-s", "a1", "-o",
                          out.file("demux").string(), source.string()})
                  .status,
              0);
    EXPECT_EQ(fileText(out.file("demux/ATS_01_1.LPCM.stream.01.mlp")),
              fileText(out.file("ATS_01_1.work/ATS_01_1.LPCM.stream.01.mpa")));
    EXPECT_EQ(summarize(mkv, {7}), (MatroskaSummary{{"audio MLP LPCM.stream.01 und 7ms"}, ""}));
    EXPECT_NE(result.out.find("LPCM without a WAV header, left out of the Matroska file: "
                              "ATS_01_1.LPCM.stream.00.mpa\n"),
              std::string::npos)
        << result.out;
    // 48000 samples in frames of 40, without an error.
    if (onPath("ffprobe")) {
        EXPECT_EQ(programOutput("ffprobe -v error -count_frames -show_entries "
                                "stream=codec_name,sample_rate,channels,nb_read_frames -of "
                                "default=nw=1 '" +
                                mkv + "' 2>&1"),
                  "codec_name=mlp\nsample_rate=48000\nchannels=2\nnb_read_frames=1200\n");
    }
}

// The OGM and XML chapter files are read by the muxer: the chapters it stores are the
// playlist's, as the preset list gives them.
TEST(CliMkv, TheMuxerTakesTheOgmAndXmlChapterFiles) {
    if (programOutput("command -v mkvmerge mkvextract").empty())
        GTEST_SKIP() << "mkvtoolnix is not installed";
    const std::string source = (demoDisc() / "HVDVD_TS" / "FEATURE_1.EVO").string();
    const std::string playlist = (demoDisc() / "ADV_OBJ" / "VPLST000.XPL").string();
    TempDir out;
    ASSERT_EQ(runCliArgs({"demux", "-q", "-s", "a0", "-o", out.path().string(), source}).status, 0);
    const std::string audio = out.file("FEATURE_1_FEATURE_2.DD.stream.00.mpa").string();
    std::ifstream presetFile(fs::path(TESSARY_SOURCE_DIR) / "tests" / "golden" / "chapters.txt");
    std::string expected, line;
    while (std::getline(presetFile, line))
        if (line.rfind("CHAPTER", 0) == 0) expected += line.substr(0, line.find('\r')) + "\n";
    ASSERT_FALSE(expected.empty());
    for (const std::string format : {"ogm", "xml"}) {
        const fs::path folder = out.file(format);
        const CliResult result = runCliArgs({"playlist", "--chapters", "--chapters-format", format,
                                             "-o", folder.string(), "--source", source, playlist});
        ASSERT_EQ(result.status, 0) << result.err;
        const std::string file =
            (folder / ("FEATURE_1.chapters." + std::string(format == "xml" ? "xml" : "txt")))
                .string();
        const std::string mka = (folder / "chapters.mka").string();
        ASSERT_EQ(std::system(("mkvmerge -q -o '" + mka + "' --chapters '" + file + "' '" + audio +
                               "' >/dev/null")
                                  .c_str()),
                  0)
            << format;
        std::string stored = programOutput("mkvextract '" + mka + "' chapters --simple -");
        std::erase(stored, '\r');
        EXPECT_EQ(stored, expected) << format;
    }
}

} // namespace
} // namespace tessary::test
