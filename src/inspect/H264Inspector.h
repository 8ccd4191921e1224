#pragma once

#include "inspect/InspectorSeam.h"

namespace tessary {

// H.264: the first sequence parameter set and its VUI (profile, level, chroma format and bit
// depths, size, aspect ratio, video format, time scale and frame rate). Leaves the frame rate
// of the VUI timing in state.frameRates, or 24000/1001 when the stream carries no timing.
void inspectH264(const InspectorInput& input, Reporter& out, RunState& state);

} // namespace tessary
