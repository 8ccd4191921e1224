#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "streams/Codecs.h"
#include "streams/StreamSlots.h"

namespace tessary {

// Counts the frame start codes of a video stream's payload. The last bytes of each stream's
// previous chunk are carried over, so a start code split between two packets is counted once
// and the first bytes of a chunk are never taken for one that is not there.
class FrameCounter {
public:
    FrameCounter() { reset(); }

    void reset();
    // Returns the number of start codes of `codec` that end inside data[0 .. length).
    uint32_t count(int videoNumber, VideoCodec codec, const uint8_t* data, std::size_t length);

private:
    std::array<uint32_t, kVideoStreams> window_{};
    std::array<VideoCodec, kVideoStreams> codec_{};
};

// Start codes 00 00 01 `code` in data, continuing the 32-bit window of earlier bytes (newest
// byte lowest); the window is updated to the last four bytes.
uint32_t countStartCodes(const uint8_t* data, std::size_t length, uint8_t code, uint32_t& window);

} // namespace tessary
