// tessary-cli: what it prints, its exit statuses and its option parsing.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "CliApp.h"
#include "PackWriter.h"
#include "Selection.h"
#include "TempDir.h"

using namespace tessary;
using namespace tessary::test;
using tessary::cli::runCli;

namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

Result run(std::vector<std::string> args, bool terminal = false) {
    args.insert(args.begin(), "tessary-cli");
    std::vector<const char*> argv;
    for (const auto& a : args)
        argv.push_back(a.c_str());
    std::ostringstream out, err;
    const int status =
        runCli(static_cast<int>(argv.size()), argv.data(), out, err, terminal, false);
    return {status, out.str(), err.str()};
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
    using tessary::cli::StreamKey;
    EXPECT_EQ(tessary::cli::parseSelection("v0, a15,s31"),
              (std::vector<StreamKey>{{'v', 0}, {'a', 15}, {'s', 31}}));
    for (const char* bad : {"v2", "a16", "s32", "a01", "x1", "a", "", "a1,", "v-1"})
        EXPECT_THROW(tessary::cli::parseSelection(bad), std::invalid_argument) << bad;
}
