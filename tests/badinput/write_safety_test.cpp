// The writing commands when writing fails (through the file port and on a really full disk),
// and proof that none of them writes over its source or outside its output folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <sys/mount.h>
#include <utility>
#include <vector>

#include "DemoDisc.h"
#include "DemuxData.h"
#include "Fakes.h"
#include "MemoryOutputs.h"
#include "PackWriter.h"
#include "TempDir.h"
#include "shell/Main.h"

using namespace tessary;
using namespace tessary::test;
namespace fs = std::filesystem;

namespace {

fs::path demoSource() {
    return demoDisc() / "HVDVD_TS" / "FEATURE_1.EVO";
}

// The window model after a Read of a source and of the demo playlist.
struct Window {
    explicit Window(const fs::path& source, const fs::path& workdir = {}) {
        main.Resetcbs();
        main.eEVOfile.setText(source.string());
        main.EVOadj();
        main.eWorkdir.setText(workdir.string());
        main.bReadEVOClick();
        main.eXPLfile.setText((demoDisc() / "ADV_OBJ" / "VPLST000.XPL").string());
        main.XPLadj();
        main.bReadXPLClick();
    }
    // Runs a command; true when it ended with "Done." (Write chapters logs nothing: no error).
    bool run(void (TfMain::*click)()) {
        const std::size_t errors = ui.errors.size();
        const std::size_t from = main.reMessage.lines().size();
        (main.*click)();
        int done = 0;
        for (std::size_t i = from; i < main.reMessage.lines().size(); ++i)
            done += main.reMessage.lines()[i].plainText() == "Done.";
        EXPECT_LE(ui.errors.size() - errors, 1u);
        EXPECT_FALSE(main.state.writingPass);
        EXPECT_FALSE(main.bCancel.enabled());
        EXPECT_TRUE(main.bDemux.enabled());
        EXPECT_TRUE(main.bRebuild.enabled());
        EXPECT_TRUE(main.bWriteChaps.enabled());
        if (ui.errors.size() > errors) {
            EXPECT_EQ(done, 0);
            return false;
        }
        return true;
    }
    FakeUi ui;
    FakeClock clock;
    TfMain main{ui, clock};
};

struct Command {
    const char* name;
    void (TfMain::*click)();
};
const Command kCommands[] = {{"demux", &TfMain::bDemuxClick},
                             {"rebuild", &TfMain::bRebuildClick},
                             {"write chapters", &TfMain::bWriteChapsClick}};

// Every file under a folder (links as themselves) with its bytes.
std::map<fs::path, Bytes> tree(const fs::path& folder) {
    std::map<fs::path, Bytes> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        files[entry.path()] =
            entry.is_regular_file() && !entry.is_symlink() ? readFile(entry.path()) : Bytes{};
    return files;
}

} // namespace

// Each command with each of its files failing on create, after a write and on close: one
// error, every file closed, no "Done.", and the next run of the same command works.
TEST(WriteFaults, AFailedRunEndsCleanlyAndTheNextOneWorks) {
    for (const Command& command : kCommands)
        for (const char* fault : {"create", "write", "close"}) {
            SCOPED_TRACE(std::string(command.name) + ", " + fault);
            Window w(demoSource(), "/out");
            MemoryOutputs probe;
            w.main.setOutputFiles(&probe);
            ASSERT_TRUE(w.run(command.click));
            for (const std::string& path : probe.order) {
                if (fault == std::string("write") && probe.bytes(path).empty()) continue;
                MemoryOutputs files;
                if (fault == std::string("create")) files.failCreate = path;
                if (fault == std::string("write")) {
                    files.failWrite = path;
                    files.failWriteAfter = probe.bytes(path).size() / 2;
                }
                if (fault == std::string("close")) files.failClose = path;
                w.main.setOutputFiles(&files);
                EXPECT_FALSE(w.run(command.click)) << path;
                for (const auto& [name, file] : files.files)
                    EXPECT_TRUE(file->closed) << name;
                MemoryOutputs again;
                w.main.setOutputFiles(&again);
                EXPECT_TRUE(w.run(command.click));
                for (const auto& [name, file] : probe.files)
                    EXPECT_EQ(again.bytes(name), file->bytes) << name;
            }
        }
}

