#pragma once

#include "inspect/InspectorSeam.h"

namespace tessary {

// LPCM: the audio parameters of the substream header.
void inspectLpcm(const InspectorInput& input, Reporter& out, RunState& state);

} // namespace tessary
