#include "inspect/LpcmInspector.h"

#include <cstdio>
#include <string>

#include "inspect/DetailLines.h"
#include "inspect/MlpInspector.h"
#include "platform/Reporter.h"

namespace tessary {

namespace {

// The LPCM substream header that precedes the payload: substream id, number of frame headers,
// first access unit pointer (2 bytes), emphasis/mute/frame number, word length/sampling
// frequency/channels, dynamic range control.
constexpr std::size_t kHeaderBytes = 7;

std::string onOff(bool on) {
    return on ? "on" : "off";
}

} // namespace

InspectorResult inspectLpcm(const InspectorInput& input, Reporter& out) {
    // The header lies just before the payload in the same packet; when the packet began in
    // the previous block, its header is gone and there is nothing to report.
    if (input.block == nullptr || input.position < kHeaderBytes ||
        input.position > input.blockLength)
        return {};
    const uint8_t* h = input.block + (input.position - kHeaderBytes);
    // Header bytes are examined while they lie before the payload's last byte, so an empty
    // payload stops short of the dynamic range byte.
    const std::size_t count = input.length >= 1 ? kHeaderBytes : kHeaderBytes - 1;

    for (std::size_t i = 1; i < count; ++i) {
        const uint8_t b = h[i];
        switch (i) {
        case 1: out.report(detailLine("Number of frame headers", b)); break;
        case 3: {
            const unsigned pointer = (h[2] << 8) | b;
            char shown[8];
            std::snprintf(shown, sizeof shown, "%04X", pointer);
            out.report(
                detailLine("First acces unit pointer", static_cast<double>(pointer), "", shown));
            break;
        }
        case 4:
            out.report(ReportLine("   ")
                           .field("Emphasis", onOff(b & 0x80), "", onOff(b & 0x80))
                           .text(", ")
                           .field("mute", onOff(b & 0x40), "", onOff(b & 0x40)));
            out.report(detailLine("Frame number", b & 31));
            break;
        case 5: {
            out.report(quantizationLine((b >> 6) & 3));
            out.report(sampleRateLine((b >> 4) & 3));
            // Bits 2..0 hold the number of channels minus one (1 to 8 channels).
            const double channels = (b & 7) + 1;
            ReportLine line = detailLine("Number of audio channels", channels, "",
                                         blue(std::to_string((b & 7) + 1)));
            line.as(Property::Channels);
            // Every sample of every channel is in the stream: the rate is constant.
            const double bits = QuantizationBits[(b >> 6) & 3].number;
            const double rate = SampleRates[(b >> 4) & 3].number;
            if (bits != 0 && rate != 0)
                line.property(Property::BitRate, bits * rate * channels)
                    .property(Property::BitRateMode, std::string("constant"));
            out.report(line);
            break;
        }
        case 6:
            if (b != 0x80) {
                const double range = dynamicRangeDb(b);
                out.report(detailLine("Dynamic range", range, "dB",
                                      formatDecimal(range, input.locale) + " dB"));
            }
            break;
        default: break;
        }
    }
    return {};
}

} // namespace tessary
