#pragma once

#include "inspect/InspectorSeam.h"

namespace tessary {

// VC-1: sequence header (profile, level, sizes, aspect ratio, frame rate).
void inspectVc1(const InspectorInput& input, Reporter& out, RunState& state);

} // namespace tessary
