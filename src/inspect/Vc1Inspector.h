#pragma once

#include "inspect/InspectorSeam.h"

namespace tessary {

// VC-1: the Advanced-profile sequence header (profile, level, sizes, aspect ratio, frame
// rate). Writes nothing when the payload holds no sequence header start code. Returns the
// frame rate the header gives, none when it gives none or a forbidden denominator.
InspectorResult inspectVc1(const InspectorInput& input, Reporter& out);

} // namespace tessary
