#include "engine/FrameCounter.h"

#include <cstring>

namespace tessary {

namespace {
// A window that cannot complete a start code with the next bytes.
constexpr uint32_t kEmptyWindow = 0xFFFFFFFF;
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
        // Every other start code lies wholly inside the chunk: find its 01 byte with memchr.
        const uint8_t* p = data + 2;
        const uint8_t* const last = data + length - 1; // the code byte must lie before the end
        while (p < last) {
            const void* hit = std::memchr(p, 0x01, static_cast<std::size_t>(last - p));
            if (!hit) break;
            p = static_cast<const uint8_t*>(hit);
            if (p[1] == code && p[-1] == 0 && p[-2] == 0) {
                ++count;
                p += 2;
            } else {
                ++p;
            }
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
