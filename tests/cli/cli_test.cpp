// tessary-cli: what it prints, its exit statuses and its option parsing.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <sstream>
#include <tuple>
#include <utility>
#include <vector>

#include "CliApp.h"
#include "CliRun.h"
#include "DemoDisc.h"
#include "Interrupt.h"
#include "LpcmFixtures.h"
#include "PackWriter.h"
#include "ShellCommands.h"
#include "TempDir.h"
#include "jobs/StreamKeys.h"

using namespace tessary;
using namespace tessary::test;
using tessary::cli::runCli;

namespace {

using Result = CliResult;

Result run(std::vector<std::string> args, bool terminal = false) {
    return runCliArgs(std::move(args), terminal);
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        PackWriter w;
        NavPack nav;
        nav.firstPtm = 1000;
        nav.lastPtm = 1000 + 90000;
        w.addNavPack(nav);
        w.addPayload(Stream::h264Video(0), Bytes{0, 0, 1, 9, 0xF0, 0, 0, 1, 9, 0xF0},
                     {.pts = 1000});
        w.addPayload(Stream::eac3(2), Bytes(300, 0x0B), {.pts = 1900});
        w.addPayload(Stream::subpicture(0x23), Bytes{0, 4, 0, 0}, {.pts = 5000});
        source = dir.writeFile("FEATURE_1.EVO", w.bytes()).string();
    }
    TempDir dir;
    std::string source;
};

} // namespace

TEST_F(Cli, ReadPrintsTheLogAsPlainTextWhenNotATerminal) {
    const Result r = run({"read", source});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    const auto lines = splitLines(r.out);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0], "Opening file FEATURE_1.EVO");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Dolby Digital Plus audio stream 2 found!"),
              lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "   First PTS = 0000076C  (+10ms)"),
              lines.end());
    EXPECT_NE(
        std::find(lines.begin(), lines.end(), "2 counted frames (0:00:00.083) in video stream 0."),
        lines.end());
    EXPECT_EQ(r.out.find('\x1b'), std::string::npos);
}

TEST_F(Cli, ColourShowsTheRunsWithAnsiCodes) {
    const Result always = run({"read", "--color", "always", source});
    EXPECT_NE(always.out.find("Opening file \x1b[1mFEATURE_1.EVO\x1b[0m\n"), std::string::npos);
    EXPECT_NE(always.out.find("First PTS = \x1b[31m0000076C\x1b[0m"), std::string::npos);
    EXPECT_NE(always.out.find("Format = \x1b[34m2bitRLE\x1b[0m"), std::string::npos);
    // A terminal gets colour by default; --color never turns it off.
    EXPECT_NE(run({"read", source}, true).out.find('\x1b'), std::string::npos);
    EXPECT_EQ(run({"read", "--color", "never", source}, true).out.find('\x1b'), std::string::npos);
}

// A name is shown as it is: its brackets are no markup and a control byte is replaced, on
// the terminal and in the JSON log.
TEST_F(Cli, NamesShowLiterallyWhateverTheyHold) {
    const std::string named = (dir.path() / "Film [b]x [1080p]\x1b[31m.EVO").string();
    std::filesystem::copy_file(source, named);
    const std::string shown = "Film [b]x [1080p]\uFFFD[31m.EVO";
    EXPECT_EQ(splitLines(run({"read", "--color", "always", named}).out)[0],
              "Opening file \x1b[1m" + shown + "\x1b[0m");
    const Result r = run({"read", "--format", "json", named});
    EXPECT_EQ(nlohmann::json::parse(r.out)["log"][0], "Opening file " + shown);
}

