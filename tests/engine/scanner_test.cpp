// The byte scanner: which packets it recognises, what it hands over, and that it stays
// correct whatever the block boundaries and the pack alignment are.
#include <gtest/gtest.h>

#include <map>
#include <numeric>

#include "PackWriter.h"
#include "engine/PackScanner.h"

using namespace tessary;
using namespace tessary::test;

namespace {

struct Entered {
    StreamKind kind;
    int number;
    int code;
    bool operator==(const Entered&) const = default;
};

// Records everything the scanner hands over; payload bytes are reassembled per stream.
class Recorder : public PassListener {
public:
    void streamEntered(StreamKind kind, int number, int code) override {
        entered.push_back({kind, number, code});
    }
    void payload(const PayloadChunk& c) override {
        ASSERT_LE(c.position + c.length, c.blockLength);
        auto& bytes = payloads[{c.kind, c.number}];
        bytes.insert(bytes.end(), c.block + c.position, c.block + c.position + c.length);
        if (c.firstOfPacket) firstPts[{c.kind, c.number}].push_back(c.lastPts);
        chunks.push_back(c);
    }
    bool dataSearchInformation(const uint8_t* d, std::size_t available) override {
        if (available < 674) {
            ++cutNavigation;
            return false;
        }
        dsiVobIds.push_back(d[24] << 8 | d[25]);
        return true;
    }
    bool generalControlInformation(const uint8_t*, std::size_t available) override {
        if (available < 27) return false;
        ++gci;
        return true;
    }

    std::vector<Entered> entered;
    std::map<std::pair<PacketKind, int>, Bytes> payloads;
    std::map<std::pair<PacketKind, int>, std::vector<uint32_t>> firstPts;
    std::vector<PayloadChunk> chunks;
    std::vector<int> dsiVobIds;
    int gci = 0;
    int cutNavigation = 0;
};

Bytes pattern(std::size_t size, uint8_t salt) {
    Bytes bytes(size);
    // Deterministic filler without 00 00 01 sequences: never two zero bytes in a row.
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>((i * 7 + salt) % 251 + 2);
    return bytes;
}

// Scans `data` in blocks of `blockSize` bytes through one scanner.
void scanInBlocks(const Bytes& data, std::size_t blockSize, RunState& state, Recorder& recorder,
                  RunMode mode = RunMode::Read) {
    PackScanner scanner(state, mode, SourceType::Evo, recorder);
    Bytes block;
    for (std::size_t offset = 0; offset < data.size(); offset += blockSize) {
        const std::size_t n = std::min(blockSize, data.size() - offset);
        block.assign(data.begin() + offset, data.begin() + offset + n);
        scanner.scanBlock(block.data(), block.size());
    }
}

// A small EVO with one stream of every kind the scanner knows.
PackWriter mixedSource() {
    PackWriter w;
    NavPack nav;
    nav.vobId = 7;
    w.addNavPack(nav);
    w.addPayload(Stream::vc1Video(0), pattern(5000, 1), {.pts = 90000});
    w.addPayload(Stream::h264Video(1), pattern(3000, 2), {.pts = 90900, .dts = 87000});
    w.addPayload(Stream::ac3(0), pattern(1500, 3), {.pts = 91000});
    w.addPayload(Stream::dts(1), pattern(700, 4), {.pts = 92000});
    w.addPayload(Stream::lpcm(2), pattern(900, 5), {.pts = 93000});
    w.addPayload(Stream::trueHd(3), pattern(2500, 6), {.pts = 94000});
    w.addPayload(Stream::eac3(4), pattern(800, 7), {.pts = 95000});
    w.addPayload(Stream::subpicture(0x21), pattern(3000, 8), {.pts = 96000});
    w.addPayload(Stream::subpicture(0x62), pattern(100, 9), {.pts = 97000});
    w.addPayload(Stream::mpegAudio(0), pattern(600, 10), {.pts = 98000});
    w.addPayload(Stream::advanced(), pattern(3000, 11));
    w.addPaddingPack();
    w.addNavPack(nav);
    return w;
}

} // namespace

