// Rebuild: the pack filter's renumbering and navigation-pack rewrite, which packs the pass
// keeps, and whole rebuilt files read and demuxed again.
#include <gtest/gtest.h>

#include "DemoDisc.h"
#include "DemuxData.h"
#include "Fakes.h"
#include "MemoryOutputs.h"
#include "PackWriter.h"
#include "TempDir.h"
#include "engine/NavigationLayout.h"
#include "ops/PackFilter.h"
#include "shell/Main.h"

using namespace tessary;
using namespace tessary::test;
namespace fs = std::filesystem;

namespace {

struct Session {
    FakeUi ui;
    FakeClock clock;
    TfMain main{ui, clock};

    void read(const fs::path& source) {
        main.Resetcbs();
        main.eEVOfile.setText(source.string());
        main.EVOadj();
        main.bReadEVOClick();
    }
    // Ticks exactly the boxes of `slots`.
    void select(const std::vector<int>& slots) {
        for (int slot = 1; slot < kStreamSlotCount; ++slot)
            if (CheckBox* box = main.boxOfSlot(slot)) box->setChecked(false);
        for (int slot : slots)
            main.boxOfSlot(slot)->setChecked(true);
    }
    std::map<int, int> found() const {
        std::map<int, int> streams;
        for (int slot = 1; slot < kStreamSlotCount; ++slot)
            if (main.state.streamTable[static_cast<std::size_t>(slot)] != kNoStream)
                streams[slot] = main.state.streamTable[static_cast<std::size_t>(slot)];
        return streams;
    }
    // Demuxes every ticked stream into memory; the files' bytes in box order.
    std::vector<Bytes> demuxed() {
        MemoryOutputs files;
        main.setOutputFiles(&files);
        main.bDemuxClick();
        main.setOutputFiles(nullptr);
        std::vector<Bytes> all;
        for (const auto& path : files.order)
            all.push_back(files.bytes(path));
        return all;
    }
};

// One file of a feature: a navigation pack, then each stream's payload.
Bytes featureFile(const std::vector<Stream>& streams, unsigned salt) {
    PackWriter w;
    NavPack nav;
    nav.firstPtm = 90000;
    nav.lastPtm = 180000;
    w.addNavPack(nav);
    for (const Stream& stream : streams)
        w.addPayload(stream, randomBytes(3000, salt++), {.pts = 90000, .maxPerPack = 1200});
    return w.bytes();
}

} // namespace

