#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/Codecs.h"
#include "platform/Format.h"

namespace tessary {

class Reporter;
struct RunState;

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

// Hands a stream's first chunk to the inspector of its codec. Inspectors leave a video
// stream's frame rate in state.frameRates.
void inspectStream(const InspectorInput& input, Reporter& out, RunState& state);

} // namespace tessary
