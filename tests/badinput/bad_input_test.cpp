// Bad input through every front end: one table of damaged, odd and unreadable sources and
// playlists, each run through tessary-cli (read, demux, rebuild, playlist; text and JSON) and
// through the window model's commands. Every run ends cleanly: no crash, no hang, a clear
// message for what could not be done, and memory bounded.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <iostream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "CliApp.h"
#include "CliRun.h"
#include "DemoDisc.h"
#include "DemuxData.h"
#include "Fakes.h"
#include "PackWriter.h"
#include "TempDir.h"
#include "shell/Main.h"

using namespace tessary;
using namespace tessary::test;
namespace fs = std::filesystem;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

CliResult runCliWith(std::vector<std::string> args) {
    return runCliArgs(std::move(args));
}

// Runs `body` with a deadline. A run that blocks (an open of a FIFO waits for a writer) is a
// failure; the FIFOs under `folder` are then opened for writing so that it ends.
template <typename T> T withDeadline(const fs::path& folder, const std::function<T()>& body) {
    auto result = std::async(std::launch::async, body);
    if (result.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        ADD_FAILURE() << "the run did not end within 10 s";
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            if (entry.is_fifo()) {
                const int fd = ::open(entry.path().c_str(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) ::close(fd);
            }
    }
    return result.get();
}

// Peak resident size of the process in KiB.
long peakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A small feature that a Read understands: navigation pack, H.264 video, AC-3 audio and a
// subpicture, then a few more video packs.
Bytes feature(unsigned salt) {
    PackWriter w;
    NavPack nav;
    nav.firstPtm = 90000;
    nav.lastPtm = 180000;
    w.addNavPack(nav);
    Bytes video = randomBytes(9000, salt);
    video[0] = 0, video[1] = 0, video[2] = 1, video[3] = 9;
    w.addPayload(Stream::h264Video(0), video, {.pts = 90000});
    w.addPayload(Stream::ac3(0), randomBytes(3000, salt + 1), {.pts = 90900});
    w.addPayload(Stream::subpicture(0x20), randomBytes(1500, salt + 2), {.pts = 99000});
    w.addPayload(Stream::h264Video(0), randomBytes(6000, salt + 3));
    return w.bytes();
}

// Writes `size` bytes made by `byte` in pieces, so that the test itself stays small.
void writeLarge(const fs::path& path, std::size_t size,
                const std::function<uint8_t(std::size_t)>& byte, const std::string& head = {},
                const std::string& tail = {}) {
    std::ofstream out(path, std::ios::binary);
    out << head;
    std::string piece;
    for (std::size_t at = 0; at < size;) {
        piece.clear();
        for (std::size_t i = 0; i < 65536 && at < size; ++i, ++at)
            piece.push_back(static_cast<char>(byte(at)));
        out << piece;
    }
    out << tail;
}

void makeFifo(const fs::path& path) {
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0) << path;
}

fs::path demoPlaylist() {
    return demoDisc() / "ADV_OBJ" / "VPLST000.XPL";
}

// One bad input: what it makes in its folder (the source and the playlist it returns), and
// what must be said about it.
struct Paths {
    fs::path source;
    fs::path playlist = demoPlaylist();
};

struct Row {
    const char* name;
    std::function<Paths(const fs::path&)> make;
    const char* sourceError = nullptr;   // read, demux and rebuild fail with this
    const char* playlistError = nullptr; // the playlist command fails with this
    bool readable = false;               // read, demux and rebuild succeed
    bool large = false;                  // memory is measured
    bool needsNonRoot = false;           // root reads every file
};

