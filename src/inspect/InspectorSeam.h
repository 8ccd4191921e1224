#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/Format.h"

namespace tessary {

class Reporter;

// The codec families that have an inspector of the first header.
enum class InspectedCodec { Mpeg2Video, Vc1Video, H264Video, Ac3, Dts, MlpTrueHd, Lpcm };

// The first payload chunk of a stream, as the details report hands it over. Inspectors read
// block[position .. position + length) (never beyond blockLength) and write their own lines.
struct InspectorInput {
    InspectedCodec codec;
    const uint8_t* block;
    std::size_t blockLength;
    std::size_t position;
    std::size_t length;
    int number;        // number within the kind
    uint32_t firstPts; // the stream's first PTS (used by the MPEG-2 video report)
    int substreamId;   // audio: the private stream 1 substream id
    bool dvdAudioSource;
    LocaleSettings locale;
};

// What an inspector found that the run keeps beyond the lines it wrote.
struct InspectorResult {
    // The video frame rate the header gives, or none when the header does not give one.
    std::optional<double> frameRate;
};

// Hands a stream's first chunk to the inspector of its codec. Only the video inspectors
// return a frame rate.
InspectorResult inspectStream(const InspectorInput& input, Reporter& out);

} // namespace tessary
