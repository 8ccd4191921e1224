// Sources whose streams cannot all be written as they are: codecs that share a stream number,
// streams the Read did not reach, an encrypted file. What each command writes, says and ends
// with, and the warnings the window logs for the same run.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>

#include "CliRun.h"
#include "DemuxData.h"
#include "Fakes.h"
#include "MemoryOutputs.h"
#include "PackWriter.h"
#include "TempDir.h"
#include "jobs/StreamKeys.h"
#include "shell/Main.h"

namespace tessary::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

struct Source {
    const char* name;
    Bytes bytes;
};

const Bytes kAc3 = randomBytes(700, 1), kAc3More = randomBytes(600, 2),
            kOther = randomBytes(500, 3);

// One navigation pack that a Rebuild of audio 0 alone leaves as it is.
NavPack navigation(uint8_t encryption = 0) {
    NavPack nav;
    nav.videoBound = 0;
    nav.audioBound = 1;
    nav.firstPtm = 90000;
    nav.lastPtm = 180000;
    nav.encryption = encryption;
    return nav;
}

// Packs 0 navigation, 1 AC-3 0, 2 E-AC-3 0, 3 AC-3 0.
const Source kEvoShared = [] {
    PackWriter w;
    w.addNavPack(navigation());
    w.addPayload(Stream::ac3(0), kAc3, {.pts = 90000});
    w.addPayload(Stream::eac3(0), kOther, {.pts = 90000});
    w.addPayload(Stream::ac3(0), kAc3More, {.pts = 93000});
    return Source{"MOVIE.EVO", w.bytes()};
}();

const Source kVobShared = [] {
    PackWriter w(MuxRate::Dvd);
    w.addVobNavPack(navigation());
    w.addPayload(Stream::ac3(0), kAc3, {.pts = 90000});
    w.addPayload(Stream::lpcm(0), kOther, {.pts = 90000});
    w.addPayload(Stream::dts(0), kOther, {.pts = 90000});
    w.addPayload(Stream::ac3(0), kAc3More, {.pts = 93000});
    return Source{"MOVIE.VOB", w.bytes()};
}();

// AC-3 0 in the first block; AC-3 1 and E-AC-3 0 (the last two packs) behind the first
// 256 KiB, which is all that a fast check of 0 MB reads.
constexpr std::size_t kLatePacks = 2 + 130 + 2;
const Source kEvoLate = [] {
    PackWriter w;
    w.addNavPack(navigation());
    w.addPayload(Stream::ac3(0), kAc3, {.pts = 90000});
    for (int i = 0; i < 130; ++i)
        w.addPaddingPack();
    w.addPayload(Stream::ac3(1), kAc3More, {.pts = 90000});
    w.addPayload(Stream::eac3(0), kOther, {.pts = 90000});
    return Source{"MOVIE.EVO", w.bytes()};
}();

const Source kEncrypted = [] {
    PackWriter w;
    w.addNavPack(navigation(0x40));
    w.addPayload(Stream::ac3(0), kAc3, {.pts = 90000});
    return Source{"SECRET.EVO", w.bytes()};
}();

// The packs of a source whose indexes lie in [first, last).
Bytes packs(const Source& source, std::size_t first, std::size_t last) {
    return Bytes(source.bytes.begin() + static_cast<std::ptrdiff_t>(first * kPackSize),
                 source.bytes.begin() + static_cast<std::ptrdiff_t>(last * kPackSize));
}

std::map<std::string, Bytes> filesUnder(const fs::path& folder) {
    std::map<std::string, Bytes> files;
    if (!fs::exists(folder)) return files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), folder).string()] = readFile(entry.path());
    return files;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> all;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        all.push_back(line);
    return all;
}

// The window runs the command of `args` (read, demux or rebuild, with the options used
// below) on `path`; the warning lines of its log.
std::vector<std::string> windowWarnings(const std::vector<std::string>& args,
                                        const fs::path& path) {
    FakeUi ui;
    FakeClock clock;
    TfMain main{ui, clock};
    MemoryOutputs files;
    main.setOutputFiles(&files);
    main.eEVOfile.setText(path.string());
    main.EVOadj();
    main.cbFastCheck.setChecked(true);
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--full") main.cbFastCheck.setChecked(false);
        if (args[i] == "--fast-size") main.ieFastSize.setValue(std::stoi(args[i + 1]));
    }
    main.bReadEVOClick();
    for (std::size_t i = 1; i < args.size(); ++i)
        if (args[i] == "-s") {
            for (int slot = 1; slot < kStreamSlotCount; ++slot)
                if (CheckBox* box = main.boxOfSlot(slot)) box->setChecked(false);
            for (const StreamKey key : parseSelection(args[i + 1]))
                main.boxOfSlot(slotOfKey(key))->setChecked(true);
        }
    if (args[0] == "demux") main.bDemuxClick();
    if (args[0] == "rebuild") main.bRebuildClick();
    EXPECT_EQ(ui.errors, std::vector<std::string>());
    std::vector<std::string> warnings;
    for (const LogLine& line : main.reMessage.lines())
        if (line.plainText().starts_with("Warning: ")) warnings.push_back(line.plainText());
    return warnings;
}

