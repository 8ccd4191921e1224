#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "inspect/NameTables.h"
#include "platform/ReportLine.h"

// Detail lines that more than one inspector writes.

namespace tessary {

// "   name = [bl]TEXT[/bl]unitText": the entry's number in `unit`, or its text when it has none.
// The number, not the text, is handed over as property `key`.
ReportLine tableLine(std::string_view name, const NamedNumber& entry, std::string_view unit,
                     std::string_view unitText, std::optional<Property> key = std::nullopt);

// "   Quantization length = [bl]16[/bl] bits" of a quantization code (property bitDepth).
ReportLine quantizationLine(unsigned code);
// "   Sampling frequency = [bl]48[/bl] kHz" of a sampling frequency code (property sampleRate).
ReportLine sampleRateLine(unsigned code);
// "   name = [bl]W[/bl]x[bl]H[/bl]" with the value [W, H].
ReportLine sizeLine(std::string_view name, uint64_t width, uint64_t height);
// "   Aspect ratio = " and an entry of AspectRatioNames; the value is the ratio, the text the
// entry shows in blue (or the whole entry, "unspecified"); a ratio is property sampleAspectRatio.
ReportLine aspectRatioLine(unsigned code);
// Hands over the frame rate numerator / denominator (not 0) as frameRate, exactly, and as
// frameRateNumerator and frameRateDenominator in lowest terms.
ReportLine& frameRateProperties(ReportLine& line, uint64_t numerator, uint64_t denominator);

} // namespace tessary
