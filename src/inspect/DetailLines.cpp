#include "inspect/DetailLines.h"

#include <numeric>
#include <string>
#include <vector>

namespace tessary {

ReportLine tableLine(std::string_view name, const NamedNumber& entry, std::string_view unit,
                     std::string_view unitText, std::optional<Property> key) {
    const std::string shown = blue(entry.text) + std::string(unitText);
    if (entry.number == 0) return detailLine(name, std::string(entry.text), "", shown);
    ReportLine line = detailLine(name, entry.number, unit, shown);
    if (key) line.as(*key);
    return line;
}

ReportLine quantizationLine(unsigned code) {
    return tableLine("Quantization length", QuantizationBits[code & 15], "bit", " bits",
                     Property::BitDepth);
}

ReportLine sampleRateLine(unsigned code) {
    return tableLine("Sampling frequency", SampleRates[code & 15], "Hz", " kHz",
                     Property::SampleRate);
}

ReportLine sizeLine(std::string_view name, uint64_t width, uint64_t height) {
    return detailLine(name,
                      std::vector<double>{static_cast<double>(width), static_cast<double>(height)},
                      "", blue(std::to_string(width)) + "x" + blue(std::to_string(height)));
}

ReportLine aspectRatioLine(unsigned code) {
    const std::string_view shown = AspectRatioNames[code & 15];
    std::string_view ratio = shown;
    constexpr std::string_view open = "[bl]";
    if (!shown.starts_with(open)) return detailLine("Aspect ratio", std::string(ratio), "", shown);
    ratio = shown.substr(open.size());
    ratio = ratio.substr(0, ratio.find('['));
    return detailLine("Aspect ratio", std::string(ratio), "", shown)
        .as(Property::SampleAspectRatio);
}

ReportLine& frameRateProperties(ReportLine& line, uint64_t numerator, uint64_t denominator) {
    const uint64_t common = std::gcd(numerator, denominator);
    return line
        .property(Property::FrameRate,
                  static_cast<double>(numerator) / static_cast<double>(denominator))
        .property(Property::FrameRateNumerator, static_cast<double>(numerator / common))
        .property(Property::FrameRateDenominator, static_cast<double>(denominator / common));
}

} // namespace tessary