TEST_F(Cli, JsonCarriesTheSameStreamsAndLines) {
    const Result text = run({"read", source});
    const Result r = run({"read", "--format", "json", source});
    ASSERT_EQ(r.status, 0);
    const auto doc = nlohmann::json::parse(r.out);
    EXPECT_EQ(doc["log"].get<std::vector<std::string>>(), splitLines(text.out));
    ASSERT_EQ(doc["streams"].size(), 3u);
    EXPECT_EQ(doc["streams"][0]["kind"], "video");
    EXPECT_EQ(doc["streams"][0]["id"], 0xE2);
    EXPECT_EQ(doc["streams"][0]["caption"], "H.264.stream.0");
    EXPECT_EQ(doc["streams"][1]["slot"], 19);
    EXPECT_EQ(doc["streams"][1]["number"], 2);
    EXPECT_EQ(doc["streams"][1]["caption"], "DD+.stream.02");
    EXPECT_EQ(doc["streams"][2]["kind"], "subpicture");
    EXPECT_EQ(doc["streams"][2]["caption"], "Subpicture.03");
    EXPECT_EQ(doc["frames"][0]["countedFrames"], 2);
    EXPECT_DOUBLE_EQ(doc["totalSeconds"].get<double>(), 1.0);
}

TEST_F(Cli, OptionsReachTheRead) {
    const Result r = run({"read", "--no-details", "--no-count-frames", source});
    EXPECT_EQ(r.out.find("First PTS"), std::string::npos);
    EXPECT_EQ(r.out.find("frames count"), std::string::npos);
    // Continuation: a second feature file is read unless --no-continue.
    dir.writeFile("FEATURE_2.EVO", Bytes(4096, 0));
    EXPECT_NE(run({"read", source}).out.find("Continue on FEATURE_2.EVO\n"), std::string::npos);
    EXPECT_EQ(run({"read", "--no-continue", source}).out.find("Continue on"), std::string::npos);
}

