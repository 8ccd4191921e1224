#include "engine/FrameCounter.h"

namespace tessary {

namespace {

// A window that cannot complete a start code with the next bytes.
constexpr uint32_t kEmptyWindow = 0xFFFFFFFF;

// The positions whose pairs of bytes are tested together for two zeros. A start code needs
// two zero bytes in a row, which compressed data seldom holds (random bytes once in 64 KiB),
// while a 01 byte comes every 256 bytes. So spans without a pair of zeros are passed over
// with one test, a loop that compilers turn into vector instructions, and only the rare span
// with a pair is searched byte by byte.
constexpr std::size_t kSpan = 128;

// True when data[i] and data[i + 1] are both zero for some i < kSpan (reads kSpan + 1 bytes).
bool hasZeroPair(const uint8_t* data) {
    uint8_t smallest = 0xFF;
    for (std::size_t i = 0; i < kSpan; ++i) {
        const uint8_t pair = data[i] | data[i + 1];
        smallest = pair < smallest ? pair : smallest;
    }
    return smallest == 0;
}

// Start codes 00 00 01 `code` that begin at data[from, to) (reads data[to + 2]).
uint32_t countFrom(const uint8_t* data, std::size_t from, std::size_t to, uint8_t code) {
    uint32_t count = 0;
    for (std::size_t at = from; at < to; ++at)
        if (data[at + 2] == 0x01 && data[at] == 0 && data[at + 1] == 0 && data[at + 3] == code)
            ++count;
    return count;
}

} // namespace

uint32_t countStartCodes(const uint8_t* data, std::size_t length, uint8_t code, uint32_t& window) {
    const uint32_t wanted = 0x00000100u | code;
    uint32_t count = 0;
    // Start codes that end in the first three bytes may begin in the carried window.
    const std::size_t head = length < 3 ? length : 3;
    uint32_t w = window;
    for (std::size_t i = 0; i < head; ++i) {
        w = (w << 8) | data[i];
        if (w == wanted) ++count;
    }
    if (length > 3) {
        // Every other start code lies wholly inside the chunk: it begins at some p < last.
        // The positions are taken a span at a time, the last span's test reaching back over
        // positions already tested, so that a packet's tail is passed over as fast.
        const std::size_t last = length - 3;
        std::size_t at = 0;
        for (; at + kSpan <= last; at += kSpan)
            if (hasZeroPair(data + at)) count += countFrom(data, at, at + kSpan, code);
        if (at < last && (last < kSpan || hasZeroPair(data + last - kSpan)))
            count += countFrom(data, at, last, code);
        const uint8_t* tail = data + length - 4;
        w = static_cast<uint32_t>(tail[0]) << 24 | static_cast<uint32_t>(tail[1]) << 16 |
            static_cast<uint32_t>(tail[2]) << 8 | tail[3];
    }
    window = w;
    return count;
}

void FrameCounter::reset() {
    window_.fill(kEmptyWindow);
    codec_.fill(VideoCodec::None);
}

uint32_t FrameCounter::count(int videoNumber, VideoCodec codec, const uint8_t* data,
                             std::size_t length) {
    if (videoNumber < 0 || videoNumber >= kVideoStreams || codec == VideoCodec::None) return 0;
    // Bytes of another codec sharing the number do not continue this stream's bytes.
    if (codec_[videoNumber] != codec) {
        codec_[videoNumber] = codec;
        window_[videoNumber] = kEmptyWindow;
    }
    return countStartCodes(data, length, frameStartCode(codec), window_[videoNumber]);
}

} // namespace tessary