TEST(Rebuild, KeptStreamsAreRenumberedFromZeroAndKeepTheirBytes) {
    struct Row {
        const char* name;
        std::vector<Stream> streams;
        std::vector<int> kept;      // slots
        std::map<int, int> rebuilt; // slot -> stream code found in the rebuilt file
    };
    const std::vector<Row> rows = {
        {"VC-1 0x56",
         {Stream::vc1Video(0), Stream::vc1Video(1), Stream::ac3(0)},
         {2, 17},
         {{1, 0x55}, {17, 0x80}}},
        {"MPEG-2 0xE1", {Stream::mpeg2Video(0), Stream::mpeg2Video(1)}, {2}, {{1, 0xE0}}},
        {"AC-3 and E-AC-3",
         {Stream::ac3(0), Stream::dts(1), Stream::eac3(2)},
         {17, 19},
         {{17, 0x80}, {18, 0xC1}}},
        {"E-AC-3 alone", {Stream::ac3(0), Stream::eac3(2)}, {19}, {{17, 0xC0}}},
        {"subpictures",
         {Stream::subpicture(0x20), Stream::subpicture(0x21), Stream::subpicture(0x35)},
         {34, 54},
         {{33, 0x20}, {34, 0x21}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        // A continued feature: both parts get the same numbers, in one rebuilt file.
        TempDir dir;
        const auto first = dir.writeFile("FEATURE_1.EVO", featureFile(row.streams, 1));
        dir.writeFile("FEATURE_2.EVO", featureFile(row.streams, 100));
        Session source;
        source.read(first);
        source.select(row.kept);
        source.main.bRebuildClick();
        ASSERT_TRUE(source.ui.errors.empty());
        const fs::path rebuiltPath = dir.file("FEATURE_1_FEATURE_2.rebuilt.EVO");
        EXPECT_EQ(source.main.lastRebuildPath(), rebuiltPath.string());

        Session rebuilt;
        rebuilt.main.cbContinue.setChecked(false);
        rebuilt.read(rebuiltPath);
        EXPECT_EQ(rebuilt.found(), row.rebuilt);
        // Demuxing the kept streams gives the same bytes from either file (both parts).
        EXPECT_EQ(rebuilt.demuxed(), source.demuxed());
    }
}

TEST(Rebuild, NavigationPacksGetTheNewCountsTimesAndEntries) {
    NavPack nav;
    nav.audioBound = 3;
    nav.audioFlags = 0x02;
    nav.videoBound = 1;
    nav.firstPtm = 1000;
    nav.lastPtm = 2000;
    nav.audioSync = {11, 12, 13, 14};
    nav.subpictureSync = {21, 22, 23};
    PackWriter source;
    source.addNavPack(nav);

    std::array<int32_t, kStreamSlotCount> table{};
    table.fill(kNoStream);
    table[1] = 0xE2;
    table[17] = 0x80, table[18] = 0x81, table[19] = 0x8A, table[20] = 0xC3;
    table[33] = 0x20, table[34] = 0x21, table[35] = 0x22;
    RebuildSelection keep;
    for (int slot : {1, 18, 20, 33, 35})
        keep.kept[static_cast<std::size_t>(slot)] = true;

    // Kept audio 1 and 3 become 0 and 1 with their entries; subpicture 2 becomes 1.
    NavPack expected = nav;
    expected.audioBound = 2;
    expected.firstPtm = 5000;
    expected.lastPtm = 9000;
    expected.audioSync = {12, 14};
    expected.subpictureSync = {21, 23};
    PackWriter rewritten;
    rewritten.addNavPack(expected);

    Bytes pack = source.bytes();
    PackFilter filter(table, keep, 5000, 9000);
    EXPECT_TRUE(filter.filter(pack.data(), pack.size()));
    EXPECT_EQ(pack, rewritten.bytes());
    const RenumberMap& map = filter.renumberMap();
    EXPECT_EQ((std::vector<int>{map[0xE2], map[0x81], map[0xC3], map[0x20], map[0x22], map[0x80]}),
              (std::vector<int>{0xE2, 0x80, 0xC1, 0x20, 0x21, 0xFF}));

    // A DSI that is not at its place is left alone; the system header is still rewritten.
    Bytes moved = source.bytes();
    moved[nav::kEvoDsiPacket + 3] = 0xBE;
    Bytes movedExpected = moved;
    movedExpected[nav::kAudioBoundByte] = rewritten.bytes()[nav::kAudioBoundByte];
    EXPECT_TRUE(filter.filter(moved.data(), moved.size()));
    EXPECT_EQ(moved, movedExpected);

    // A substream that names no stream (0xA8: LPCM has eight ids) is kept with the identifier
    // 0xFF, and is no stream the Read missed; a dropped one is not kept.
    PackWriter packets;
    packets.addPayload(Stream::privateStream1(0x90), Bytes(100, 1));
    packets.addPayload(Stream::privateStream1(0xA8), Bytes(100, 1));
    packets.addPayload(Stream::ac3(0), Bytes(100, 2));
    for (std::size_t at : {0, 2048}) {
        Bytes unknown(packets.bytes().begin() + at, packets.bytes().begin() + at + 2048);
        EXPECT_TRUE(filter.filter(unknown.data(), unknown.size()));
        EXPECT_EQ(unknown[23 + unknown[22]], 0xFF);
    }
    Bytes dropped(packets.bytes().begin() + 4096, packets.bytes().end());
    EXPECT_FALSE(filter.filter(dropped.data(), dropped.size()));
    // The numbers hold from the start: a kept packet before the first navigation pack too.
    PackWriter early;
    early.addPayload(Stream::ac3(1), Bytes(100, 4));
    Bytes earlyPack = early.bytes();
    EXPECT_TRUE(PackFilter(table, keep, 0, 0).filter(earlyPack.data(), earlyPack.size()));
    EXPECT_EQ(earlyPack[23 + earlyPack[22]], 0x80);
    // A stream the Read did not find is left out, and named as such.
    PackWriter unfound;
    unfound.addPayload(Stream::ac3(6), Bytes(100, 3));
    Bytes unfoundPack = unfound.bytes();
    EXPECT_FALSE(filter.filter(unfoundPack.data(), unfoundPack.size()));
    EXPECT_EQ(filter.leftOut().count(), 1u);
    EXPECT_TRUE(filter.leftOut()[0x86]);
}

TEST(Rebuild, ThePassWritesWholePacksOnly) {
    // Packs: 0 navigation, 1 advanced, 2 AC-3 0, 3 AC-3 1 (dropped), 4 AC-3 1 at the DVD mux
    // rate, 5 AC-3 1 with pack stuffing, then a block that is no pack and a short last pack.
    PackWriter w;
    w.addNavPack({});
    w.addPayload(Stream::advanced(), Bytes(500, 0xAD));
    w.addPayload(Stream::ac3(0), Bytes(500, 0xA0));
    w.addPayload(Stream::ac3(1), Bytes(500, 0xA1));
    w.setMuxRate(MuxRate::Dvd);
    w.addPayload(Stream::ac3(1), Bytes(500, 0xA1));
    w.setMuxRate(MuxRate::HdDvd);
    w.setPackStuffing(2);
    w.addPayload(Stream::ac3(1), Bytes(500, 0xA1));
    w.setPackStuffing(0);
    w.appendRaw(Bytes(2048, 0x00));
    w.addPayload(Stream::ac3(0), Bytes(500, 0xA0));
    w.truncate(w.size() - 1000);
    const Bytes& source = w.bytes();
    auto pack = [&source](std::size_t i) {
        return Bytes(source.begin() + 2048 * i,
                     std::min(source.end(), source.begin() + 2048 * (i + 1)));
    };

    for (const bool advanced : {false, true}) {
        SCOPED_TRACE(advanced);
        TempDir dir;
        Session s;
        s.read(dir.writeFile("MOVIE.EVO", source));
        s.select({17});
        s.main.cbRBAdvanced.setChecked(advanced);
        s.main.bRebuildClick();
        const Bytes rebuilt = readFile(dir.file("MOVIE.rebuilt.EVO"));
        Bytes expected = concat({pack(0)});
        if (advanced) expected = concat({expected, pack(1)});
        expected = concat({expected, pack(2), pack(4), pack(5), pack(7)});
        ASSERT_EQ(rebuilt.size(), expected.size());
        // The navigation pack's counts change; every other byte is the source's.
        expected[nav::kAudioBoundByte] = rebuilt[nav::kAudioBoundByte];
        expected[nav::kVideoBoundByte] = rebuilt[nav::kVideoBoundByte];
        EXPECT_EQ(rebuilt, expected);
    }

    // An empty source gives an empty file.
    TempDir dir;
    Session s;
    s.read(dir.writeFile("EMPTY.EVO", Bytes{}));
    s.main.bRebuildClick();
    EXPECT_TRUE(s.ui.errors.empty());
    EXPECT_EQ(fs::file_size(dir.file("EMPTY.rebuilt.EVO")), 0u);
}

TEST(Rebuild, TheDemoDiscWithEveryStreamChangesOnlyTheNavigationTimes) {
    auto demo = readDemoDisc();
    TfMain& main = demo->main;
    TempDir dir;
    main.eWorkdir.setText(dir.path().string());
    main.cbRBAdvanced.setChecked(true);
    main.bRebuildClick();
    ASSERT_TRUE(demo->ui.errors.empty());

    // Every navigation pack of both files carries the run's first and last video PTM.
    Bytes expected = concat({readFile(demoDisc() / "HVDVD_TS" / "FEATURE_1.EVO"),
                             readFile(demoDisc() / "HVDVD_TS" / "FEATURE_2.EVO")});
    int navigationPacks = 0;
    for (std::size_t at = 0; at + 2048 <= expected.size(); at += 2048) {
        if (expected[at + 17] != 0xBB) continue;
        ++navigationPacks;
        uint8_t* d = expected.data() + at + nav::kEvoDsiData;
        nav::writeBe32(d + nav::kFirstVideoPtm, main.state.firstVideoPtm);
        nav::writeBe32(d + nav::kLastVideoPtm, main.state.lastVideoPtm);
    }
    EXPECT_GT(navigationPacks, 2);
    EXPECT_EQ(readFile(dir.file("FEATURE_1_FEATURE_2.rebuilt.EVO")), expected);
}

TEST(Rebuild, AFailingWriteOrTheSourceAsOutputEndsTheRunWithItsError) {
    TempDir dir;
    const Bytes bytes = featureFile({Stream::ac3(0)}, 7);
    const auto source = dir.writeFile("MOVIE.EVO", bytes);
    Session s;
    s.read(source);
    MemoryOutputs files;
    files.failWrite = dir.file("MOVIE.rebuilt.EVO").string();
    files.failWriteAfter = 2048;
    s.main.setOutputFiles(&files);
    s.main.reMessage.clear();
    s.main.bRebuildClick();
    ASSERT_EQ(s.ui.errors.size(), 1u);
    EXPECT_NE(s.ui.errors[0].find("No space left on device"), std::string::npos);
    EXPECT_TRUE(files.files.begin()->second->removed);
    const auto& lines = s.main.reMessage.lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2].plainText(),
              "Removed the unfinished file " + dir.file("MOVIE.rebuilt.EVO").string());
    EXPECT_EQ(lines.back().plainText(), s.ui.errors[0]);
    EXPECT_TRUE(s.main.bRebuild.enabled());
    EXPECT_TRUE(s.main.bDemux.enabled());
    EXPECT_FALSE(s.main.bCancel.enabled());
    EXPECT_FALSE(s.main.state.writingPass);

    // The rebuilt file's name leads to the source through a link: nothing is written.
    s.main.setOutputFiles(nullptr);
    fs::create_symlink(source, dir.file("MOVIE.rebuilt.EVO"));
    s.main.bRebuildClick();
    ASSERT_EQ(s.ui.errors.size(), 2u);
    EXPECT_NE(s.ui.errors[1].find("It is the file being rebuilt"), std::string::npos);
    EXPECT_EQ(readFile(source), bytes);
}
