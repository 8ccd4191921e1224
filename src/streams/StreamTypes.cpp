#include "streams/StreamTypes.h"

#include <array>

namespace tessary {

namespace {

constexpr uint8_t kNotAob = sourceBit(SourceType::Evo) | sourceBit(SourceType::Vob);
constexpr uint8_t kAob = sourceBit(SourceType::Aob);

using enum StreamKind;
using enum CodeSpace;
constexpr auto kNoVideo = VideoCodec::None;
constexpr auto kNoAudio = AudioCodec::None;
constexpr auto kNoSubpicture = SubpictureCodec::None;

// clang-format off
constexpr std::array kStreamTypes = std::to_array<StreamType>({
    // kind, sources, space, first, last, number 0, codecs, log name, caption, JSON, inspector
    {Video, kAnySource, StreamId, 0xE0, 0xE1, 0xE0, VideoCodec::Mpeg2, kNoAudio, kNoSubpicture,
     "[b]MPEG-2[/b]", "MPEG-2.stream", "MPEG-2", Inspector::Mpeg2Video},
    {Video, kAnySource, StreamId, 0xE2, 0xE3, 0xE2, VideoCodec::H264, kNoAudio, kNoSubpicture,
     "[b]H.264 (AVC)[/b]", "H.264.stream", "H.264", Inspector::H264Video},
    {Video, kAnySource, StreamIdExtension, 0x55, 0x56, 0x55, VideoCodec::Vc1, kNoAudio,
     kNoSubpicture, "[b]VC-1[/b]", "VC-1.stream", "VC-1", Inspector::Vc1Video},
    {Audio, kAnySource, Substream, 0x80, 0x87, 0x80, kNoVideo, AudioCodec::Ac3, kNoSubpicture,
     "[b]Dolby Digital[/b]", "DD.stream", "AC-3", Inspector::Ac3},
    {Audio, kAnySource, Substream, 0x88, 0x8F, 0x88, kNoVideo, AudioCodec::Dts, kNoSubpicture,
     "[b]DTS HD (DTS)[/b]", "DTSHD.stream", "DTS", Inspector::Dts},
    {Audio, kNotAob, Substream, 0xA0, 0xA7, 0xA0, kNoVideo, AudioCodec::Lpcm, kNoSubpicture,
     "[b]LPCM[/b]", "LPCM.stream", "LPCM", Inspector::Lpcm},
    // DVD-Audio: 0xA1 is MLP, read in packets as LPCM's. A box is named by its code alone,
    // so its caption is LPCM's.
    {Audio, kAob, Substream, 0xA0, 0xA0, 0xA0, kNoVideo, AudioCodec::Lpcm, kNoSubpicture,
     "[b]LPCM[/b]", "LPCM.stream", "LPCM", Inspector::Lpcm},
    {Audio, kAob, Substream, 0xA1, 0xA1, 0xA0, kNoVideo, AudioCodec::Lpcm, kNoSubpicture,
     "[b]MLP[/b]", "LPCM.stream", "MLP", Inspector::MlpTrueHd},
    {Audio, kAob, Substream, 0xA2, 0xA7, 0xA0, kNoVideo, AudioCodec::Lpcm, kNoSubpicture,
     "[b]LPCM[/b]", "LPCM.stream", "LPCM", Inspector::Lpcm},
    {Audio, kAnySource, Substream, 0xB0, 0xB7, 0xB0, kNoVideo, AudioCodec::TrueHd, kNoSubpicture,
     "[b]Dolby TrueHD[/b]", "MLP.stream", "TrueHD", Inspector::MlpTrueHd},
    {Audio, kAnySource, Substream, 0xC0, 0xCF, 0xC0, kNoVideo, AudioCodec::DdPlus, kNoSubpicture,
     "[b]Dolby Digital[/b] Plus", "DD+.stream", "E-AC-3", Inspector::Ac3},
    {Subpicture, kAnySource, Substream, 0x20, 0x3F, 0x20, kNoVideo, kNoAudio,
     SubpictureCodec::Standard, "[b]Subpicture[/b]", "Subpicture", "Subpicture",
     Inspector::SubpictureFormat},
    {Subpicture, kAnySource, Substream, 0x60, 0x7F, 0x60, kNoVideo, kNoAudio,
     SubpictureCodec::Extended, "[b]Extended subpicture[/b]", "Ext.Subpicture",
     "Extended subpicture", Inspector::SubpictureFormat},
});
// clang-format on

template <typename Match> const StreamType* find(uint32_t code, SourceType source, Match match) {
    for (const StreamType& type : kStreamTypes)
        if (type.holds(code) && type.inSource(source) && match(type)) return &type;
    return nullptr;
}

} // namespace

std::span<const StreamType> streamTypes() {
    return kStreamTypes;
}

const StreamType* findStreamType(CodeSpace space, uint32_t code, SourceType source) {
    return find(code, source, [space](const StreamType& type) { return type.space == space; });
}

const StreamType* findStreamType(StreamKind kind, uint32_t code, SourceType source) {
    return find(code, source, [kind](const StreamType& type) { return type.kind == kind; });
}

// The codec of a code is the same in every source, so an EVO's row answers.
VideoCodec videoCodecOfCode(uint32_t code) {
    const StreamType* type = findStreamType(StreamKind::Video, code, SourceType::Evo);
    return type ? type->video : VideoCodec::None;
}

AudioCodec audioCodecOfSubstream(uint32_t id) {
    const StreamType* type = findStreamType(StreamKind::Audio, id, SourceType::Evo);
    return type ? type->audio : AudioCodec::None;
}

} // namespace tessary
