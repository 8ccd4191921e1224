#pragma once

#include "inspect/InspectorSeam.h"

namespace tessary {

// DTS and DTS-HD: the first core frame header.
void inspectDts(const InspectorInput& input, Reporter& out, RunState& state);

} // namespace tessary
