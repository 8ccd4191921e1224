#include "engine/StreamIdentity.h"

#include "streams/Codecs.h"

namespace tessary {

namespace {

constexpr int kPrivateStream1 = 0xBD;
constexpr int kExtendedStream = 0xFD;

std::string_view videoCodecName(VideoCodec codec) {
    switch (codec) {
    case VideoCodec::Mpeg2: return "MPEG-2";
    case VideoCodec::H264: return "H.264";
    case VideoCodec::Vc1: return "VC-1";
    case VideoCodec::None: break;
    }
    return {};
}

std::string_view audioCodecName(AudioCodec codec) {
    switch (codec) {
    case AudioCodec::Ac3: return "AC-3";
    case AudioCodec::DdPlus: return "E-AC-3";
    case AudioCodec::Dts: return "DTS";
    case AudioCodec::Lpcm: return "LPCM";
    case AudioCodec::TrueHd: return "TrueHD";
    case AudioCodec::None: break;
    }
    return {};
}

} // namespace

StreamIdentity identifyStream(StreamKind kind, int32_t code, SourceType source) {
    const auto id = static_cast<uint32_t>(code);
    switch (kind) {
    case StreamKind::Video: {
        const VideoCodec codec = videoCodecOfCode(id);
        if (codec == VideoCodec::None) return {};
        if (codec == VideoCodec::Vc1) return {videoCodecName(codec), kExtendedStream, code};
        return {videoCodecName(codec), code, std::nullopt};
    }
    case StreamKind::Audio: {
        const AudioCodec codec = audioCodecOfSubstream(id);
        if (codec == AudioCodec::None) return {};
        return {carriesMlp(code, source) ? "MLP" : audioCodecName(codec), kPrivateStream1, code};
    }
    case StreamKind::Subpicture:
        if (!isSubpictureSubstream(id)) return {};
        return {isExtendedSubpicture(id) ? "Extended subpicture" : "Subpicture", kPrivateStream1,
                code};
    }
    return {};
}

} // namespace tessary
