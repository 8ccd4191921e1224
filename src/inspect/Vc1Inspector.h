#pragma once

#include "inspect/InspectorSeam.h"

namespace tessary {

// VC-1: the Advanced-profile sequence header (profile, level, sizes, aspect ratio, frame
// rate). Writes nothing when the payload holds no sequence header start code.
void inspectVc1(const InspectorInput& input, Reporter& out, RunState& state);

} // namespace tessary