std::vector<Row> rows() {
    return {
        {.name = "10 MB playlist line",
         .make =
             [](const fs::path& d) {
                 const Paths p{d / "FEATURE_1.EVO", d / "LONG.XPL"};
                 writeFile(p.source, feature(1));
                 writeLarge(
                     p.playlist, 10u << 20, [](std::size_t) { return 'a'; },
                     "<Playlist><Title titleName=\"", "\"></Title></Playlist>");
                 return p;
             },
         .readable = true,
         .large = true},
        {.name = "random bytes",
         .make =
             [](const fs::path& d) {
                 std::mt19937 random(7);
                 writeLarge(d / "RANDOM.EVO", 3u << 20,
                            [&random](std::size_t) { return static_cast<uint8_t>(random()); });
                 return Paths{d / "RANDOM.EVO"};
             },
         .large = true},
        {.name = "zeros",
         .make =
             [](const fs::path& d) {
                 writeLarge(d / "ZEROS.EVO", 3u << 20, [](std::size_t) { return 0; });
                 return Paths{d / "ZEROS.EVO"};
             },
         .large = true},
        {.name = "empty file",
         .make =
             [](const fs::path& d) {
                 writeFile(d / "EMPTY.EVO", Bytes{});
                 return Paths{d / "EMPTY.EVO"};
             }},
        {.name = "cut in the middle of a pack",
         .make =
             [](const fs::path& d) {
                 Bytes bytes = feature(2);
                 bytes.resize(5 * kPackSize + 777);
                 writeFile(d / "CUT.EVO", bytes);
                 return Paths{d / "CUT.EVO"};
             }},
        {.name = "junk before the packs",
         .make =
             [](const fs::path& d) {
                 Bytes bytes = randomBytes(1001, 3);
                 bytes[10] = 0, bytes[11] = 0, bytes[12] = 1, bytes[13] = 0xBA; // a false start
                 const Bytes packs = feature(3);
                 bytes.insert(bytes.end(), packs.begin(), packs.end());
                 writeFile(d / "JUNK.EVO", bytes);
                 return Paths{d / "JUNK.EVO"};
             }},
        {.name = "packet lengths past the end",
         .make =
             [](const fs::path& d) {
                 PackWriter w;
                 w.addNavPack({});
                 const std::size_t video =
                     w.addPesPack({.streamId = 0xE2, .pts = 1000, .payload = randomBytes(100, 4)});
                 w.patch(video + kPackHeaderSize + 4, Bytes{0xFF, 0xFF});
                 const std::size_t audio = w.addPesPack(
                     {.streamId = 0xBD, .pts = 1000, .payload = Bytes{0x80, 1, 0, 1, 0x0B, 0x77}});
                 w.patch(audio + kPackHeaderSize + 4, Bytes{0xFF, 0xF0});
                 w.truncate(audio + 40);
                 writeFile(d / "LONG.EVO", w.bytes());
                 return Paths{d / "LONG.EVO"};
             }},
        {.name = "private stream 1 header cut short",
         .make =
             [](const fs::path& d) {
                 PackWriter w;
                 w.addNavPack({});
                 w.addPesPack({.streamId = 0xBD, .payload = Bytes{0x80}});
                 w.addPesPack({.streamId = 0xBD, .payload = Bytes{0xA0, 1}});
                 w.addPesPack({.streamId = 0xBD, .payload = Bytes{}});
                 // A last packet whose header ends the file.
                 const std::size_t last =
                     w.addPesPack({.streamId = 0xBD, .pts = 5000, .payload = Bytes{0x88, 1, 0}});
                 w.truncate(last + kPackHeaderSize + 9);
                 writeFile(d / "SHORT.EVO", w.bytes());
                 return Paths{d / "SHORT.EVO"};
             }},
        {.name = "start codes inside headers",
         .make =
             [](const fs::path& d) {
                 PackWriter w;
                 w.setPackStuffing(4);
                 w.addNavPack({});
                 const std::size_t at = w.addPesPack(
                     {.streamId = 0xE2, .pts = 1000, .stuffing = 8, .payload = Bytes(50, 0)});
                 // Pack stuffing and PES header stuffing that read as start codes.
                 w.patch(at + 14, Bytes{0, 0, 1, 0xBA});
                 w.patch(at + 18 + 14, Bytes{0, 0, 1, 0xE0, 0, 0, 1, 0xBD});
                 const Bytes rest = feature(5);
                 w.appendRaw(rest);
                 writeFile(d / "NESTED.EVO", w.bytes());
                 return Paths{d / "NESTED.EVO"};
             }},
        {.name = "second feature file is a folder",
         .make =
             [](const fs::path& d) {
                 writeFile(d / "FEATURE_1.EVO", feature(6));
                 fs::create_directory(d / "FEATURE_2.EVO");
                 return Paths{d / "FEATURE_1.EVO"};
             },
         .sourceError = "FEATURE_2.EVO\". Is a directory"},
        {.name = "second feature file is a FIFO",
         .make =
             [](const fs::path& d) {
                 writeFile(d / "FEATURE_1.EVO", feature(7));
                 makeFifo(d / "FEATURE_2.EVO");
                 return Paths{d / "FEATURE_1.EVO"};
             },
         .sourceError = "FEATURE_2.EVO\". Not a regular file"},
        {.name = "second feature file is a link to nothing",
         .make =
             [](const fs::path& d) {
                 writeFile(d / "FEATURE_1.EVO", feature(8));
                 fs::create_symlink(d / "GONE.EVO", d / "FEATURE_2.EVO");
                 return Paths{d / "FEATURE_1.EVO"};
             },
         .sourceError = "FEATURE_2.EVO\". No such file or directory"},
        {.name = "source is a folder",
         .make =
             [](const fs::path& d) {
                 fs::create_directory(d / "FOLDER.EVO");
                 return Paths{d / "FOLDER.EVO"};
             },
         .sourceError = "FOLDER.EVO\". Is a directory"},
        {.name = "source is a FIFO",
         .make =
             [](const fs::path& d) {
                 makeFifo(d / "PIPE.EVO");
                 return Paths{d / "PIPE.EVO"};
             },
         .sourceError = "PIPE.EVO\". Not a regular file"},
        {.name = "source is a device",
         .make =
             [](const fs::path& d) {
                 fs::create_symlink("/dev/zero", d / "DEVICE.EVO");
                 return Paths{d / "DEVICE.EVO"};
             },
         .sourceError = "DEVICE.EVO\". Not a regular file"},
        {.name = "source without read permission",
         .make =
             [](const fs::path& d) {
                 writeFile(d / "LOCKED.EVO", feature(8));
                 fs::permissions(d / "LOCKED.EVO", fs::perms::none);
                 return Paths{d / "LOCKED.EVO"};
             },
         .sourceError = "LOCKED.EVO\". Permission denied",
         .needsNonRoot = true},
        {.name = "name with spaces",
         .make =
             [](const fs::path& d) {
                 writeFile(d / "MY FEATURE_1.EVO", feature(9));
                 return Paths{d / "MY FEATURE_1.EVO"};
             },
         .readable = true},
        {.name = "name that is not UTF-8",
         .make =
             [](const fs::path& d) {
                 writeFile(d / "F\xff\xfe\xc3(_1.EVO", feature(10));
                 return Paths{d / "F\xff\xfe\xc3(_1.EVO"};
             },
         .readable = true},
        {.name = "name that begins with a dash",
         .make =
             [](const fs::path& d) {
                 writeFile(d / "-x.EVO", feature(11));
                 return Paths{d / "-x.EVO"};
             },
         .readable = true},
        {.name = "empty playlist",
         .make =
             [](const fs::path& d) {
                 writeFile(d / "FEATURE_1.EVO", feature(12));
                 writeFile(d / "EMPTY.XPL", Bytes{});
                 return Paths{d / "FEATURE_1.EVO", d / "EMPTY.XPL"};
             },
         .readable = true},
        {.name = "unclosed tag in the playlist",
         .make =
             [](const fs::path& d) {
                 writeFile(d / "FEATURE_1.EVO", feature(13));
                 std::ifstream demo(demoPlaylist(), std::ios::binary);
                 std::string text{std::istreambuf_iterator<char>(demo), {}};
                 // Cut inside the first tag behind the middle: the tag is never closed.
                 text.resize(text.find('<', text.size() / 2) + 6);
                 std::ofstream(d / "UNCLOSED.XPL", std::ios::binary) << text;
                 return Paths{d / "FEATURE_1.EVO", d / "UNCLOSED.XPL"};
             },
         .readable = true},
        {.name = "binary playlist",
         .make =
             [](const fs::path& d) {
                 writeFile(d / "FEATURE_1.EVO", feature(14));
                 writeFile(d / "BINARY.XPL", randomBytes(300000, 15));
                 return Paths{d / "FEATURE_1.EVO", d / "BINARY.XPL"};
             },
         .readable = true},
        {.name = "playlist is a folder",
         .make =
             [](const fs::path& d) {
                 writeFile(d / "FEATURE_1.EVO", feature(16));
                 fs::create_directory(d / "FOLDER.XPL");
                 return Paths{d / "FEATURE_1.EVO", d / "FOLDER.XPL"};
             },
         .playlistError = "FOLDER.XPL\". Is a directory",
         .readable = true},
        {.name = "playlist is a FIFO",
         .make =
             [](const fs::path& d) {
                 writeFile(d / "FEATURE_1.EVO", feature(17));
                 makeFifo(d / "PIPE.XPL");
                 return Paths{d / "FEATURE_1.EVO", d / "PIPE.XPL"};
             },
         .playlistError = "PIPE.XPL\". Not a regular file",
         .readable = true},
    };
}

