// Frame counting over a video stream's payload chunks.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "engine/FrameCounter.h"

using namespace tessary;

namespace {

using Bytes = std::vector<uint8_t>;

// An MPEG-2-like elementary stream: `pictures` picture start codes (00 00 01 00) with slice
// data between them that contains other start codes and random bytes.
Bytes mpeg2Stream(int pictures, uint32_t salt) {
    std::mt19937 random(salt);
    Bytes es = {0x00, 0x00, 0x01, 0xB3, 0x78, 0x04, 0x38, 0x35};
    for (int i = 0; i < pictures; ++i) {
        es.insert(es.end(), {0x00, 0x00, 0x01, 0x00, 0x00, 0x0F, 0xFF, 0xF8});
        es.insert(es.end(), {0x00, 0x00, 0x01, 0x01}); // slice start code
        const int size = 50 + static_cast<int>(random() % 400);
        for (int k = 0; k < size; ++k) {
            uint8_t b = static_cast<uint8_t>(random());
            // Keep the data free of accidental 00 00 01 sequences, as an encoder does.
            if (b == 0x01 && es.size() >= 2 && es[es.size() - 1] == 0 && es[es.size() - 2] == 0)
                b = 0x02;
            es.push_back(b);
        }
    }
    return es;
}

uint32_t countInChunks(const Bytes& es, const std::vector<std::size_t>& cuts, VideoCodec codec) {
    FrameCounter counter;
    uint32_t total = 0;
    std::size_t start = 0;
    for (std::size_t cut : cuts) {
        total += counter.count(0, codec, es.data() + start, cut - start);
        start = cut;
    }
    total += counter.count(0, codec, es.data() + start, es.size() - start);
    return total;
}

} // namespace

TEST(FrameCounter, CountsEveryPictureWhereverThePacketsSplitTheStream) {
    const Bytes es = mpeg2Stream(144, 1);
    EXPECT_EQ(countInChunks(es, {}, VideoCodec::Mpeg2), 144u);
    // Cuts at every position of the first start codes: inside the 00 00 01 00 itself.
    for (std::size_t cut = 1; cut < 24; ++cut)
        EXPECT_EQ(countInChunks(es, {cut}, VideoCodec::Mpeg2), 144u) << cut;
    // Many small chunks, one and two bytes long among them.
    std::vector<std::size_t> cuts;
    for (std::size_t p = 1; p < es.size(); p += 1 + p % 3)
        cuts.push_back(p);
    EXPECT_EQ(countInChunks(es, cuts, VideoCodec::Mpeg2), 144u);
    std::vector<std::size_t> packets;
    for (std::size_t p = 2025; p < es.size(); p += 2025)
        packets.push_back(p);
    EXPECT_EQ(countInChunks(es, packets, VideoCodec::Mpeg2), 144u);
}

TEST(FrameCounter, AChunkStartingWith0100IsNotAPicture) {
    // Two chunks: "... 05 06" then "01 00 ...": no start code, whatever the window held.
    const Bytes first = {0x05, 0x06};
    const Bytes second = {0x01, 0x00, 0x07, 0x08};
    FrameCounter counter;
    EXPECT_EQ(counter.count(0, VideoCodec::Mpeg2, first.data(), first.size()), 0u);
    EXPECT_EQ(counter.count(0, VideoCodec::Mpeg2, second.data(), second.size()), 0u);
    FrameCounter fresh;
    EXPECT_EQ(fresh.count(1, VideoCodec::Mpeg2, second.data(), second.size()), 0u);
}

TEST(FrameCounter, EachCodecCountsItsOwnFrameStartCode) {
    const Bytes h264 = {0x00, 0x00, 0x01, 0x09, 0xF0, 0x00, 0x00, 0x01, 0x67, 0x64,
                        0x00, 0x00, 0x00, 0x01, 0x09, 0x10, 0x00, 0x00, 0x01, 0x0D};
    FrameCounter counter;
    EXPECT_EQ(counter.count(0, VideoCodec::H264, h264.data(), h264.size()), 2u);
    FrameCounter vc1;
    EXPECT_EQ(vc1.count(0, VideoCodec::Vc1, h264.data(), h264.size()), 1u);
    FrameCounter mpeg2;
    EXPECT_EQ(mpeg2.count(0, VideoCodec::Mpeg2, h264.data(), h264.size()), 0u);
}

TEST(FrameCounter, StreamsAndCodecsKeepSeparateWindows) {
    const Bytes head = {0x55, 0x00, 0x00};
    const Bytes tail = {0x01, 0x0D, 0x44};
    FrameCounter counter;
    counter.count(0, VideoCodec::Vc1, head.data(), head.size());
    // Video 1's bytes do not continue video 0's.
    EXPECT_EQ(counter.count(1, VideoCodec::Vc1, tail.data(), tail.size()), 0u);
    EXPECT_EQ(counter.count(0, VideoCodec::Vc1, tail.data(), tail.size()), 1u);
    counter.count(0, VideoCodec::Vc1, head.data(), head.size());
    // Another codec sharing the number does not continue them either.
    EXPECT_EQ(counter.count(0, VideoCodec::Mpeg2, tail.data(), tail.size()), 0u);
}

TEST(FrameCounter, CountsAsAByteByByteSearchDoes) {
    // Stretches of random bytes (seldom two zeros in a row), of zeros, of 01 bytes, and short
    // runs drawn mostly from 00, 01 and the code, so that start codes and near misses fall
    // everywhere: at the edges of the spans the counter tests together and of the chunks.
    std::mt19937 random(7);
    for (const uint8_t code : {uint8_t{0x00}, uint8_t{0x01}, uint8_t{0x09}, uint8_t{0x0D}}) {
        Bytes es;
        while (es.size() < 300000) {
            const uint32_t kind = random() % 8;
            const std::size_t run = 1 + random() % (kind < 4 ? 300 : 100);
            for (std::size_t k = 0; k < run; ++k) {
                uint8_t b = static_cast<uint8_t>(random());
                if (kind == 0) {
                    b = 0x00;
                } else if (kind == 1) {
                    b = 0x01;
                } else if (kind >= 4) { // kinds 2 and 3 keep the random byte
                    const uint32_t pick = b % 8;
                    if (pick < 3)
                        b = 0x00;
                    else if (pick == 3)
                        b = 0x01;
                    else if (pick == 4)
                        b = code;
                }
                es.push_back(b);
            }
        }
        uint32_t expected = 0;
        for (std::size_t i = 3; i < es.size(); ++i)
            if (es[i - 3] == 0 && es[i - 2] == 0 && es[i - 1] == 1 && es[i] == code) ++expected;
        ASSERT_GT(expected, 100u) << int{code};

        uint32_t window = 0xFFFFFFFF;
        EXPECT_EQ(countStartCodes(es.data(), es.size(), code, window), expected) << int{code};
        // Chunks of every length from 1 to 700 bytes, in turn.
        uint32_t total = 0;
        window = 0xFFFFFFFF;
        std::size_t length = 1;
        for (std::size_t start = 0; start < es.size(); start += length, length = length % 700 + 1)
            total += countStartCodes(es.data() + start, std::min(length, es.size() - start), code,
                                     window);
        EXPECT_EQ(total, expected) << int{code};
    }
}
