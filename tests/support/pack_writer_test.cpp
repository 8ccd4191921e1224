#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>

#include "PackWriter.h"
#include "TempDir.h"

using namespace tessary::test;

namespace {

uint32_t be32(const Bytes& b, std::size_t at) {
    return uint32_t{b[at]} << 24 | uint32_t{b[at + 1]} << 16 | uint32_t{b[at + 2]} << 8 | b[at + 3];
}
uint16_t be16(const Bytes& b, std::size_t at) {
    return static_cast<uint16_t>(b[at] << 8 | b[at + 1]);
}

// Decodes a 5-byte time stamp field the long way, bit by bit as ISO/IEC 13818-1 lays it out:
// prefix(4) ts[32..30](3) marker(1) | ts[29..15](15) marker(1) | ts[14..0](15) marker(1).
// Returns nothing when a marker bit is 0 or the prefix differs.
std::optional<uint64_t> decodeTimestamp(const uint8_t* p, unsigned prefix) {
    uint64_t bits = 0;
    for (int i = 0; i < 5; ++i)
        bits = bits << 8 | p[i];
    auto field = [&](int from, int width) {
        return (bits >> (40 - from - width)) & ((1ULL << width) - 1);
    };
    if (field(0, 4) != prefix || field(7, 1) != 1 || field(23, 1) != 1 || field(39, 1) != 1)
        return std::nullopt;
    return field(4, 3) << 30 | field(8, 15) << 15 | field(24, 15);
}

struct Packet {
    uint8_t id;
    std::size_t start;        // start code
    std::size_t payload;      // first byte behind the PES header
    std::size_t end;          // first byte behind the packet
    uint8_t flags = 0;        // PES header byte 1
    uint8_t headerLength = 0; // PES_header_data_length
};

// Walks the packets of one pack behind its 14-byte header.
std::vector<Packet> packetsOf(const Bytes& b, std::size_t pack) {
    std::vector<Packet> out;
    std::size_t at = pack + kPackHeaderSize;
    while (at < pack + kPackSize) {
        EXPECT_EQ(be32(b, at) >> 8, 1u) << "no start code at " << at;
        Packet p{b[at + 3], at, at + 6, at + 6 + be16(b, at + 4)};
        if (hasPesHeader(p.id)) {
            p.flags = b[at + 7];
            p.headerLength = b[at + 8];
            p.payload = at + 9 + p.headerLength;
        }
        out.push_back(p);
        at = p.end;
    }
    EXPECT_EQ(at, pack + kPackSize) << "packets overrun the pack at " << pack;
    return out;
}

Bytes pattern(std::size_t n) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = static_cast<uint8_t>(i * 7 + i / 251);
    return b;
}

} // namespace

TEST(PackWriter, TimestampEncodingRoundTripsThroughTheStandardLayout) {
    for (uint64_t v : {0ULL, 1ULL, 0x7FFFULL, 0x8000ULL, 0x12345678ULL, 0xFFFFFFFFULL,
                       0x100000000ULL, 0x1FFFFFFFFULL, 0x1ABCDEF01ULL}) {
        const auto ts = encodeTimestamp(0x2, v);
        EXPECT_EQ(decodeTimestamp(ts.data(), 0x2), v) << std::hex << v;
        // The 32-bit fold the pack engine uses gives the low 32 bits.
        const uint32_t low = (uint32_t{ts[0]} & 0x06) << 29 | uint32_t{ts[1]} << 22 |
                             (uint32_t{ts[2]} & 0xFE) << 14 | uint32_t{ts[3]} << 7 |
                             (uint32_t{ts[4]} & 0xFE) >> 1;
        EXPECT_EQ(low, static_cast<uint32_t>(v));
    }

    // PTS+DTS: flags '11', prefixes 0011 and 0001, ten header data bytes.
    const Bytes pes =
        encodePes({.streamId = 0xE0, .pts = 0x123456789, .dts = 0x100, .payload = {}});
    EXPECT_EQ(pes[7] & 0xC0, 0xC0);
    EXPECT_EQ(pes[8], 10);
    EXPECT_EQ(decodeTimestamp(&pes[9], 0x3), 0x123456789u);
    EXPECT_EQ(decodeTimestamp(&pes[14], 0x1), 0x100u);
}

