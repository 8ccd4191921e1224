#pragma once

#include <cstdint>
#include <string>

namespace tessary {

// The short name of a stream code, or an empty string for a code that the kind does not know.
// Codes are compared as unsigned numbers; -1 (no stream) gives "No video stream" and the like.
std::string VideoStreamName(int32_t id);
std::string AudioStreamName(int32_t id);
std::string SubpictureStreamName(int32_t id);

// The check-box caption of a stream slot that holds the code id: the kind's name of the code,
// "." and the number within the kind (one digit for video, two for audio and subpicture), as
// in "VC-1.stream.0" or "DD+.stream.00". Empty for a slot that belongs to no selection box.
std::string streamCaption(int slot, int32_t id);

} // namespace tessary