TEST(PackScanner, FindsEveryKindOfStreamAndHandsOverExactlyItsPayload) {
    const PackWriter w = mixedSource();
    RunState state;
    Recorder r;
    scanInBlocks(w.bytes(), kBlockSize, state, r);

    const std::vector<Entered> expected = {
        {StreamKind::Video, 0, 0x55},      {StreamKind::Video, 1, 0xE3},
        {StreamKind::Audio, 0, 0x80},      {StreamKind::Audio, 1, 0x89},
        {StreamKind::Audio, 2, 0xA2},      {StreamKind::Audio, 3, 0xB3},
        {StreamKind::Audio, 4, 0xC4},      {StreamKind::Subpicture, 1, 0x21},
        {StreamKind::Subpicture, 2, 0x62},
    };
    EXPECT_EQ(r.entered, expected);
    EXPECT_EQ(state.streamTable[1], 0x55);
    EXPECT_EQ(state.streamTable[2], 0xE3);
    EXPECT_EQ(state.streamTable[17 + 3], 0xB3);
    EXPECT_EQ(state.streamTable[33 + 2], 0x62);

    // Payloads arrive without their PES and substream headers (LPCM parameters and the extra
    // TrueHD byte included); MPEG audio and advanced packs reach no consumer.
    EXPECT_EQ((r.payloads[{PacketKind::Video, 0}]), pattern(5000, 1));
    EXPECT_EQ((r.payloads[{PacketKind::Video, 1}]), pattern(3000, 2));
    EXPECT_EQ((r.payloads[{PacketKind::Audio, 0}]), pattern(1500, 3));
    EXPECT_EQ((r.payloads[{PacketKind::Audio, 2}]), pattern(900, 5));
    EXPECT_EQ((r.payloads[{PacketKind::Audio, 3}]), pattern(2500, 6));
    EXPECT_EQ((r.payloads[{PacketKind::Subpicture, 1}]), pattern(3000, 8));
    EXPECT_EQ(r.payloads.size(), 9u);
    EXPECT_EQ(r.dsiVobIds, std::vector<int>{7}); // once per pass
    EXPECT_EQ(r.gci, 1);
}

// A code enters the stream table when it names a stream type in the source, and only then,
// under its type's number: stream ids of audio and video, private stream 1 substream ids,
// stream id extensions.
TEST(PackScanner, EntersExactlyTheCodesThatNameAStreamTypeOfTheSource) {
    struct Space {
        CodeSpace space;
        int first, last;
        Stream (*stream)(uint8_t code);
    };
    const Space spaces[] = {
        {CodeSpace::StreamId, 0xC0, 0xEF, [](uint8_t code) { return Stream{.streamId = code}; }},
        {CodeSpace::Substream, 0x00, 0xFF,
         [](uint8_t code) { return Stream::privateStream1(code); }},
        {CodeSpace::StreamIdExtension, 0x00, 0x7F,
         [](uint8_t code) { return Stream::extended(code); }},
    };
    for (SourceType source : {SourceType::Evo, SourceType::Vob, SourceType::Aob})
        for (const Space& space : spaces)
            for (int code = space.first; code <= space.last; ++code) {
                PackWriter w;
                w.addPayload(space.stream(static_cast<uint8_t>(code)), pattern(64, 1), {.pts = 9});
                RunState state;
                Recorder r;
                PackScanner(state, RunMode::Read, source, r).scanBlock(w.bytes().data(), w.size());
                std::vector<Entered> expected;
                for (const StreamType& type : streamTypes())
                    if (type.space == space.space && type.inSource(source) &&
                        type.holds(static_cast<uint32_t>(code)))
                        expected.push_back(
                            {type.kind, type.number(static_cast<uint32_t>(code)), code});
                EXPECT_EQ(r.entered, expected)
                    << "source " << static_cast<int>(source) << ", space "
                    << static_cast<int>(space.space) << ", code " << code;
            }
}

TEST(PackScanner, ResultDoesNotDependOnBlockBoundaries) {
    const PackWriter w = mixedSource();
    RunState reference;
    Recorder expected;
    scanInBlocks(w.bytes(), kBlockSize, reference, expected);

    for (std::size_t blockSize : {1, 3, 5, 17, 700, 2047, 2048, 2049, 6000}) {
        SCOPED_TRACE(blockSize);
        RunState state;
        Recorder r;
        scanInBlocks(w.bytes(), blockSize, state, r);
        EXPECT_EQ(r.entered, expected.entered);
        EXPECT_EQ(r.payloads, expected.payloads);
        EXPECT_EQ(r.firstPts, expected.firstPts);
        EXPECT_EQ(state.streamTable, reference.streamTable);
        // Navigation data cut by a block end is passed over, never read past the block.
        EXPECT_LE(r.dsiVobIds.size(), 1u);
    }
}