// One run of tessary-cli: a clean ending, and the message its row asks for.
void checkCli(const std::vector<std::string>& args, const CliResult& r, const char* error,
              bool succeeds) {
    SCOPED_TRACE(testing::PrintToString(args));
    if (error) {
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_NE(r.err.find(error), std::string::npos) << r.err;
    } else if (succeeds) {
        EXPECT_EQ(r.status, 0) << r.err;
    }
    EXPECT_TRUE(r.status == 0 || r.status == 1) << r.status << ' ' << r.err;
    if (r.status != 0) {
        EXPECT_EQ(r.err.rfind("tessary-cli: ", 0), 0u) << r.err;
    }
    const bool json = std::find(args.begin(), args.end(), "json") != args.end();
    if (json && r.status == 0) {
        EXPECT_TRUE(nlohmann::json::accept(r.out)) << r.out;
    }
}

// The window model: `click` shows at most one error, no "Done." after one, and gives the
// buttons back. Returns whether it failed.
bool clickCleanly(TfMain& main, FakeUi& ui, const std::function<void()>& click, const char* error) {
    const std::size_t errorsBefore = ui.errors.size();
    const std::size_t linesBefore = main.reMessage.lines().size();
    click();
    const std::size_t shown = ui.errors.size() - errorsBefore;
    EXPECT_LE(shown, 1u);
    if (error) {
        EXPECT_EQ(shown, 1u);
        if (shown == 1) {
            EXPECT_NE(ui.errors.back().find(error), std::string::npos) << ui.errors.back();
        }
    }
    if (shown == 1) {
        const auto& lines = main.reMessage.lines();
        for (std::size_t i = std::min(linesBefore, lines.size()); i < lines.size(); ++i)
            EXPECT_NE(lines[i].plainText(), "Done.");
    }
    EXPECT_FALSE(main.passRunning());
    EXPECT_FALSE(main.state.writingPass);
    EXPECT_FALSE(main.bCancel.enabled());
    EXPECT_TRUE(main.bReadEVO.enabled());
    EXPECT_TRUE(main.bbEVO.enabled());
    return shown == 1;
}

