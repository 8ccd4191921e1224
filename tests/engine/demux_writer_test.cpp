// The Demux pass fed from memory: what each kind of stream writes, byte for byte, and the
// subpicture records with their rebased time stamps.
#include <gtest/gtest.h>

#include "DemuxBytes.h"
#include "DemuxData.h"

using namespace tessary;
using namespace tessary::test;

TEST(DemuxWriter, EachCodecGetsItsElementaryStreamByteForByte) {
    const Bytes a = randomBytes(7000, 1), b = randomBytes(3000, 2), c = randomBytes(4500, 3);
    struct Row {
        const char* name;
        std::vector<std::pair<Stream, const Bytes*>> written; // in file order
        StreamRef selected;
        Bytes expected;
    };
    const std::vector<Row> rows = {
        {"MPEG-2 video", {{Stream::mpeg2Video(0), &a}}, {StreamKind::Video, 0}, a},
        {"H.264 video 1", {{Stream::h264Video(1), &a}}, {StreamKind::Video, 1}, a},
        {"VC-1 video", {{Stream::vc1Video(0), &a}}, {StreamKind::Video, 0}, a},
        {"AC-3", {{Stream::ac3(0), &b}}, {StreamKind::Audio, 0}, b},
        {"DTS", {{Stream::dts(5), &b}}, {StreamKind::Audio, 5}, b},
        {"E-AC-3 12", {{Stream::eac3(12), &b}}, {StreamKind::Audio, 12}, b},
        // The LPCM parameter bytes and the TrueHD extra byte stay out of the file.
        {"LPCM", {{Stream::lpcm(3), &c}}, {StreamKind::Audio, 3}, c},
        {"TrueHD", {{Stream::trueHd(4), &c}}, {StreamKind::Audio, 4}, c},
        // Another stream's packets in between are not written.
        {"video between audio",
         {{Stream::ac3(1), &b}, {Stream::vc1Video(0), &a}, {Stream::ac3(1), &c}},
         {StreamKind::Audio, 1},
         concat({b, c})},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        PackWriter w;
        w.addNavPack({});
        uint64_t pts = 90000;
        for (const auto& [stream, payload] : row.written)
            w.addPayload(stream, *payload, {.pts = pts += 3003, .maxPerPack = 1500});
        const MemoryOutputs files = demuxBytes(w.bytes(), 90000, {row.selected});
        EXPECT_EQ(files.bytes(keyOf(row.selected)), row.expected);
    }
}

TEST(DemuxWriter, SubpictureUnitsBecomeRecordsWithRebasedTimeStamps) {
    // Unit one spreads over three packets; unit two starts at the smallest first PTS; unit
    // three has a PTS but lies before it, so its rebased time wraps.
    const Bytes one = randomBytes(3000, 4), two = randomBytes(200, 5), three = randomBytes(50, 6);
    PackWriter w;
    w.addNavPack({});
    w.addPayload(Stream::subpicture(0x22), one, {.pts = 190000, .maxPerPack = 1000});
    w.addPayload(Stream::ac3(0), randomBytes(500, 7), {.pts = 100000});
    w.addPayload(Stream::subpicture(0x22), two, {.pts = 100000});
    w.addPayload(Stream::subpicture(0x22), three, {.pts = 99999});

    const StreamRef sub2{StreamKind::Subpicture, 2};
    // 90000 is written as 90 5F 01 00.
    const Bytes rebased = concat({subpictureRecord(90000, one), subpictureRecord(0, two),
                                  subpictureRecord(0xFFFFFFFF, three)});
    EXPECT_EQ(demuxBytes(w.bytes(), 100000, {sub2}).bytes("s2"), rebased);
    EXPECT_EQ(Bytes(rebased.begin() + 2, rebased.begin() + 6), (Bytes{0x90, 0x5F, 0x01, 0x00}));
    // Without a smallest first PTS (a Read without details) the time stamps stay as they are.
    const Bytes plain = concat({subpictureRecord(190000, one), subpictureRecord(100000, two),
                                subpictureRecord(99999, three)});
    EXPECT_EQ(demuxBytes(w.bytes(), kNoPts, {sub2}).bytes("s2"), plain);
}
