#pragma once

#include "inspect/InspectorSeam.h"

namespace tessary {

// LPCM: the audio parameters of the substream header.
InspectorResult inspectLpcm(const InspectorInput& input, Reporter& out);

} // namespace tessary
