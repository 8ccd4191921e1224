#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "engine/StreamReport.h"
#include "streams/StreamSlots.h"

namespace tessary {

// What a stream of the stream table is: its codec, the PES stream id of its packets and the
// id within them (the private stream 1 substream id of audio and subpictures, the stream id
// extension of VC-1; none for MPEG-2 and H.264 video, whose stream id is their own). A code
// that names no stream of its kind has neither codec nor ids.
struct StreamIdentity {
    std::string_view codec; // "H.264", "AC-3", "Subpicture", ...; empty for an unknown code
    std::optional<int> streamId;
    std::optional<int> substreamId;
};

// `code` is the stream table's entry: a video stream id or stream id extension, an audio or
// subpicture substream id.
StreamIdentity identifyStream(StreamKind kind, int32_t code, SourceType source);

} // namespace tessary
