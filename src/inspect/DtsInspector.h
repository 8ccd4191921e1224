#pragma once

#include "inspect/InspectorSeam.h"

namespace tessary {

// DTS and DTS-HD: the first core frame header.
InspectorResult inspectDts(const InspectorInput& input, Reporter& out);

} // namespace tessary
