#include "ops/StreamNames.h"

#include <cstdio>

#include "streams/Codecs.h"
#include "streams/StreamSlots.h"

namespace tessary {

namespace {

constexpr int32_t kNone = -1;

std::string numbered(const std::string& name, int number, int digits) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%0*d", digits, number);
    return name + suffix;
}

} // namespace

std::string VideoStreamName(int32_t id) {
    if (id == kNone) return "No video stream";
    switch (videoCodecOfCode(static_cast<uint32_t>(id))) {
    case VideoCodec::Vc1: return "VC-1.stream";
    case VideoCodec::Mpeg2: return "MPEG-2.stream";
    case VideoCodec::H264: return "H.264.stream";
    case VideoCodec::None: break;
    }
    return {};
}

std::string AudioStreamName(int32_t id) {
    if (id == kNone) return "No audio stream";
    switch (audioCodecOfSubstream(static_cast<uint32_t>(id))) {
    case AudioCodec::Ac3: return "DD.stream";
    case AudioCodec::Dts: return "DTSHD.stream";
    case AudioCodec::Lpcm: return "LPCM.stream";
    case AudioCodec::TrueHd: return "MLP.stream";
    case AudioCodec::DdPlus: return "DD+.stream";
    case AudioCodec::None: break;
    }
    return {};
}

std::string SubpictureStreamName(int32_t id) {
    if (id == kNone) return "No subpicture stream";
    const auto code = static_cast<uint32_t>(id);
    if (!isSubpictureSubstream(code)) return {};
    return isExtendedSubpicture(code) ? "Ext.Subpicture" : "Subpicture";
}

std::string streamCaption(int slot, int32_t id) {
    const auto stream = streamOfSlot(slot);
    if (!stream) return {};
    std::string name;
    switch (stream->kind) {
    case StreamKind::Video: name = VideoStreamName(id); break;
    case StreamKind::Audio: name = AudioStreamName(id); break;
    case StreamKind::Subpicture: name = SubpictureStreamName(id); break;
    }
    return numbered(name, stream->number, suffixDigits(stream->kind));
}

} // namespace tessary
