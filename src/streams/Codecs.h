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

// The codec of a video stream code: a stream id 0xE0..0xE3 or a VC-1 stream id extension.
inline constexpr VideoCodec videoCodecOfCode(uint32_t code) {
    if (code == 0x55 || code == 0x56) return VideoCodec::Vc1;
    if (code == 0xE0 || code == 0xE1) return VideoCodec::Mpeg2;
    if (code == 0xE2 || code == 0xE3) return VideoCodec::H264;
    return VideoCodec::None;
}

// The codec of a private stream 1 audio substream id, None for an id that names none.
inline constexpr AudioCodec audioCodecOfSubstream(uint32_t id) {
    if (id >= 0x80 && id <= 0x87) return AudioCodec::Ac3;
    if (id >= 0x88 && id <= 0x8F) return AudioCodec::Dts;
    if (id >= 0xA0 && id <= 0xA7) return AudioCodec::Lpcm;
    if (id >= 0xB0 && id <= 0xB7) return AudioCodec::TrueHd;
    if (id >= 0xC0 && id <= 0xCF) return AudioCodec::DdPlus;
    return AudioCodec::None;
}

// The audio number of a substream id: the low three bits for the codecs with eight streams,
// the low four bits otherwise.
inline constexpr int audioNumberOfSubstream(uint32_t id) {
    switch (audioCodecOfSubstream(id)) {
    case AudioCodec::Ac3:
    case AudioCodec::Dts:
    case AudioCodec::TrueHd: return static_cast<int>(id & 7);
    default: return static_cast<int>(id & 0x0F);
    }
}

inline constexpr bool isSubpictureSubstream(uint32_t id) {
    return (id >= 0x20 && id <= 0x3F) || (id >= 0x60 && id <= 0x7F);
}
inline constexpr bool isExtendedSubpicture(uint32_t id) {
    return id >= 0x60 && id <= 0x7F;
}

} // namespace tessary
