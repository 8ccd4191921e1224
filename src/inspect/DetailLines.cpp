#include "inspect/DetailLines.h"

#include <string>
#include <vector>

namespace tessary {

ReportLine tableLine(std::string_view name, const NamedNumber& entry, std::string_view unit,
                     std::string_view unitText) {
    const std::string shown = blue(entry.text) + std::string(unitText);
    if (entry.number == 0) return detailLine(name, std::string(entry.text), "", shown);
    return detailLine(name, entry.number, unit, shown);
}

ReportLine quantizationLine(unsigned code) {
    return tableLine("Quantization length", QuantizationBits[code & 15], "bit", " bits");
}

ReportLine sampleRateLine(unsigned code) {
    return tableLine("Sampling frequency", SampleRates[code & 15], "Hz", " kHz");
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
    if (shown.starts_with(open)) {
        ratio = shown.substr(open.size());
        ratio = ratio.substr(0, ratio.find('['));
    }
    return detailLine("Aspect ratio", std::string(ratio), "", shown);
}

} // namespace tessary
