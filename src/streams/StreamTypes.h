#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "streams/Codecs.h"
#include "streams/StreamSlots.h"

namespace tessary {

// Which kind of source a file is, from its extension: it decides the layout of the navigation
// data and, for a few codes, the stream type they name.
enum class SourceType : uint8_t { Evo, Vob, Aob };

inline constexpr uint8_t sourceBit(SourceType source) {
    return static_cast<uint8_t>(1u << static_cast<unsigned>(source));
}
inline constexpr uint8_t kAnySource =
    sourceBit(SourceType::Evo) | sourceBit(SourceType::Vob) | sourceBit(SourceType::Aob);

// Where a stream's code stands in its packets: the PES stream id itself (MPEG-2 and H.264
// video), the substream id of private stream 1 (audio, subpictures) or the stream id
// extension of an extended-stream packet (VC-1).
enum class CodeSpace : uint8_t { StreamId, Substream, StreamIdExtension };

// What describes the first payload of a stream in the details of a Read: one inspector per
// codec family, or the format line of a subpicture.
enum class Inspector : uint8_t {
    Mpeg2Video,
    H264Video,
    Vc1Video,
    Ac3,
    Dts,
    Lpcm,
    MlpTrueHd,
    SubpictureFormat,
};

// One type of stream: the codes first..last of one kind and code space in the sources the
// row is for, and everything the program calls the stream.
struct StreamType {
    StreamKind kind;
    uint8_t sources; // sourceBit()s
    CodeSpace space;
    uint8_t first;
    uint8_t last;
    uint8_t numberBase; // the code of number 0 within the kind
    // The codec the scanner reads the packets as (the one of the type's kind).
    VideoCodec video;
    AudioCodec audio;
    SubpictureCodec subpicture;
    // In the discovery line: "NAME video stream 0 found!", "NAME audio stream 2 found!",
    // "NAME stream 3 found!" for subpictures (the name says the kind).
    std::string_view logName;
    // The stem of the check-box caption and of the names of demuxed files: "DD+.stream.04".
    std::string_view caption;
    // The codec in the JSON report.
    std::string_view codecName;
    Inspector inspector;

    constexpr bool holds(uint32_t code) const { return code >= first && code <= last; }
    // DVD-Audio's MLP, which comes in packets like LPCM's but holds no LPCM samples.
    constexpr bool dvdAudioMlp() const {
        return audio == AudioCodec::Lpcm && inspector == Inspector::MlpTrueHd;
    }
    constexpr bool inSource(SourceType source) const { return (sources & sourceBit(source)) != 0; }
    // The stream's number within its kind.
    constexpr int number(uint32_t code) const { return static_cast<int>(code) - numberBase; }
};

// Every type, each code of a kind and code space in at most one row per source.
std::span<const StreamType> streamTypes();

// The type a code names in a source; null when it names none.
const StreamType* findStreamType(CodeSpace space, uint32_t code, SourceType source);
// The same for a code of the stream table, which holds the codes of a kind, whatever their
// space.
const StreamType* findStreamType(StreamKind kind, uint32_t code, SourceType source);

} // namespace tessary