TEST(PackScanner, NotesWhetherAPackHeaderWasMet) {
    const std::string text = "Opening file FEATURE_1.EVO\n0 0 1 BA\n";
    // 00 00 01 BA as the payload of a video packet is no pack header.
    const Bytes inPayload{0, 0, 1, 0xE0, 0, 7, 0x80, 0, 0, 0, 0, 1, 0xBA};
    const std::vector<std::pair<Bytes, bool>> cases{{mixedSource().bytes(), true},
                                                    {Bytes{0xFF, 0, 0, 1, 0xBA}, true},
                                                    {Bytes(5000, 0), false},
                                                    {Bytes(text.begin(), text.end()), false},
                                                    {inPayload, false}};
    for (const auto& [bytes, seen] : cases)
        for (std::size_t blockSize : {1, 2, 3, 4096}) {
            RunState state;
            Recorder r;
            scanInBlocks(bytes, blockSize, state, r);
            EXPECT_EQ(state.packHeaderSeen, seen)
                << bytes.size() << " bytes, blocks of " << blockSize;
        }
}

TEST(PackScanner, PayloadSplitAcrossBlocksContinuesAtPositionZero) {
    PackWriter w;
    // Packs off the grid, so that the second block starts inside a packet's payload.
    w.appendRaw(Bytes(1000, 0xFF));
    for (int i = 0; i < 130; ++i)
        w.addPayload(Stream::mpeg2Video(0), pattern(2000, i), {.pts = 1});
    RunState state;
    Recorder r;
    scanInBlocks(w.bytes(), kBlockSize, state, r);
    const auto split = std::find_if(r.chunks.begin(), r.chunks.end(), [](const PayloadChunk& c) {
        return c.position + c.length == c.blockLength;
    });
    ASSERT_NE(split, r.chunks.end());
    ASSERT_NE(split + 1, r.chunks.end());
    EXPECT_LT(split->length, 2000u);
    EXPECT_EQ((split + 1)->position, 0u);
    EXPECT_EQ(split->length + (split + 1)->length, 2000u);
    EXPECT_FALSE((split + 1)->firstOfPacket);
}

TEST(PackScanner, PtsAloneAndPtsWithDtsGiveTheSame32BitPts) {
    const uint64_t pts = 0x1ABCDEF01; // bit 32 set: it is dropped
    for (bool withDts : {false, true}) {
        PackWriter w;
        PayloadOptions options{.pts = pts};
        if (withDts) options.dts = pts - 3003;
        w.addPayload(Stream::mpeg2Video(0), pattern(100, 1), options);
        RunState state;
        Recorder r;
        scanInBlocks(w.bytes(), kBlockSize, state, r);
        ASSERT_EQ(r.chunks.size(), 1u);
        EXPECT_EQ(r.chunks[0].lastPts, 0xABCDEF01u) << "with DTS: " << withDts;
    }
}

TEST(PackScanner, ExtendedStreamsOtherThanVc1AreSkipped) {
    PackWriter w;
    w.addPayload(Stream::extended(0x71), pattern(500, 1), {.pts = 5});
    w.addPayload(Stream::extended(0x56, false), pattern(400, 2), {.pts = 6});
    // An extended-stream packet without any stream id extension names no stream either.
    w.addPesPack({.streamId = 0xFD, .pts = 7, .payload = pattern(300, 3)});
    RunState state;
    Recorder r;
    scanInBlocks(w.bytes(), kBlockSize, state, r);
    EXPECT_EQ(r.entered, (std::vector<Entered>{{StreamKind::Video, 1, 0x56}}));
    EXPECT_EQ(state.streamTable[1], kNoStream);
    ASSERT_EQ(r.payloads.size(), 1u);
    EXPECT_EQ((r.payloads[{PacketKind::Video, 1}]), pattern(400, 2));
}

TEST(PackScanner, CodecsSharingANumberShareTheFirstStreamsSlot) {
    PackWriter w;
    w.addPayload(Stream::ac3(0), pattern(300, 1), {.pts = 1});
    w.addPayload(Stream::eac3(0), pattern(200, 2), {.pts = 2});
    w.addPayload(Stream::privateStream1(0x90), pattern(100, 3), {.pts = 3});
    RunState state;
    Recorder r;
    scanInBlocks(w.bytes(), kBlockSize, state, r);
    EXPECT_EQ(r.entered, (std::vector<Entered>{{StreamKind::Audio, 0, 0x80}}));
    EXPECT_EQ(state.streamTable[17], 0x80);
    Bytes both = pattern(300, 1);
    const Bytes second = pattern(200, 2);
    both.insert(both.end(), second.begin(), second.end());
    // 0x90 names no codec: its payload is skipped.
    EXPECT_EQ((r.payloads[{PacketKind::Audio, 0}]), both);
}

