#pragma once

#include "inspect/InspectorSeam.h"

namespace tessary {

// MPEG-2 video: sequence header, bit rate and the first video PTS. Returns the frame rate of
// the last reported sequence header (1 for a forbidden or reserved frame_rate_code).
InspectorResult inspectMpeg2Video(const InspectorInput& input, Reporter& out);

} // namespace tessary
