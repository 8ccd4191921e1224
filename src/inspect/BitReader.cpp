#include "inspect/BitReader.h"

namespace tessary {

BitReader::BitReader(const uint8_t* block, std::size_t blockLength, std::size_t startPosition)
    : data_(block), length_(block == nullptr ? 0 : blockLength),
      bit_(static_cast<uint64_t>(startPosition) * 8) {}

void BitReader::loadWindow() {
    bit_ = static_cast<uint64_t>(position()) * 8;
    started_ = true;
}

void BitReader::setPosition(std::size_t bytePosition) {
    bit_ = static_cast<uint64_t>(bytePosition) * 8;
    started_ = false;
}

std::size_t BitReader::position() const {
    const uint64_t byte = bit_ / 8;
    return static_cast<std::size_t>(started_ ? byte + 4 : byte);
}

uint32_t BitReader::window() const {
    // Five bytes cover 32 bits at any bit offset.
    const uint64_t first = bit_ / 8;
    uint64_t cache = 0;
    for (uint64_t i = 0; i < 5; ++i)
        cache = (cache << 8) | byteAt(first + i);
    return static_cast<uint32_t>(cache >> (8 - bit_ % 8));
}

void BitReader::skipBits(unsigned n) {
    bit_ += n;
    started_ = true;
}

uint32_t BitReader::readBits(unsigned n) {
    if (n == 0) return 0;
    if (n > 32) n = 32;
    const uint32_t value = n == 32 ? window() : window() >> (32 - n);
    skipBits(n);
    return value;
}

uint32_t BitReader::readUe() {
    unsigned zeros = 0;
    while (readBits(1) == 0) {
        if (++zeros == 32) return 0xFFFFFFFF;
    }
    if (zeros == 0) return 0;
    return readBits(zeros) + ((uint32_t{1} << zeros) - 1);
}

int32_t BitReader::readSe() {
    const uint32_t k = readUe();
    const uint32_t m = k / 2 + (k % 2); // (k + 1) / 2 without overflow
    if (k % 2 == 0) return -static_cast<int32_t>(m);
    return m > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int32_t>(m);
}

std::size_t removeEmulationPrevention(const uint8_t* src, std::size_t srcLength, uint8_t* dst,
                                      std::size_t dstCapacity) {
    std::size_t written = 0;
    int zeros = 0;
    for (std::size_t i = 0; i < srcLength && written < dstCapacity; ++i) {
        const uint8_t byte = src[i];
        if (zeros >= 2 && byte == 0x03) {
            zeros = 0;
            continue;
        }
        zeros = byte == 0 ? zeros + 1 : 0;
        dst[written++] = byte;
    }
    return written;
}

} // namespace tessary
