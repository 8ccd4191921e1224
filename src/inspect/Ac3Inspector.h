#pragma once

#include "inspect/InspectorSeam.h"

namespace tessary {

// Dolby Digital and Dolby Digital Plus: the first sync frame.
InspectorResult inspectAc3(const InspectorInput& input, Reporter& out);

} // namespace tessary
