#include "engine/FrameCounter.h"

#include <algorithm>
#include <cstring>

namespace tessary {

namespace {

// A window that cannot complete a start code with the next bytes.
constexpr uint32_t kEmptyWindow = 0xFFFFFFFF;

// The bytes whose pairs are tested together for two zeros. A start code needs two zero bytes
// in a row, which compressed data seldom holds (random bytes once in 64 KiB), while a 01 byte
// comes every 256 bytes. So spans without a pair of zeros are passed over with one test, a
// loop that compilers turn into vector instructions, and only the rare span with a pair is
// searched for its 01 bytes.
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
        // Every other start code lies wholly inside the chunk: its zeros begin at some
        // p < last, its 01 byte is p[2] and its code p[3]. The candidates p are taken a span at
        // a time; in a span with a pair of zeros, memchr finds the 01 bytes.
        const uint8_t* p = data;
        const uint8_t* const last = data + length - 3;
        while (p < last) {
            const std::size_t span = std::min(kSpan, static_cast<std::size_t>(last - p));
            // The test reads p[kSpan], which lies before `last` when the span is whole.
            if (span < static_cast<std::size_t>(last - p) && !hasZeroPair(p)) {
                p += span;
                continue;
            }
            const uint8_t* one = p + 2;
            const uint8_t* const stop = p + span + 2;
            while (one < stop) {
                const void* hit = std::memchr(one, 0x01, static_cast<std::size_t>(stop - one));
                if (!hit) break;
                one = static_cast<const uint8_t*>(hit);
                if (one[1] == code && one[-1] == 0 && one[-2] == 0) {
                    ++count;
                    one += 2; // the code byte, after a 01, is no 01 of a start code
                } else {
                    ++one;
                }
            }
            p += span;
        }
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