TEST(PackWriter, PackHeaderCarriesScrAndMuxRate) {
    PackWriter w;
    w.setScr(0x1F0F0F0F1);
    w.addPaddingPack();
    w.setMuxRate(MuxRate::Dvd);
    w.addPaddingPack();
    const Bytes& b = w.bytes();
    ASSERT_EQ(b.size(), 2 * kPackSize);
    EXPECT_EQ(be32(b, 0), 0x000001BAu);
    // SCR base: '01' [32..30] 1 [29..28] | [27..20] | [19..15] 1 [14..13] | [12..5] | [4..0] 1 ..
    uint64_t bits = 0;
    for (int i = 4; i < 10; ++i)
        bits = bits << 8 | b[i];
    const uint64_t scr =
        (bits >> 43 & 0x7) << 30 | (bits >> 27 & 0x7FFF) << 15 | (bits >> 11 & 0x7FFF);
    EXPECT_EQ(bits >> 46, 1u);
    EXPECT_EQ(scr, 0x1F0F0F0F1u);
    EXPECT_EQ(Bytes(b.begin() + 10, b.begin() + 14), (Bytes{0x04, 0x9D, 0x43, 0xF8}));
    EXPECT_EQ(Bytes(b.begin() + 2058, b.begin() + 2062), (Bytes{0x01, 0x89, 0xC3, 0xF8}));
    packetsOf(b, 0);
    packetsOf(b, kPackSize);
}

TEST(PackWriter, EvoNavPackPutsEveryFieldAtItsFixedOffset) {
    NavPack nav;
    nav.audioBound = 5;
    nav.audioFlags = 0x01;
    nav.videoBound = 2;
    nav.vobId = 0x0102;
    nav.firstPtm = 0x11223344;
    nav.lastPtm = 0x55667788;
    nav.encryption = 0x40;
    nav.cgmsValid = nav.dotValid = true;
    nav.cgms = 5;
    nav.aps = 3;
    nav.dot = true;
    for (int i = 0; i < 8; ++i)
        nav.audioSync[i] = static_cast<uint16_t>(0xA000 + i);
    for (int i = 0; i < 32; ++i)
        nav.subpictureSync[i] = 0xB0000000u + i;

    PackWriter w;
    w.addPaddingPack();
    const std::size_t p = w.addNavPack(nav);
    const Bytes& b = w.bytes();
    ASSERT_EQ(b.size(), 2 * kPackSize);
    ASSERT_EQ(p, kPackSize);

    EXPECT_EQ(be32(b, p + 14), 0x000001BBu);
    EXPECT_EQ(b[p + 23], 5 << 2 | 0x01);
    EXPECT_EQ(b[p + 24], 0xE2);
    EXPECT_EQ(Bytes(b.begin() + p + 1289, b.begin() + p + 1294),
              (Bytes{0x01, 0xBF, 0x02, 0xF3, 0x01}));
    EXPECT_EQ(be16(b, p + 1294 + 24), 0x0102);
    EXPECT_EQ(be32(b, p + 1338), 0x11223344u);
    EXPECT_EQ(be32(b, p + 1342), 0x55667788u);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(be16(b, p + 1824 + 2 * i), 0xA000 + i);
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(be32(b, p + 1840 + 4 * i), 0xB0000000u + i);

    // GCI at 38, D = 45.
    const auto packets = packetsOf(b, p);
    ASSERT_EQ(packets.size(), 4u);
    EXPECT_EQ(packets[1].start, p + kEvoGciOffset);
    EXPECT_EQ(b[p + 44], 0x04);
    EXPECT_EQ(b[p + 45 + 12], 0x40);
    EXPECT_EQ(b[p + 45 + 24], 0x90);
    EXPECT_EQ(b[p + 45 + 26], 5 << 5 | 3 << 2 | 0x01);
    EXPECT_EQ(b[packets[2].start + 6], 0x00); // PCI
    EXPECT_EQ(packets[3].start, p + kEvoDsiOffset);
}

TEST(PackWriter, VobNavPackUsesTheDvdLayoutAndMuxRate) {
    NavPack nav;
    nav.vobId = 7;
    nav.firstPtm = 0xCAFE;
    nav.audioSync[0] = 0x1234;
    nav.subpictureSync[31] = 0x89ABCDEF;
    PackWriter w; // the HD DVD rate of the writer does not apply to a VOB navigation pack
    w.addVobNavPack(nav);
    const Bytes& b = w.bytes();
    ASSERT_EQ(b.size(), kPackSize);
    EXPECT_EQ(Bytes(b.begin() + 10, b.begin() + 14), (Bytes{0x01, 0x89, 0xC3, 0xF8}));
    EXPECT_EQ(Bytes(b.begin() + 38, b.begin() + 45),
              (Bytes{0x00, 0x00, 0x01, 0xBF, 0x03, 0xD4, 0x00}));
    EXPECT_EQ(Bytes(b.begin() + 1024, b.begin() + 1031),
              (Bytes{0x00, 0x00, 0x01, 0xBF, 0x03, 0xFA, 0x01}));
    EXPECT_EQ(be16(b, 1031 + 24), 7);
    EXPECT_EQ(be32(b, 1031 + 44), 0xCAFEu);
    EXPECT_EQ(be16(b, 1031 + 402), 0x1234);
    EXPECT_EQ(be32(b, 1031 + 418 + 4 * 31), 0x89ABCDEFu);
    EXPECT_EQ(packetsOf(b, 0).size(), 3u);
}

