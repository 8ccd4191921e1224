// The search that carries the scanner between packets: whatever the bytes, it stops where a
// byte-by-byte search for a 01 followed by a code that begins something stops.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "engine/StartCodeSearch.h"

using namespace tessary;

namespace {

std::size_t byteByByte(const std::vector<uint8_t>& data, std::size_t from) {
    for (std::size_t at = from; at < data.size(); ++at)
        if (data[at] == 0x01 && (at + 1 == data.size() || startsSomething(data[at + 1]))) return at;
    return data.size();
}

} // namespace

TEST(StartCodeSearch, StopsWhereAByteByByteSearchStops) {
    std::mt19937 random(7);
    // Start-code floods around every code, each code at every offset of a 16-byte stretch,
    // and random bytes rich in 00 and 01.
    for (int code = 0; code < 256; ++code)
        for (std::size_t offset = 0; offset < 40; ++offset) {
            std::vector<uint8_t> data;
            while (data.size() < offset)
                data.insert(data.end(), {0x00, 0x00, 0x01});
            data.resize(offset);
            data.insert(data.end(), {0x00, 0x00, 0x01, static_cast<uint8_t>(code)});
            for (int i = 0; i < 10; ++i)
                data.insert(data.end(), {0x00, 0x00, 0x01, 0xB9});
            for (std::size_t from = 0; from <= data.size(); from += 5)
                ASSERT_EQ(findStartCandidate(data.data(), from, data.size()),
                          byteByByte(data, from))
                    << "code " << code << ", offset " << offset << ", from " << from;
        }
    for (int round = 0; round < 2000; ++round) {
        std::vector<uint8_t> data(random() % 100);
        for (uint8_t& byte : data) {
            const unsigned pick = random() % 8;
            byte = pick < 3 ? 0x00 : pick < 6 ? 0x01 : static_cast<uint8_t>(random());
        }
        const std::size_t from = data.empty() ? 0 : random() % (data.size() + 1);
        ASSERT_EQ(findStartCandidate(data.data(), from, data.size()), byteByByte(data, from))
            << "round " << round;
    }
}
