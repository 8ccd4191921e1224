#pragma once

#include <cstdint>

namespace tessary {

enum class VideoCodec : uint8_t { None, Mpeg2, H264, Vc1 };
enum class AudioCodec : uint8_t { None, Ac3, DdPlus, Dts, Lpcm, TrueHd };
// The DVD subpictures (substream ids 0x20..0x3F) and the extended ones of HD DVD.
enum class SubpictureCodec : uint8_t { None, Standard, Extended };

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

// The codec of a video code of the stream table (a stream id or a VC-1 stream id extension)
// and of an audio substream id, whatever the source; None for a code that names none. The
// table of stream types answers (StreamTypes.h).
VideoCodec videoCodecOfCode(uint32_t code);
AudioCodec audioCodecOfSubstream(uint32_t id);

} // namespace tessary