// Every payload kind, split over several packs: each pack is whole, each packet repeats its
// stream's identification, only the first carries the PTS, and the spans read back the payload
// in order.
TEST(PackWriter, SplitPayloadKeepsAllBytesInOrder) {
    const std::vector<Stream> streams = {Stream::mpeg2Video(1), Stream::h264Video(),
                                         Stream::vc1Video(1),   Stream::extended(0x60, false),
                                         Stream::mpegAudio(2),  Stream::ac3(),
                                         Stream::eac3(3),       Stream::lpcm(),
                                         Stream::trueHd(),      Stream::subpicture(0x61),
                                         Stream::advanced()};
    for (const Stream& s : streams) {
        SCOPED_TRACE(testing::Message() << "stream " << std::hex << int{s.streamId});
        // 3 x 2027 - 3 bytes leave 3 spare bytes in the third private stream 2 pack, which
        // must carry 3 bytes over into a fourth.
        const Bytes payload = pattern(3 * 2027 - 3);
        PackWriter w;
        w.addNavPack({});
        const auto spans = w.addPayload(s, payload, {.pts = 0x1000});
        const Bytes& b = w.bytes();
        ASSERT_EQ(b.size() % kPackSize, 0u);
        ASSERT_EQ(b.size() / kPackSize, 1 + spans.size());

        Bytes back;
        for (std::size_t i = 0; i < spans.size(); ++i) {
            const std::size_t pack = (i + 1) * kPackSize;
            const Packet first = packetsOf(b, pack).front();
            EXPECT_EQ(first.id, s.streamId);
            EXPECT_EQ(spans[i].offset, first.payload + s.substreamHeader.size());
            EXPECT_TRUE(std::equal(s.substreamHeader.begin(), s.substreamHeader.end(),
                                   b.begin() + first.payload));
            if (hasPesHeader(s.streamId)) {
                EXPECT_EQ(first.flags & 0xC0, i == 0 ? 0x80 : 0x00);
                if (s.streamIdExtension) {
                    // The offset of the extension as a reader finds it: behind the PTS, the
                    // extension flags byte and the P-STD field.
                    std::size_t e = first.start + 9 + (i == 0 ? 5 : 0);
                    e += (b[e] & 0x10) ? 2 : 0;
                    EXPECT_EQ(b[e + 2], *s.streamIdExtension);
                }
            }
            back.insert(back.end(), b.begin() + spans[i].offset,
                        b.begin() + spans[i].offset + spans[i].length);
        }
        EXPECT_EQ(back, payload);
    }
}

TEST(PackWriter, ShortSpareIsStuffedAndLongerSpareIsPadded) {
    // A video packet with a PTS takes 6 + 8 bytes of headers in the 2034 behind the pack header.
    for (std::size_t spare = 0; spare <= 6; ++spare) {
        SCOPED_TRACE(spare);
        PackWriter w;
        w.addPesPack({.streamId = 0xE0, .pts = 90000, .payload = pattern(2020 - spare)});
        const Bytes& b = w.bytes();
        ASSERT_EQ(b.size(), kPackSize);
        const auto packets = packetsOf(b, 0);
        if (spare == 6) {
            ASSERT_EQ(packets.size(), 2u);
            EXPECT_EQ(packets[1].id, 0xBE);
            EXPECT_EQ(packets[1].end - packets[1].start, 6u);
            continue;
        }
        ASSERT_EQ(packets.size(), 1u);
        EXPECT_EQ(packets[0].headerLength, 5 + spare);
        EXPECT_EQ(decodeTimestamp(&b[23], 0x2), 90000u);
        EXPECT_TRUE(std::all_of(b.begin() + 28, b.begin() + 28 + spare,
                                [](uint8_t x) { return x == 0xFF; }));
        EXPECT_EQ(packets[0].payload, kPackSize - (2020 - spare));
    }

    // Without a PES header there is nowhere to stuff.
    PackWriter w;
    EXPECT_THROW(w.addPesPack({.streamId = 0xBF, .payload = Bytes(2034 - 6 - 3)}),
                 std::invalid_argument);
    EXPECT_THROW(w.addPesPack({.streamId = 0xE0, .payload = Bytes(2034)}), std::length_error);
}

TEST(PackWriter, RawBytesAndFilesKeepWhatTheyAreGiven) {
    PackWriter w;
    w.appendRaw(Bytes{0x12, 0x34, 0x00});
    w.addRawPack({encodePes({.streamId = 0xE2, .payload = {0x00, 0x00, 0x01}})});
    w.truncate(1000);
    ASSERT_EQ(w.size(), 1000u);
    EXPECT_EQ(be32(w.bytes(), 3), 0x000001BAu);

    std::filesystem::path dirPath;
    {
        TempDir dir;
        dirPath = dir.path();
        const auto file = dir.writeFile("a.EVO", w.bytes());
        std::ifstream in(file, std::ios::binary);
        EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(in), {}), w.bytes());
    }
    EXPECT_FALSE(std::filesystem::exists(dirPath));
}