TEST(PackScanner, UnalignedAndTruncatedSourcesStayInsideTheBytes) {
    const PackWriter w = mixedSource();
    RunState reference;
    Recorder expected;
    scanInBlocks(w.bytes(), kBlockSize, reference, expected);

    // A junk prefix moves every pack off the 2048-byte grid.
    Bytes shifted = {0x00, 0x00, 0x01, 0x47, 0x12};
    shifted.insert(shifted.end(), w.bytes().begin(), w.bytes().end());
    for (std::size_t blockSize : {std::size_t{2048}, std::size_t{4096}, kBlockSize}) {
        RunState state;
        Recorder r;
        scanInBlocks(shifted, blockSize, state, r);
        EXPECT_EQ(r.payloads, expected.payloads) << blockSize;
        EXPECT_EQ(state.streamTable, reference.streamTable);
    }
    // Cut anywhere, even inside a header or a payload, the pass just ends.
    for (std::size_t cut = 1; cut < w.size(); cut += 97) {
        const Bytes part(w.bytes().begin(), w.bytes().begin() + cut);
        RunState state;
        Recorder r;
        scanInBlocks(part, 2048, state, r);
        for (const auto& [key, bytes] : r.payloads) {
            const Bytes& full = expected.payloads[key];
            ASSERT_LE(bytes.size(), full.size());
            EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), full.begin()));
        }
    }
}

TEST(PackScanner, SkipLongerThanTheBlockCarriesOverWithoutSeeingStartCodes) {
    PackWriter w;
    // A padding packet whose content looks like a video packet; its skip crosses the block.
    Bytes fake = {0x00, 0x00, 0x01, 0xE0, 0x00, 0x10, 0x81, 0x80, 0x05};
    fake.resize(1000, 0x11);
    Bytes padding = {0x00, 0x00, 0x01, 0xBE, 0x03, 0xE8};
    padding.insert(padding.end(), fake.begin(), fake.end());
    w.appendRaw(padding);
    w.addPayload(Stream::ac3(0), pattern(100, 1), {.pts = 1});
    RunState state;
    Recorder r;
    scanInBlocks(w.bytes(), 100, state, r);
    EXPECT_EQ(r.entered, (std::vector<Entered>{{StreamKind::Audio, 0, 0x80}}));
    EXPECT_EQ((r.payloads[{PacketKind::Audio, 0}]), pattern(100, 1));
}

TEST(PackScanner, NavigationCutByTheBlockEndIsSkippedAndTheNextOneReported) {
    PackWriter w;
    NavPack first;
    first.vobId = 1;
    NavPack second;
    second.vobId = 2;
    w.addNavPack(first);
    w.addNavPack(second);
    RunState state;
    Recorder r;
    // The first DSI starts at 1294 and needs 674 bytes: a 1500-byte block cuts it.
    PackScanner scanner(state, RunMode::Read, SourceType::Evo, r);
    const Bytes& b = w.bytes();
    scanner.scanBlock(b.data(), 1500);
    scanner.scanBlock(b.data() + 1500, b.size() - 1500);
    EXPECT_EQ(r.cutNavigation, 1);
    EXPECT_EQ(r.dsiVobIds, std::vector<int>{2});
}

TEST(PackScanner, LastPtsIsClearedAfterEveryChunkOfADemuxPass) {
    PackWriter w;
    w.addPayload(Stream::subpicture(0x20), pattern(3000, 1), {.pts = 1000});
    w.addPayload(Stream::subpicture(0x20), pattern(100, 2), {.pts = 2000});
    RunState state;
    Recorder r;
    scanInBlocks(w.bytes(), kBlockSize, state, r, RunMode::Demux);
    ASSERT_EQ(r.chunks.size(), 3u);
    EXPECT_EQ(r.chunks[0].lastPts, 1000u);
    EXPECT_EQ(r.chunks[1].lastPts, 0u); // the unit's second packet carries no PTS
    EXPECT_EQ(r.chunks[2].lastPts, 2000u);
}
