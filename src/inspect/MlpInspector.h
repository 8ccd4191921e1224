#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "inspect/InspectorSeam.h"

namespace tessary {

// Word lengths in bits by a 4-bit quantization code (MLP format information, LPCM header).
extern const std::array<std::string_view, 16> QuantizationNames;
// Sampling frequencies in kHz by a 4-bit code (MLP format information, LPCM header).
extern const std::array<std::string_view, 16> SampleRateNames;
// Channel arrangements by the 5-bit channel assignment of standard MLP.
extern const std::array<std::string_view, 32> MlpChannelNames;
// Channel arrangements by a 5-bit TrueHD channel assignment.
extern const std::array<std::string_view, 32> TrueHdChannelNames;

// The dynamic range of a control byte in dB: 24.082 - 6.0206 x (x >> 5) - 0.2007 x (x & 31).
double dynamicRangeDb(uint8_t x);

// Dolby TrueHD and MLP: the format information behind each major sync.
void inspectMlp(const InspectorInput& input, Reporter& out, RunState& state);

} // namespace tessary
