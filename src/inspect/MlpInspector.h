#pragma once

#include <cstdint>

#include "inspect/InspectorSeam.h"

namespace tessary {

// The dynamic range of a control byte in dB: 24.082 - 6.0206 x (x >> 5) - 0.2007 x (x & 31).
double dynamicRangeDb(uint8_t x);

// Dolby TrueHD and MLP: the format information behind each major sync.
InspectorResult inspectMlp(const InspectorInput& input, Reporter& out);

} // namespace tessary
