#include "inspect/Vc1Inspector.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <string>

#include "inspect/BitReader.h"
#include "inspect/DetailLines.h"
#include "inspect/PayloadSearch.h"
#include "platform/Reporter.h"

namespace tessary {

namespace {

constexpr uint32_t kSequenceHeaderStartCode = 0x0000010F;

// Enough for the longest sequence header (31 HRD leaky buckets), with room to spare.
constexpr std::size_t kHeaderBytes = 256;

// FRAMERATENR 1 to 7 and FRAMERATEDR 1 to 2 of SMPTE 421M; 0 is forbidden, the rest reserved.
constexpr std::array<uint32_t, 8> kFrameRateNumerators = {0,     24000, 25000, 30000,
                                                          50000, 60000, 48000, 72000};
constexpr std::array<uint32_t, 3> kFrameRateDenominators = {0, 1000, 1001};

// A table value, or the raw code with a line that says why.
template <std::size_t N>
uint32_t rateTerm(uint32_t code, const std::array<uint32_t, N>& table, Reporter& out) {
    if (code == 0) {
        out.log("   Forbidden Frame Rate!");
        return 0;
    }
    if (code >= N) {
        out.log("   Reserved Frame Rate!");
        return code;
    }
    return table[code];
}

// Index of the first byte of a 00 00 01 0F that lies wholly inside the payload.
std::size_t findSequenceHeader(const InspectorInput& input) {
    return findWordInPayload(input, [](uint32_t word) { return word == kSequenceHeaderStartCode; });
}

} // namespace

InspectorResult inspectVc1(const InspectorInput& input, Reporter& out) {
    InspectorResult result;
    const std::size_t startCode = findSequenceHeader(input);
    if (startCode == kNotFound) return result;

    // The header's bytes behind the start code, read on into the block, without the
    // emulation-prevention bytes.
    const std::size_t headerStart = startCode + 4;
    const std::size_t inBlock = input.blockLength - headerStart;
    std::array<uint8_t, kHeaderBytes> header{};
    const std::size_t headerLength = removeEmulationPrevention(
        input.block + headerStart, inBlock < kHeaderBytes ? inBlock : kHeaderBytes, header.data(),
        header.size());
    BitReader bits(header.data(), headerLength, 0);

    const uint32_t profile = bits.readBits(2);
    out.report(profile == 3 ? detailText("Profile", "Advanced").as(Property::Profile)
                            : detailText("Profile", "Reserved"));
    const uint32_t level = bits.readBits(3);
    out.report(level <= 4 ? detailLine("Level", level).as(Property::Level)
                          : detailText("Level", "Reserved"));
    const uint32_t colordiffFormat = bits.readBits(2);
    out.report(
        colordiffFormat == 1
            ? detailLine("Chroma Format", "4:2:0", "", blue("4:2:0")).as(Property::ChromaFormat)
            : detailText("Chroma Format", "Reserved"));
    bits.skipBits(3); // frmrtq_postproc
    bits.skipBits(5); // bitrtq_postproc
    bits.skipBits(1); // postprocflag
    const uint32_t maxCodedWidth = bits.readBits(12);
    const uint32_t maxCodedHeight = bits.readBits(12);
    const uint32_t pulldown = bits.readBits(1);
    const uint32_t interlace = bits.readBits(1);
    out.report(sizeLine("Size", 2 * maxCodedWidth + 2, 2 * maxCodedHeight + 2)
                   .as(Property::Width, Property::Height)
                   .property(Property::Interlaced, interlace == 1));
    bits.skipBits(1); // tfcntrflag
    bits.skipBits(1); // finterpflag
    bits.skipBits(1); // reserved
    const uint32_t psf = bits.readBits(1);
    if (psf == 1) out.log("  Progressive segmented frames.");

    const uint32_t displayExt = bits.readBits(1);
    if (displayExt != 1) return result;
    const uint32_t dispHorizSize = bits.readBits(14);
    const uint32_t dispVertSize = bits.readBits(14);
    out.report(sizeLine("Display size", dispHorizSize + 1, dispVertSize + 1)
                   .as(Property::DisplayWidth, Property::DisplayHeight));

    const uint32_t aspectRatioFlag = bits.readBits(1);
    if (aspectRatioFlag == 1) {
        const uint32_t aspectRatio = bits.readBits(4);
        if (aspectRatio == 15) {
            const uint32_t aspectHorizSize = bits.readBits(8);
            const uint32_t aspectVertSize = bits.readBits(8);
            out.report(detailText("Aspect ratio", std::to_string(aspectHorizSize) + ":" +
                                                      std::to_string(aspectVertSize))
                           .as(Property::SampleAspectRatio));
        } else {
            out.report(aspectRatioLine(aspectRatio));
        }
    }

    const uint32_t framerateFlag = bits.readBits(1);
    if (framerateFlag == 1) {
        const uint32_t framerateind = bits.readBits(1);
        if (framerateind == 1) {
            const uint32_t framerateexp = bits.readBits(16);
            const double rate = (framerateexp + 1) / 32.0;
            ReportLine line =
                detailLine("Frame Rate", rate, "frame/s", blue(formatDecimal(rate, input.locale)));
            out.report(frameRateProperties(line, framerateexp + 1, 32));
            result.frameRate = rate;
        } else {
            const uint32_t numeratorCode = bits.readBits(8);
            uint32_t numerator = rateTerm(numeratorCode, kFrameRateNumerators, out);
            const uint32_t denominatorCode = bits.readBits(4);
            const uint32_t denominator = rateTerm(denominatorCode, kFrameRateDenominators, out);
            if (pulldown == 1 && numerator == 30000) numerator = 24000;
            // A forbidden denominator has no rate: the line above already says so.
            if (denominator != 0) {
                const double rate = static_cast<double>(numerator) / denominator;
                const double shown = std::nearbyint(rate * 1000) / 1000; // halves to even
                ReportLine line = detailLine("Frame Rate", shown, "frame/s",
                                             blue(formatDecimal(shown, input.locale)));
                line.text(" (" + std::to_string(numerator) + "/" + std::to_string(denominator) +
                          ")");
                // A forbidden or reserved code stands for no rate.
                if (numerator != 0 && numeratorCode < kFrameRateNumerators.size() &&
                    denominatorCode < kFrameRateDenominators.size())
                    frameRateProperties(line, numerator, denominator);
                out.report(line);
                result.frameRate = rate;
            }
        }
    }

    const uint32_t colorFormatFlag = bits.readBits(1);
    if (colorFormatFlag == 1) {
        bits.skipBits(8); // color_prim
        bits.skipBits(8); // transfer_char
        bits.skipBits(8); // matrix_coef
    }
    return result;
}

} // namespace tessary
