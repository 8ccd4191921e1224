#pragma once

#include "inspect/InspectorSeam.h"

namespace tessary {

// Dolby TrueHD and MLP: the first major sync.
void inspectMlp(const InspectorInput& input, Reporter& out, RunState& state);

} // namespace tessary
