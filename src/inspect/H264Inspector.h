#pragma once

#include "inspect/InspectorSeam.h"

namespace tessary {

// H.264: the first sequence parameter set and its VUI (profile, level, chroma format and bit
// depths, size, aspect ratio, video format, time scale and frame rate). Returns the frame rate
// of the VUI timing, none when that timing has a num_units_in_tick of 0, or 24000/1001 when
// the stream carries no timing.
InspectorResult inspectH264(const InspectorInput& input, Reporter& out);

} // namespace tessary
