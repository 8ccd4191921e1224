#pragma once

#include "inspect/InspectorSeam.h"

namespace tessary {

// H.264: sequence parameter set and its VUI.
void inspectH264(const InspectorInput& input, Reporter& out, RunState& state);

} // namespace tessary