void runWindow(const Paths& p, const fs::path& out, const Row& row) {
    FakeUi ui;
    FakeClock clock;
    TfMain main{ui, clock};
    main.Resetcbs();
    main.eEVOfile.setText(p.source.string());
    main.EVOadj();
    main.eWorkdir.setText(out.string());
    const bool readFailed = clickCleanly(
        main, ui, [&] { main.bReadEVOClick(); }, row.sourceError);
    if (row.readable) {
        EXPECT_FALSE(readFailed) << (ui.errors.empty() ? "" : ui.errors.back());
    }
    // Demux and Rebuild as the window offers them: only while their buttons are enabled.
    if (main.bDemux.enabled())
        clickCleanly(
            main, ui, [&] { main.bDemuxClick(); }, nullptr);
    if (main.bRebuild.enabled())
        clickCleanly(
            main, ui, [&] { main.bRebuildClick(); }, nullptr);
    main.eXPLfile.setText(p.playlist.string());
    main.XPLadj();
    clickCleanly(
        main, ui, [&] { main.bReadXPLClick(); }, row.playlistError);
    if (main.bWriteChaps.enabled())
        clickCleanly(
            main, ui, [&] { main.bWriteChapsClick(); }, nullptr);
}

} // namespace

TEST(BadInput, EveryFrontEndEndsCleanly) {
    int number = 0;
    for (const Row& row : rows()) {
        SCOPED_TRACE(row.name);
        if (row.needsNonRoot && ::geteuid() == 0) {
            std::cout << "Row \"" << row.name
                      << "\" not run: the tests run as root, who reads every file\n";
            continue;
        }
        TempDir dir;
        const Paths p = row.make(dir.path());
        const long peakBefore = peakKiB();
        const std::string source = p.source.string(), playlist = p.playlist.string();
        const std::string out = (dir.path() / ("out " + std::to_string(++number))).string();

        for (const char* format : {"text", "json"}) {
            const std::vector<std::vector<std::string>> sourceRuns = {
                {"read", "--format", format, "--", source},
                {"demux", "--format", format, "-o", out, "--", source},
                {"rebuild", "--format", format, "-o", out, "--", source},
            };
            for (const auto& args : sourceRuns)
                checkCli(args,
                         withDeadline<CliResult>(dir.path(), [&] { return runCliWith(args); }),
                         row.sourceError, row.readable);
            const std::vector<std::string> playlistRun = {
                "playlist", "--format",           format, "--tree", "--chapters", "-o",
                out,        "--source=" + source, "--",   playlist};
            checkCli(playlistRun,
                     withDeadline<CliResult>(dir.path(), [&] { return runCliWith(playlistRun); }),
                     row.playlistError, false);
        }
        withDeadline<int>(dir.path(), [&] {
            runWindow(p, out, row);
            return 0;
        });
        // AddressSanitizer keeps freed memory aside for a while: the bound holds without it.
        if (row.large && !kSanitized) {
            const long grownKiB = peakKiB() - peakBefore;
            EXPECT_LT(grownKiB, 8 * 1024) << "peak memory grew by " << grownKiB << " KiB";
        }
    }
}

TEST(BadInput, ANameThatLooksLikeAnOptionIsExplained) {
    TempDir dir;
    writeFile(dir.file("-x.EVO"), feature(20));
    const fs::path previous = fs::current_path();
    fs::current_path(dir.path());
    const CliResult bare = runCliWith({"read", "-x.EVO"});
    const CliResult dashed = runCliWith({"read", "--", "-x.EVO"});
    const CliResult help = runCliWith({"read", "--help"});
    fs::current_path(previous);
    EXPECT_EQ(bare.status, 2);
    EXPECT_NE(bare.err.find("\"-x.EVO\" was taken for an option; if it is a file, put \"--\" "
                            "before it: tessary-cli read [OPTIONS] -- -x.EVO"),
              std::string::npos)
        << bare.err;
    EXPECT_EQ(dashed.status, 0) << dashed.err;
    EXPECT_NE(dashed.out.find("Opening file -x.EVO"), std::string::npos);
    EXPECT_NE(help.out.find("put \"--\" before it"), std::string::npos) << help.out;
    // An option mistyped is not taken for a file.
    EXPECT_EQ(runCliWith({"read", "--ful", "-x.EVO"}).err.find("--ful\" was taken"),
              std::string::npos);
}
