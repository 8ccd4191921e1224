#include "inspect/LpcmInspector.h"

#include <cstdio>
#include <string>

#include "inspect/MlpInspector.h"
#include "inspect/NameTables.h"
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
        case 1: out.log("   Number of frame headers = " + std::to_string(b)); break;
        case 3: {
            char pointer[8];
            std::snprintf(pointer, sizeof pointer, "%04X", (h[2] << 8) | b);
            out.log(std::string("   First acces unit pointer = ") + pointer);
            break;
        }
        case 4:
            out.log("   Emphasis = " + onOff(b & 0x80) + ", mute = " + onOff(b & 0x40));
            out.log("   Frame number = " + std::to_string(b & 31));
            break;
        case 5:
            out.log("   Quantization length = [bl]" + std::string(QuantizationNames[(b >> 6) & 3]) +
                    "[/bl] bits");
            out.log("   Sampling frequency = [bl]" + std::string(SampleRateNames[(b >> 4) & 3]) +
                    "[/bl] kHz");
            // Bits 2..0 hold the number of channels minus one (1 to 8 channels).
            out.log("   Number of audio channels = [bl]" + std::to_string((b & 7) + 1) + "[/bl]");
            break;
        case 6:
            if (b != 0x80)
                out.log("   Dynamic range = " + formatDecimal(dynamicRangeDb(b), input.locale) +
                        " dB");
            break;
        default: break;
        }
    }
    return {};
}

} // namespace tessary
