#pragma once

#include "inspect/InspectorSeam.h"

namespace tessary {

// MPEG-2 video: sequence header, bit rate and the first video PTS.
void inspectMpeg2Video(const InspectorInput& input, Reporter& out, RunState& state);

} // namespace tessary
