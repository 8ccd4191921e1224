#pragma once

#include <cstddef>
#include <cstdint>

namespace tessary {

// Reads bits most-significant first from a block of bytes, with the exponential-Golomb codes
// of ISO/IEC 14496-10. The window always holds the next 32 bits of the stream (whatever the
// bit offset), so a caller may compare it with a start code without consuming anything.
//
// The reader never leaves the block: bytes at or past blockLength read as zero. It has no
// error state; a header cut short simply reads zero bits from the end of the block on.
class BitReader {
public:
    // A reader over block[0 .. blockLength) that starts at byte startPosition. Reading may
    // begin at once or after loadWindow(); both start at startPosition.
    BitReader(const uint8_t* block, std::size_t blockLength, std::size_t startPosition);

    // (Re)starts reading at position(): the window becomes the four bytes there, big-endian,
    // and position() moves on by four. Right after construction or setPosition(p) this is p.
    void loadWindow();

    // The byte position at which the next loadWindow() starts.
    void setPosition(std::size_t bytePosition);

    // Index of the next byte that has not yet entered the window (the current byte + 4 once
    // reading has begun; the start position before that).
    std::size_t position() const;

    // The next 32 bits, not consumed.
    uint32_t window() const;

    // Consumes n bits (any count; 0 does nothing).
    void skipBits(unsigned n);

    // The next n bits as an unsigned number, n from 0 to 32 (larger counts read 32 bits);
    // readBits(0) is 0.
    uint32_t readBits(unsigned n);

    // ue(v). A prefix of more than 31 zero bits (damaged data or the end of the block) gives
    // 0xFFFFFFFF after consuming those 32 zeros.
    uint32_t readUe();

    // se(v): 0, 1, -1, 2, -2, ...
    int32_t readSe();

    // Bits consumed from the block's start; true once every bit of the block was consumed.
    uint64_t bitPosition() const { return bit_; }
    bool exhausted() const { return bit_ >= static_cast<uint64_t>(length_) * 8; }

private:
    uint8_t byteAt(uint64_t index) const { return index < length_ ? data_[index] : 0; }

    const uint8_t* data_;
    std::size_t length_;
    uint64_t bit_;         // the current bit, counted from the block's start
    bool started_ = false; // reading has begun (the window is loaded)
};

// Copies src[0 .. srcLength) into dst (at most dstCapacity bytes) without the
// emulation-prevention bytes of ISO/IEC 14496-10 and SMPTE 421M (a 0x03 that follows two
// zero bytes). Returns the number of bytes written.
std::size_t removeEmulationPrevention(const uint8_t* src, std::size_t srcLength, uint8_t* dst,
                                      std::size_t dstCapacity);

} // namespace tessary