TEST(SourceWarnings, EachCommandWritesWhatItCanAndSaysWhatItLeftOut) {
    const std::string sharedEac3 =
        "stream C0 (E-AC-3) has audio number 0, which stream 80 (AC-3) holds: it is not extracted";
    const std::string sharedLpcm =
        "stream A0 (LPCM) has audio number 0, which stream 80 (AC-3) holds: it is not extracted";
    const std::string sharedDts =
        "stream 88 (DTS) has audio number 0, which stream 80 (AC-3) holds: it is not extracted";
    const std::string leftOut =
        "streams the Read did not find are left out of the rebuilt file: 81 C0";
    const std::string fullHint = "read the whole file with --full to find every stream";
    const std::string encrypted =
        "SECRET.EVO is encrypted: its streams cannot be played; decrypt it first";
    struct Row {
        const char* name;
        const Source& source;
        std::vector<std::string> args; // the command and its options
        int status;
        std::vector<std::string> warnings;  // stderr's, and the JSON document's when there is one
        std::string error;                  // the last line of stderr after the warnings
        std::map<std::string, Bytes> files; // the output folder, whole
        std::optional<Lines> window;        // nullopt: not run in the window
    };
    // clang-format off
    const std::vector<Row> rows = {
        {"EVO: E-AC-3 with AC-3's number", kEvoShared, {"demux"}, 0, {sharedEac3}, "",
         {{"MOVIE.DD.stream.00.mpa", concat({kAc3, kAc3More})}}, Lines{"Warning: " + sharedEac3}},
        {"VOB: LPCM and DTS with AC-3's number", kVobShared, {"demux"}, 0, {sharedLpcm, sharedDts},
         "", {{"MOVIE.DD.stream.00.mpa", concat({kAc3, kAc3More})}},
         Lines{"Warning: " + sharedLpcm, "Warning: " + sharedDts}},
        {"EVO: a rebuild leaves the E-AC-3 packs out", kEvoShared, {"rebuild"}, 0, {sharedEac3}, "",
         {{"MOVIE.rebuilt.EVO", concat({packs(kEvoShared, 0, 2), packs(kEvoShared, 3, 4)})}},
         Lines{"Warning: " + sharedEac3}},
        {"streams behind the fast check: a rebuild leaves them out", kEvoLate,
         {"rebuild", "-s", "a0", "--fast-size", "0"}, 0, {leftOut + " (" + fullHint + ")"}, "",
         {{"MOVIE.rebuilt.EVO", packs(kEvoLate, 0, kLatePacks - 2)}},
         Lines{"Warning: " + leftOut + " (untick Fast EVO checking to find every stream)"}},
        {"the whole file read: only the shared number is said", kEvoLate,
         {"rebuild", "-s", "a0", "--full"}, 0, {sharedEac3}, "",
         {{"MOVIE.rebuilt.EVO", packs(kEvoLate, 0, kLatePacks - 2)}},
         Lines{"Warning: " + sharedEac3}},
        {"a shared number behind the fast check: the Demux says it", kEvoLate,
         {"demux", "--fast-size", "0"}, 0, {sharedEac3}, "", {{"MOVIE.DD.stream.00.mpa", kAc3}},
         Lines{"Warning: " + sharedEac3}},
        {"encrypted: demux goes on", kEncrypted, {"demux"}, 0, {encrypted}, "",
         {{"SECRET.DD.stream.00.mpa", kAc3}}, Lines{"Warning: " + encrypted}},
        {"encrypted: rebuild goes on", kEncrypted, {"rebuild"}, 0, {encrypted}, "",
         {{"SECRET.rebuilt.EVO", kEncrypted.bytes}}, Lines{"Warning: " + encrypted}},
        {"encrypted: mkv stops before the Demux", kEncrypted, {"mkv"}, 1, {encrypted},
         "tessary-cli: no Matroska file is made of an encrypted source: decrypt SECRET.EVO first",
         {}, std::nullopt},
        {"encrypted, strict: read", kEncrypted, {"read", "--strict"}, 4, {encrypted}, "", {},
         std::nullopt},
        {"encrypted, strict: demux", kEncrypted, {"demux", "--strict"}, 4, {encrypted}, "", {},
         std::nullopt},
        {"encrypted, strict: mkv", kEncrypted, {"mkv", "--strict"}, 4, {encrypted}, "", {},
         std::nullopt},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        const fs::path source = dir.writeFile(row.source.name, row.source.bytes);
        const fs::path out = dir.path() / "out";
        std::vector<std::string> args = row.args;
        if (args[0] != "read") args.insert(args.end(), {"-o", out.string()});
        args.insert(args.end(), {"--format", "json", source.string()});
        const CliResult r = runCliArgs(args);
        EXPECT_EQ(r.status, row.status);
        std::vector<std::string> stderrLines;
        for (const std::string& warning : row.warnings)
            stderrLines.push_back("tessary-cli: warning: " + warning);
        if (!row.error.empty()) stderrLines.push_back(row.error);
        EXPECT_EQ(lines(r.err), stderrLines);
        if (!r.out.empty()) {
            EXPECT_EQ(nlohmann::json::parse(r.out)["warnings"], row.warnings);
        }
        EXPECT_EQ(filesUnder(out), row.files);
        if (row.window) {
            EXPECT_EQ(windowWarnings(row.args, source), *row.window);
        }
    }
}

} // namespace
} // namespace tessary::test