TEST_F(Cli, ExitStatusTellsFailureFromBadUsage) {
    const Result missing = run({"read", (dir.path() / "NONE.EVO").string()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "Opening file NONE.EVO\n");
    EXPECT_NE(missing.err.find("Cannot open file \""), std::string::npos);

    EXPECT_EQ(run({}).status, 2);
    EXPECT_EQ(run({"read"}).status, 2);
    EXPECT_EQ(run({"read", "--fast-size", "abc", source}).status, 2);
    EXPECT_EQ(run({"read", "--color", "purple", source}).status, 2);
    EXPECT_EQ(run({"frobnicate"}).status, 2);
    EXPECT_EQ(run({"read", "--help"}).status, 0);
}

TEST(CliSelection, ParsesStreamKeys) {
    using tessary::StreamKey;
    EXPECT_EQ(tessary::parseSelection("v0, a15,s31"),
              (std::vector<StreamKey>{{'v', 0}, {'a', 15}, {'s', 31}}));
    for (const char* bad : {"v2", "a16", "s32", "a01", "x1", "a", "", "a1,", "v-1"})
        EXPECT_THROW(tessary::parseSelection(bad), std::invalid_argument) << bad;
}

namespace {

std::set<std::string> filesIn(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

std::string head(const std::filesystem::path& file, std::size_t length) {
    std::ifstream in(file, std::ios::binary);
    std::string bytes(length, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(length));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

// Demux of the demo disc (FEATURE_1.EVO continuing onto FEATURE_2.EVO) into a fresh folder.
class CliDemux : public ::testing::Test {
protected:
    TempDir dir;
    const std::filesystem::path out = dir.path() / "out";
    const std::string source = (demoDisc() / "HVDVD_TS" / "FEATURE_1.EVO").string();
    const std::string prefix = (out / "FEATURE_1_FEATURE_2.").string();
};

} // namespace

TEST_F(CliDemux, WritesEveryStreamFoundAfterTheReadReport) {
    const Result r = run({"demux", "-o", out.string(), source});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");

    // Each stream in its own file, in slot order, starting as its codec starts.
    const std::vector<std::pair<std::string, std::string>> expected{
        {"H.264.stream.0.mpv", std::string("\0\0\0\1\x09", 5)},
        {"VC-1.stream.1.mpv", std::string("\0\0\1\x0F", 4)},
        {"DD.stream.00.mpa", "\x0B\x77"},
        {"DD+.stream.01.mpa", "\x0B\x77"},
        {"DTSHD.stream.02.mpa", "\x7F\xFE\x80\x01"},
        {"MLP.stream.03.mpa", ""},
        {"LPCM.stream.04.mpa", ""},
        {"Subpicture.00.sup", "SP"},
        {"Subpicture.01.sup", "SP"}};
    std::set<std::string> names;
    std::string creating;
    for (const auto& [name, start] : expected) {
        names.insert("FEATURE_1_FEATURE_2." + name);
        creating += "Creating " + prefix + name + "\n";
        EXPECT_EQ(head(prefix + name, start.size()), start) << name;
    }
    EXPECT_EQ(filesIn(out), names);
    EXPECT_EQ(head(prefix + "MLP.stream.03.mpa", 8).substr(4), "\xF8\x72\x6F\xBA");

    // The report: the whole Read, then the Demux over both files.
    const Result read = run({"read", source});
    ASSERT_EQ(r.out.substr(0, read.out.size()), read.out);
    const std::string demux = r.out.substr(read.out.size());
    EXPECT_EQ(demux.substr(0, demux.find("Demuxing...")),
              "Opening file FEATURE_1.EVO\nFile size: 3 Mbytes.\n" + creating);
    EXPECT_NE(demux.find("\nContinue on FEATURE_2.EVO\nDemuxing...\n"), std::string::npos);
    EXPECT_NE(demux.find("Done.\n\n276 counted frames (0:00:11.511) in video stream 0.\n"),
              std::string::npos);
}

TEST_F(CliDemux, SelectionSkipsStreamsNotFoundAndRefusesBadKeys) {
    const Result r = run({"demux", "-q", "-o", out.string(), "-s", "v1,a3,a9", "--select", "s0",
                          "--video-ext", "vc1", "--audio-ext", "thd", "--sub-ext", "sp", source});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "tessary-cli: warning: no stream a9 in FEATURE_1.EVO, skipped\n");
    EXPECT_EQ(filesIn(out), (std::set<std::string>{"FEATURE_1_FEATURE_2.VC-1.stream.1.vc1",
                                                   "FEATURE_1_FEATURE_2.MLP.stream.03.thd",
                                                   "FEATURE_1_FEATURE_2.Subpicture.00.sp"}));

    // Usage errors stop everything before the source is read.
    const std::string elsewhere = (dir.path() / "elsewhere").string();
    for (const auto& [option, value, named] :
         std::vector<std::tuple<std::string, std::string, std::string>>{
             {"-s", "a0,a16", "\"a16\""}, {"--video-ext", "mpeg2v", "mpeg2v"}}) {
        const Result bad = run({"demux", "-o", elsewhere, option, value, source});
        EXPECT_EQ(bad.status, 2) << value;
        EXPECT_EQ(bad.out, "") << value;
        EXPECT_NE(bad.err.find(named), std::string::npos) << bad.err;
        EXPECT_FALSE(std::filesystem::exists(elsewhere)) << value;
    }
}

TEST_F(CliDemux, JsonListsTheFilesWrittenWithTheirSizes) {
    const Result text = run({"demux", "-s", "a1,s1,v0", "-o", out.string(), source});
    const Result r =
        run({"demux", "--format", "json", "-s", "a1,s1,v0", "-o", out.string(), source});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto doc = nlohmann::json::parse(r.out);
    EXPECT_EQ(doc["log"].get<std::vector<std::string>>(), splitLines(text.out));
    EXPECT_EQ(doc["streams"].size(), 9u);
    const std::vector<std::pair<std::string, std::string>> expected{
        {"v0", "H.264.stream.0.mpv"}, {"a1", "DD+.stream.01.mpa"}, {"s1", "Subpicture.01.sup"}};
    ASSERT_EQ(doc["outputs"].size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto& output = doc["outputs"][i];
        EXPECT_EQ(output["stream"], expected[i].first);
        EXPECT_EQ(output["path"], prefix + expected[i].second);
        EXPECT_EQ(output["size"].get<uint64_t>(),
                  std::filesystem::file_size(prefix + expected[i].second));
        EXPECT_GT(output["size"].get<uint64_t>(), 0u);
    }
}

// Ctrl+C is the command line's Cancel: the run stops, and neither a file nor the output folder
// it made is left.
TEST_F(CliDemux, AnInterruptStopsTheRunAndLeavesNothing) {
    cli::catchInterrupts();
    std::raise(SIGINT);
    const Result r = run({"demux", "-o", out.string(), source});
    cli::clearInterrupt();
    std::signal(SIGINT, SIG_DFL);
    EXPECT_EQ(r.status, cli::kExitInterrupted);
    EXPECT_EQ(r.err, "tessary-cli: Interrupted\n");
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(CliDemux, FailsWhenAnOutputCannotBeCreatedOrWritten) {
    // The output folder cannot be made (a file is in the way): nothing is read.
    const Result folder = run({"demux", "-o", source + "/out", source});
    EXPECT_EQ(folder.status, 1);
    EXPECT_EQ(folder.out, "");
    EXPECT_EQ(folder.err.rfind("tessary-cli: Cannot create folder \"" + source + "/out\"", 0), 0u)
        << folder.err;

    // A folder or a device where a file should go: the Read is reported, the Demux stops
    // with the reason before it begins.
    std::filesystem::create_directories(prefix + "DD.stream.00.mpa");
    const Result create = run({"demux", "-o", out.string(), source});
    EXPECT_EQ(create.status, 1);
    EXPECT_EQ(
        create.err.rfind("tessary-cli: Cannot create file \"" + prefix + "DD.stream.00.mpa\"", 0),
        0u)
        << create.err;
    EXPECT_EQ(create.out.find("Demuxing..."), std::string::npos);

    if (!std::filesystem::exists("/dev/full")) return;
    std::filesystem::remove(prefix + "DD.stream.00.mpa");
    std::filesystem::create_symlink("/dev/full", prefix + "Subpicture.01.sup");
    const Result write = run({"demux", "-o", out.string(), source});
    EXPECT_EQ(write.status, 1);
    EXPECT_EQ(write.err.rfind("tessary-cli: Cannot create file \"" + prefix +
                                  "Subpicture.01.sup\". Not a regular file",
                              0),
              0u)
        << write.err;
    EXPECT_EQ(write.out.find("Demuxing..."), std::string::npos);
}

// --lpcm-wav: the LPCM stream becomes a WAV, the TrueHD stream beside it stays as it is.
TEST_F(CliDemux, LpcmWavWritesTheLpcmStreamAsWav) {
    const Result r = run(
        {"demux", "-q", "--lpcm-wav", "--no-continue", "-s", "a3,a4", "-o", out.string(), source});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(filesIn(out), (std::set<std::string>{"FEATURE_1.MLP.stream.03.mpa",
                                                   "FEATURE_1.LPCM.stream.04.wav"}));
    // RIFF size: the 1,153,152 bytes of samples and 96 of the header.
    EXPECT_EQ(head(out / "FEATURE_1.LPCM.stream.04.wav", 16),
              std::string("RIFF\xE0\x98\x11\0WAVEJUNK", 16));
    EXPECT_EQ(head(out / "FEATURE_1.MLP.stream.03.mpa", 8).substr(4), "\xF8\x72\x6F\xBA");
}

namespace {

std::string contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Rebuild of the demo disc keeping H.264 video 0, AC-3 audio 0, DTS audio 2 and subpicture 1.
class CliRebuild : public CliDemux {
protected:
    const std::string keys = "v0,a0,a2,s1";
    const std::string rebuilt = prefix + "rebuilt.EVO";
};

} // namespace

TEST_F(CliRebuild, KeepsTheChosenStreamsRenumberedFromZero) {
    // JSON names the file and its size; --adv-pck keeps the three advanced packs of each file.
    const Result json =
        run({"rebuild", "--format", "json", "--adv-pck", "-s", keys, "-o", out.string(), source});
    ASSERT_EQ(json.status, 0) << json.err;
    const auto outputs = nlohmann::json::parse(json.out)["outputs"];

    const Result r = run({"rebuild", "-s", keys, "-o", out.string(), source});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const Result read = run({"read", source});
    ASSERT_EQ(r.out.substr(0, read.out.size()), read.out);
    EXPECT_EQ(r.out.substr(read.out.size()),
              "Opening file FEATURE_1.EVO\nFile size: 3 Mbytes.\nCreating " + rebuilt +
                  "\nRebuilding...\nContinue on FEATURE_2.EVO\nRebuilding...\nDone.\n\n");
    EXPECT_EQ(filesIn(out), std::set<std::string>{"FEATURE_1_FEATURE_2.rebuilt.EVO"});
    EXPECT_EQ(outputs,
              nlohmann::json::array(
                  {{{"path", rebuilt}, {"size", std::filesystem::file_size(rebuilt) + 6 * 2048}}}));

    // Read on its own, the rebuilt file holds the kept streams of both feature files.
    const auto doc = nlohmann::json::parse(run({"read", "--format", "json", rebuilt}).out);
    std::vector<std::tuple<std::string, int, int, std::string>> streams;
    for (const auto& stream : doc["streams"])
        streams.emplace_back(stream["kind"], stream["number"], stream["id"], stream["caption"]);
    EXPECT_EQ(streams, (std::vector<std::tuple<std::string, int, int, std::string>>{
                           {"video", 0, 0xE2, "H.264.stream.0"},
                           {"audio", 0, 0x80, "DD.stream.00"},
                           {"audio", 1, 0x89, "DTSHD.stream.01"},
                           {"subpicture", 0, 0x20, "Subpicture.00"}}));
    EXPECT_EQ(doc["frames"][0]["countedFrames"], 276);

    // Each kept stream demuxes from the rebuilt file to the bytes it demuxes to from the source.
    const auto fromSource = out / "source", fromRebuilt = out / "rebuilt";
    ASSERT_EQ(run({"demux", "-s", keys, "-o", fromSource.string(), source}).status, 0);
    ASSERT_EQ(run({"demux", "-o", fromRebuilt.string(), rebuilt}).status, 0);
    const std::vector<std::pair<std::string, std::string>> same{
        {"H.264.stream.0.mpv", "H.264.stream.0.mpv"},
        {"DD.stream.00.mpa", "DD.stream.00.mpa"},
        {"DTSHD.stream.02.mpa", "DTSHD.stream.01.mpa"},
        {"Subpicture.01.sup", "Subpicture.00.sup"}};
    EXPECT_EQ(filesIn(fromRebuilt).size(), same.size());
    for (const auto& [before, after] : same) {
        const std::string bytes = contents(fromSource / ("FEATURE_1_FEATURE_2." + before));
        EXPECT_FALSE(bytes.empty()) << before;
        EXPECT_TRUE(bytes == contents(fromRebuilt / ("FEATURE_1_FEATURE_2.rebuilt." + after)))
            << before << " differs from " << after;
    }
}

TEST_F(CliRebuild, RefusesOtherSourcesAndFailsWhenTheFileCannotBeWritten) {
    // Only an EVO file (in any case) is rebuilt; another source is refused before it is read.
    const std::string vob = dir.writeFile("VTS_01_1.VOB", Bytes(2048, 0)).string();
    const Result refused = run({"rebuild", "-o", out.string(), vob});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_NE(refused.err.find("is not an .EVO file"), std::string::npos) << refused.err;
    EXPECT_FALSE(std::filesystem::exists(out));
    const auto lower = dir.path() / "feature.evo";
    std::filesystem::copy_file(source, lower);
    EXPECT_EQ(run({"rebuild", "-q", "-o", out.string(), lower.string()}).status, 0);
    EXPECT_TRUE(std::filesystem::exists(out / "feature.rebuilt.EVO"));

    // No stream of the selection found: nothing to rebuild.
    const Result none = run({"rebuild", "-s", "a9", "-o", out.string(), source});
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.err, "tessary-cli: warning: no stream a9 in FEATURE_1.EVO, skipped\n"
                        "tessary-cli: warning: no stream to rebuild in FEATURE_1.EVO\n");
    EXPECT_FALSE(std::filesystem::exists(rebuilt));

    // A folder or a device where the file should go: the Read is reported, the Rebuild stops
    // with the reason.
    const std::string read = run({"read", source}).out;
    std::vector<std::pair<std::string, std::string>> cases{
        {"folder", "Cannot create file \"" + rebuilt + "\""}};
    if (std::filesystem::exists("/dev/full"))
        cases.emplace_back("/dev/full",
                           "Cannot create file \"" + rebuilt + "\". Not a regular file");
    for (const auto& [inTheWay, reason] : cases) {
        std::filesystem::remove_all(rebuilt);
        if (inTheWay == "folder")
            std::filesystem::create_directories(rebuilt);
        else
            std::filesystem::create_symlink(inTheWay, rebuilt);
        const Result r = run({"rebuild", "-s", keys, "-o", out.string(), source});
        EXPECT_EQ(r.status, 1) << inTheWay;
        EXPECT_EQ(r.err.rfind("tessary-cli: " + reason, 0), 0u) << r.err;
        ASSERT_EQ(r.out.substr(0, read.size()), read) << inTheWay;
        const std::string rebuild = r.out.substr(read.size());
        EXPECT_EQ(rebuild.rfind("Opening file FEATURE_1.EVO\n", 0), 0u) << rebuild;
        EXPECT_EQ(rebuild.find("Done."), std::string::npos) << rebuild;
    }
}

TEST_F(CliRebuild, FfprobeFindsExactlyTheKeptStreams) {
    if (!onPath("ffprobe")) GTEST_SKIP() << "ffprobe is not on PATH";
    ASSERT_EQ(run({"rebuild", "-s", keys, "-o", out.string(), source}).status, 0);
    std::string report;
    ASSERT_EQ(outputOf("ffprobe -hide_banner '" + rebuilt + "' 2>&1", report), 0) << report;

    // "Stream #0:0[0x1e2]: Video: h264 (High), ...": the id, the kind and the codec.
    const std::regex line(R"(Stream #0:\d+\[(0x[0-9a-f]+)\]: (\w+): (\w+))");
    std::set<std::string> streams;
    for (std::sregex_iterator it(report.begin(), report.end(), line), end; it != end; ++it)
        streams.insert((*it)[1].str() + " " + (*it)[2].str() + " " + (*it)[3].str());
    EXPECT_EQ(streams, (std::set<std::string>{"0x1e2 Video h264", "0x80 Audio ac3",
                                              "0x89 Audio dts", "0x20 Subtitle dvd_subtitle"}))
        << report;
}

// Each LPCM fixture and the demo disc's LPCM through demux --lpcm-wav: ffmpeg reads the WAV and
// decodes it to the samples it decodes from the source.
TEST(CliLpcmWav, FfmpegDecodesEachWavLikeItsSource) {
    if (!onPath("ffmpeg")) GTEST_SKIP() << "ffmpeg is not on PATH";
    TempDir dir;
    auto decode = [](const std::string& input, const std::string& map, int bits) {
        const std::string format = bits == 16 ? "s16le" : "s24le";
        std::string samples;
        const int status = outputOf("ffmpeg -hide_banner -loglevel error " + input + " -map " +
                                        map + " -c:a pcm_" + format + " -f " + format + " -",
                                    samples);
        EXPECT_EQ(status, 0) << input;
        return samples;
    };
    std::vector<std::tuple<std::string, std::string, LpcmFormat>> sources;
    for (const LpcmFixture& fixture : lpcmFixtures())
        sources.emplace_back(lpcmFixturePath(fixture.name + ".vob").string(), "a0", fixture.format);
    sources.emplace_back((demoDisc() / "HVDVD_TS" / "FEATURE_1.EVO").string(), "a4",
                         LpcmFormat{16, 48000, 2});
    for (const auto& [source, key, format] : sources) {
        SCOPED_TRACE(source);
        ASSERT_EQ(run({"demux", "-q", "--lpcm-wav", "--no-continue", "-s", key, "-o",
                       dir.path().string(), source})
                      .status,
                  0);
        const std::string stem = std::filesystem::path(source).stem().string();
        const std::string wav =
            (dir.path() / (stem + ".LPCM.stream.0" + key.substr(1) + ".wav")).string();
        const std::string fromWav = decode("-i '" + wav + "'", "0:a:0", format.bits);
        EXPECT_GT(fromWav.size(), 1000u);
        EXPECT_EQ(fromWav,
                  decode("-f mpeg -i '" + source + "'", "0:i:0xa" + key.substr(1), format.bits));
    }
}

namespace {

// The demo disc's playlist read for FEATURE_1.EVO: its title "Main Feature" plays FEATURE_1
// and FEATURE_2, whose clips declare the same streams.
class CliPlaylist : public ::testing::Test {
protected:
    TempDir dir;
    const std::filesystem::path out = dir.path() / "out";
    const std::string playlist = (demoDisc() / "ADV_OBJ" / "VPLST000.XPL").string();
    const std::string source = (demoDisc() / "HVDVD_TS" / "FEATURE_1.EVO").string();
};

} // namespace

TEST_F(CliPlaylist, PrintsTheTitlesStreamsAndTreeAndWritesItsChapters) {
    const Result r =
        run({"playlist", "--tree", "--chapters", "-o", out.string(), playlist, "--source", source});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    // The log, then the tree. Chapter starts are frames at the title set's 60 fps.
    EXPECT_EQ(r.out, R"(Open VPLST000.XPL
Filesize: 5266 bytes
AVC.s0 found!
VC-1.s1 found!
AC-3.6ch.s00.English found!
DD+.6ch.s01.French found!
DTS.6ch.s02.German found!
MLP.2ch.s03.Japanese found!
LPCM.2ch.s04.Commentary found!
2bitRLE.s00.English found!
2bitRLE.s01.French found!
Done.

Info
  Title: Tessary Demo Disc
  Name: Main Feature
  Duration: 00:00:11:30
  TimeBase: 60fps
  TickBase: 24fps
Video
  AVC.s0
  VC-1.s1
Audio
  AC-3.6ch.s00.English
  DD+.6ch.s01.French
  DTS.6ch.s02.German
  MLP.2ch.s03.Japanese
  LPCM.2ch.s04.Commentary
Subtitle
  2bitRLE.s00.English
  2bitRLE.s01.French
Chapter
  Chapter 1: 00:00:00:00
  Chapter 2: 00:00:01:00
  Chapter 3: 00:00:02:00
  Chapter 4: 00:00:02:30
  Chapter 5: 00:00:03:30
  Chapter 6: 00:00:04:30
  Chapter 7: 00:00:06:00
  Chapter 8: 00:00:07:00
  Chapter 9: 00:00:08:00
  Chapter 10: 00:00:09:00
  Chapter 11: 00:00:10:00
  Chapter 12: 00:00:11:00
)");
    const std::vector<std::string> chapters = splitLines(R"(Preset=!OGG
Format=
CHAPTER01=00:00:00.000
CHAPTER01NAME=Chapter 1
CHAPTER02=00:00:01.000
CHAPTER02NAME=Chapter 2
CHAPTER03=00:00:02.000
CHAPTER03NAME=Chapter 3
CHAPTER04=00:00:02.500
CHAPTER04NAME=Chapter 4
CHAPTER05=00:00:03.500
CHAPTER05NAME=Chapter 5
CHAPTER06=00:00:04.500
CHAPTER06NAME=Chapter 6
CHAPTER07=00:00:06.000
CHAPTER07NAME=Chapter 7
CHAPTER08=00:00:07.000
CHAPTER08NAME=Chapter 8
CHAPTER09=00:00:08.000
CHAPTER09NAME=Chapter 9
CHAPTER10=00:00:09.000
CHAPTER10NAME=Chapter 10
CHAPTER11=00:00:10.000
CHAPTER11NAME=Chapter 11
CHAPTER12=00:00:11.000
CHAPTER12NAME=Chapter 12
Header=
Footer=)");
    std::string bytes;
    for (const std::string& line : chapters)
        bytes += line + "\r\n";
    EXPECT_EQ(filesIn(out), std::set<std::string>{"FEATURE_1.chapters.txt"});
    EXPECT_EQ(contents(out / "FEATURE_1.chapters.txt"), bytes);

    // JSON: the boxes the title declares (one video box), the same chapter list, and the file.
    const Result json = run({"playlist", "--format", "json", "--chapters", "-o", out.string(),
                             playlist, "--source", source});
    ASSERT_EQ(json.status, 0) << json.err;
    const auto doc = nlohmann::json::parse(json.out);
    std::vector<std::tuple<std::string, int, std::string>> boxes;
    for (const auto& stream : doc["streams"])
        boxes.emplace_back(stream["key"], stream["slot"], stream["caption"]);
    EXPECT_EQ(boxes, (std::vector<std::tuple<std::string, int, std::string>>{
                         {"v0", 1, "AVC.s0"},
                         {"a0", 17, "AC-3.6ch.s00.English"},
                         {"a1", 18, "DD+.6ch.s01.French"},
                         {"a2", 19, "DTS.6ch.s02.German"},
                         {"a3", 20, "MLP.2ch.s03.Japanese"},
                         {"a4", 21, "LPCM.2ch.s04.Commentary"},
                         {"s0", 33, "2bitRLE.s00.English"},
                         {"s1", 34, "2bitRLE.s01.French"}}));
    EXPECT_EQ(doc["chapters"].get<std::vector<std::string>>(), chapters);
    EXPECT_EQ(doc["titleFound"], true);
    EXPECT_EQ(doc["tree"][3]["children"][1]["text"], "2bitRLE.s01.French");
    EXPECT_EQ(doc["outputs"],
              nlohmann::json::array(
                  {{{"path", (out / "FEATURE_1.chapters.txt").string()}, {"size", bytes.size()}}}));
}

TEST_F(CliPlaylist, FailsOnAPlaylistThatCannotBeOpenedAndNeedsTheSource) {
    const std::string missing = (dir.path() / "VPLST001.XPL").string();
    const Result r =
        run({"playlist", "--chapters", "-o", out.string(), missing, "--source", source});
    EXPECT_EQ(r.status, 1);
    // The folder made for the chapters is taken back.
    EXPECT_EQ(r.out, "Removed the empty folder " + out.string() + "\n");
    EXPECT_EQ(r.err.rfind("tessary-cli: Cannot open file \"" + missing + "\"", 0), 0u) << r.err;
    EXPECT_FALSE(std::filesystem::exists(out));

    // A source that no title plays is warned of.
    EXPECT_EQ(run({"playlist", playlist, "--source", "TRAILER_2.EVO"}).err,
              "tessary-cli: warning: no title of VPLST000.XPL plays TRAILER_2.EVO\n");

    for (const std::vector<std::string>& usage :
         {std::vector<std::string>{"playlist", playlist},
          std::vector<std::string>{"playlist", "-o", out.string(), playlist, "--source", source}})
        EXPECT_EQ(run(usage).status, 2);
}
