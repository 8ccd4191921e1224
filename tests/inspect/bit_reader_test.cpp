#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "inspect/BitReader.h"

namespace tessary {
namespace {

TEST(BitReader, LoadWindowTakesTheBigEndianWordAndMovesPositionByFour) {
    const std::vector<uint8_t> bytes{0xAA, 0x00, 0x00, 0x01, 0x0F, 0x55};
    BitReader reader(bytes.data(), bytes.size(), 1);
    EXPECT_EQ(reader.position(), 1u);
    reader.loadWindow();
    EXPECT_EQ(reader.position(), 5u);
    EXPECT_EQ(reader.window(), 0x0000010Fu);
    // Looking at the window consumes nothing.
    EXPECT_EQ(reader.readBits(32), 0x0000010Fu);
    EXPECT_EQ(reader.readBits(8), 0x55u);
}

TEST(BitReader, ReadingWithoutLoadWindowStartsAtTheStartPosition) {
    const std::vector<uint8_t> bytes{0x12, 0x34};
    BitReader reader(bytes.data(), bytes.size(), 1);
    EXPECT_EQ(reader.readBits(8), 0x34u);
}

TEST(BitReader, ThirtyTwoBitReadsAreExactAtEveryBitOffset) {
    // num_units_in_tick 1001 (0x000003E9) preceded by 0..7 one-bits.
    for (unsigned offset = 0; offset < 8; ++offset) {
        const uint64_t bits = (((uint64_t{1} << offset) - 1) << (40 - offset)) |
                              (uint64_t{0x000003E9} << (8 - offset)) |
                              (0xFFu >> offset); // trailing ones after the field
        std::vector<uint8_t> bytes;
        for (int i = 4; i >= 0; --i)
            bytes.push_back(static_cast<uint8_t>(bits >> (8 * i)));
        BitReader reader(bytes.data(), bytes.size(), 0);
        reader.skipBits(offset);
        EXPECT_EQ(reader.window(), 0x000003E9u) << "offset " << offset;
        EXPECT_EQ(reader.readBits(32), 0x000003E9u) << "offset " << offset;
        EXPECT_EQ(reader.readBits(8 - offset), 0xFFu >> offset) << "offset " << offset;
    }
}

TEST(BitReader, SingleBitsAndWholeBytesLeaveTheSameState) {
    const std::vector<uint8_t> bytes{0xA5, 0x3C, 0x81, 0x7E, 0x42};
    BitReader byBits(bytes.data(), bytes.size(), 0);
    BitReader byByte(bytes.data(), bytes.size(), 0);
    byBits.loadWindow();
    byByte.loadWindow();
    uint32_t value = 0;
    for (int i = 0; i < 8; ++i)
        value = (value << 1) | byBits.readBits(1);
    EXPECT_EQ(value, byByte.readBits(8));
    EXPECT_EQ(byBits.position(), byByte.position());
    EXPECT_EQ(byBits.window(), byByte.window());
    EXPECT_EQ(byBits.window(), 0x3C817E42u);
    // Mixed widths across byte borders.
    EXPECT_EQ(byBits.readBits(3), 0x1u);
    EXPECT_EQ(byBits.readBits(13), 0x1C81u);
    byBits.skipBits(5);
    EXPECT_EQ(byBits.readBits(11), 0x642u); // 110 of 0x7E, then 0x42
}

TEST(BitReader, ExpGolombCodes) {
    // 1 010 011 00100 00101 000010000 -> ue 0, 1, 2, 3, 4, 15.
    const std::vector<uint8_t> bytes{0b10100110, 0b01000010, 0b10000100, 0b00000000};
    BitReader ue(bytes.data(), bytes.size(), 0);
    EXPECT_EQ(ue.readUe(), 0u);
    EXPECT_EQ(ue.readUe(), 1u);
    EXPECT_EQ(ue.readUe(), 2u);
    EXPECT_EQ(ue.readUe(), 3u);
    EXPECT_EQ(ue.readUe(), 4u);
    EXPECT_EQ(ue.readUe(), 15u);

    BitReader se(bytes.data(), bytes.size(), 0);
    EXPECT_EQ(se.readSe(), 0);
    EXPECT_EQ(se.readSe(), 1);
    EXPECT_EQ(se.readSe(), -1);
    EXPECT_EQ(se.readSe(), 2);
    EXPECT_EQ(se.readSe(), -2);
    EXPECT_EQ(se.readSe(), 8);
}

TEST(BitReader, LargestExpGolombCodes) {
    // 31 zeros, a one and 31 ones: 2^32 - 2, se -(2^31 - 1).
    std::vector<uint8_t> bytes{0x00, 0x00, 0x00, 0x01, 0xFF, 0xFF, 0xFF, 0xFE};
    BitReader ue(bytes.data(), bytes.size(), 0);
    EXPECT_EQ(ue.readUe(), 0xFFFFFFFEu);
    BitReader se(bytes.data(), bytes.size(), 0);
    EXPECT_EQ(se.readSe(), -0x7FFFFFFF);
}

TEST(BitReader, ReadsPastTheBlockGiveZerosAndStayBounded) {
    // The reader sees only the first two bytes; the rest of the vector must never be read.
    const std::vector<uint8_t> bytes{0xFF, 0x80, 0xEE, 0xEE};
    BitReader reader(bytes.data(), 2, 0);
    reader.loadWindow();
    EXPECT_EQ(reader.window(), 0xFF800000u);
    EXPECT_EQ(reader.readBits(9), 0x1FFu);
    EXPECT_EQ(reader.readBits(32), 0u);
    EXPECT_TRUE(reader.exhausted());
    // A run of zeros longer than 31 bits ends instead of looping.
    EXPECT_EQ(reader.readUe(), 0xFFFFFFFFu);
    EXPECT_EQ(reader.readSe(), 0x7FFFFFFF); // 32 zeros again: clamped, no overflow
}

TEST(BitReader, StartAtTheBlockEnd) {
    const uint8_t byte = 0xFF;
    BitReader reader(&byte, 1, 1);
    reader.loadWindow();
    EXPECT_EQ(reader.window(), 0u);
    EXPECT_EQ(reader.readUe(), 0xFFFFFFFFu);
}

TEST(EmulationPrevention, RemovesTheThreeAfterTwoZeros) {
    // num_units_in_tick 1001, byte-aligned: 00 00 03 03 E9 -> 00 00 03 E9.
    const std::vector<uint8_t> coded{0x00, 0x00, 0x03, 0x03, 0xE9, 0x00, 0x00, 0x03,
                                     0x00, 0x00, 0x03, 0x01, 0x03, 0x00, 0x03};
    uint8_t out[32]{};
    const std::size_t n = removeEmulationPrevention(coded.data(), coded.size(), out, sizeof out);
    const std::vector<uint8_t> expected{0x00, 0x00, 0x03, 0xE9, 0x00, 0x00,
                                        0x00, 0x00, 0x01, 0x03, 0x00, 0x03};
    EXPECT_EQ(std::vector<uint8_t>(out, out + n), expected);
}

TEST(EmulationPrevention, StopsAtTheCapacity) {
    const std::vector<uint8_t> coded(100, 0x11);
    uint8_t out[8]{};
    EXPECT_EQ(removeEmulationPrevention(coded.data(), coded.size(), out, sizeof out), 8u);
}

} // namespace
} // namespace tessary
