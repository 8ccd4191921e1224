#pragma once

#include <cstdint>

namespace tessary {

enum class VideoCodec : uint8_t { None, Mpeg2, H264, Vc1 };
enum class AudioCodec : uint8_t { None, Ac3, DdPlus, Dts, Lpcm, TrueHd };

// The start code that begins a frame in each video codec's elementary stream:
// MPEG-2 picture start code, H.264 access unit delimiter, VC-1 frame start code.
inline constexpr uint8_t frameStartCode(VideoCodec codec) {
    switch (codec) {
    case VideoCodec::Mpeg2: return 0x00;
    case VideoCodec::H264: return 0x09;
    case VideoCodec::Vc1: return 0x0D;
    case VideoCodec::None: break;
    }
    return 0xFF;
}

} // namespace tessary