// What another program does to the files while a run writes (at its first progress step):
// the run fails with the reason, and no file is left under a final name.
TEST(WriteFaults, AFolderRemovedOrASourceCutShortDuringARunFailsIt) {
    struct Row {
        const char* name;
        std::function<void(const fs::path& source, const fs::path& out)> act;
        const char* error;
    };
    const Row rows[] = {
        {"output folder removed", [](const fs::path&, const fs::path& out) { fs::remove_all(out); },
         "Its folder was removed or replaced while it was written"},
        {"output folder replaced",
         [](const fs::path&, const fs::path& out) {
             fs::rename(out, out.string() + " moved");
             fs::create_directory(out);
         },
         "Its folder was removed or replaced while it was written"},
        {"source truncated",
         [](const fs::path& source, const fs::path&) { fs::resize_file(source, 5000000); },
         "BIG.EVO shrank while it was read: "},
    };
    for (const Command& command : {kCommands[0], kCommands[1]})
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(command.name) + ", " + row.name);
            TempDir dir;
            PackWriter pack;
            Bytes frame = {0x00, 0x00, 0x01, 0x00};
            frame.resize(2000, 0x31);
            for (int i = 0; i < 4500; ++i) // 9 MiB: three progress steps
                pack.addPayload(Stream::mpeg2Video(0), frame);
            const fs::path source = dir.writeFile("BIG.EVO", pack.bytes());
            const fs::path out = dir.file("out");
            fs::create_directory(out);
            Window w(source, out);
            w.main.cbVideo[0].setChecked(true);
            bool acted = false;
            w.ui.onProcessMessages = [&] {
                if (!std::exchange(acted, true)) row.act(source, out);
            };
            EXPECT_FALSE(w.run(command.click));
            ASSERT_EQ(w.ui.errors.size(), 1u);
            EXPECT_NE(w.ui.errors[0].find(row.error), std::string::npos) << w.ui.errors[0];
            EXPECT_EQ(w.main.reMessage.lines().back().plainText(), w.ui.errors[0]);
            for (const auto& [path, bytes] : tree(dir.path()))
                EXPECT_TRUE(path.filename() == "BIG.EVO" || fs::is_directory(path)) << path;
        }
}

// A real disk that fills up: a 1 MiB memory file system mounted for the test.
TEST(WriteFaults, AFullDiskEndsTheRunAndARoomyFolderWorksNext) {
    TempDir dir;
    const fs::path small = dir.file("small");
    fs::create_directory(small);
    if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "a 1 MiB tmpfs cannot be mounted here (mount needs CAP_SYS_ADMIN)";
    struct Unmount {
        fs::path path;
        ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
    } unmount{small};

    for (const Command& command : {kCommands[0], kCommands[1]}) {
        SCOPED_TRACE(command.name);
        Window w(demoSource(), small);
        EXPECT_FALSE(w.run(command.click));
        ASSERT_FALSE(w.ui.errors.empty());
        EXPECT_NE(w.ui.errors.back().find("No space left on device"), std::string::npos)
            << w.ui.errors.back();
        // No part of a file stays behind.
        EXPECT_TRUE(fs::is_empty(small));

        const fs::path roomy = dir.file(std::string("roomy ") + command.name);
        fs::create_directory(roomy);
        w.main.eWorkdir.setText(roomy.string());
        EXPECT_TRUE(w.run(command.click));
        EXPECT_FALSE(fs::is_empty(roomy));
    }
}

// Captions, extensions, links and folders that try to lead a file elsewhere: after every
// command the source is unchanged and every new file lies in the output folder.
TEST(WriteSafety, NoCommandWritesOverItsSourceOrOutsideItsFolder) {
    struct Row {
        const char* name;
        std::function<void(TfMain&, const fs::path& source, const fs::path& out)> arrange;
    };
    const std::vector<Row> rows = {
        {"captions with ../ and /",
         [](TfMain& m, const fs::path&, const fs::path&) {
             m.cbVideo[0].setCaption("../../escape");
             m.cbAudio[0].setCaption("/etc/escape");
             m.cbSub[0].setCaption("..");
         }},
        {"extensions with /",
         [](TfMain& m, const fs::path&, const fs::path&) {
             m.eVideoExt.setText("../x");
             m.eAudioExt.setText("/tmp");
             m.eSubExt.setText("..");
         }},
        {"output names linked to the source",
         [](TfMain& m, const fs::path& source, const fs::path& out) {
             for (const char* name :
                  {"FEATURE_1_FEATURE_2.rebuilt.EVO", "FEATURE_1_FEATURE_2.chapters.txt",
                   "FEATURE_1_FEATURE_2.AVC.s0.mpv"})
                 fs::create_symlink(source, out / name);
             m.cbVideo[0].setChecked(true);
         }},
        {"output folder is the source's folder",
         [](TfMain& m, const fs::path& source, const fs::path&) {
             m.eWorkdir.setText(source.parent_path().string());
         }},
        {"no output folder",
         [](TfMain& m, const fs::path&, const fs::path&) { m.eWorkdir.setText(""); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        const fs::path disc = dir.file("disc"), out = dir.file("out");
        fs::create_directories(disc);
        fs::create_directories(out);
        for (const char* name : {"FEATURE_1.EVO", "FEATURE_2.EVO"})
            fs::copy_file(demoDisc() / "HVDVD_TS" / name, disc / name);
        const fs::path source = disc / "FEATURE_1.EVO";
        const Bytes original = readFile(source);
        Window w(source, out);
        row.arrange(w.main, source, out);
        const fs::path folder =
            w.main.eWorkdir.text().empty() ? disc : fs::path(w.main.eWorkdir.text());
        const auto before = tree(dir.path());
        for (const Command& command : kCommands) {
            SCOPED_TRACE(command.name);
            w.run(command.click);
            EXPECT_EQ(readFile(source), original);
            EXPECT_EQ(readFile(disc / "FEATURE_2.EVO"),
                      readFile(demoDisc() / "HVDVD_TS" / "FEATURE_2.EVO"));
            for (const auto& [path, bytes] : tree(dir.path()))
                if (!before.count(path)) {
                    EXPECT_EQ(path.parent_path(), folder) << path;
                }
        }
    }
}
