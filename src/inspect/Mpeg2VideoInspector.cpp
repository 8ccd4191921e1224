#include "inspect/Mpeg2VideoInspector.h"

#include <string>

#include "inspect/DetailLines.h"
#include "platform/Reporter.h"

namespace tessary {

namespace {

constexpr uint32_t kPictureStartCode = 0x00000100;
constexpr uint32_t kSequenceHeaderCode = 0x000001B3;
constexpr uint32_t kExtensionStartCode = 0x000001B5;

constexpr int kSequenceExtensionId = 1;
constexpr int kPictureCodingExtensionId = 8;

struct FrameRateEntry {
    double shown; // 0: not a rate (forbidden or reserved)
    double stored;
    uint32_t numerator, denominator;
};

// frame_rate_code of ISO/IEC 13818-2; codes 9 to 15 are reserved.
constexpr FrameRateEntry kFrameRates[9] = {
    {0, 1.0, 0, 1},    {23.976, 24000.0 / 1001, 24000, 1001}, {24, 24.0, 24, 1},
    {25, 25.0, 25, 1}, {29.97, 30000.0 / 1001, 30000, 1001},  {30, 30.0, 30, 1},
    {50, 50.0, 50, 1}, {59.94, 60000.0 / 1001, 60000, 1001},  {60, 60.0, 60, 1},
};

ReportLine frameRateLine(unsigned code, const LocaleSettings& locale) {
    if (code == 0) return detailText("Frame rate", "forbidden");
    if (code >= 9) return detailText("Frame rate", "reserved");
    const FrameRateEntry& rate = kFrameRates[code];
    ReportLine line = detailLine("Frame rate", rate.shown, "frame/s",
                                 blue(formatDecimal(rate.shown, locale)) + " fps");
    return frameRateProperties(line, rate.numerator, rate.denominator);
}

// chroma_format of the sequence extension; 0 is reserved.
constexpr std::string_view kChromaFormats[4] = {"", "4:2:0", "4:2:2", "4:4:4"};

double storedFrameRate(unsigned code) {
    return code < 9 ? kFrameRates[code].stored : 1.0;
}

ReportLine sequenceAspectRatioLine(unsigned code) {
    switch (code) {
    case 0: return detailText("Aspect ratio", "forbidden");
    case 1:
        return detailLine("Aspect ratio", "1:1", "", blue("1:1") + " (square samples)")
            .as(Property::SampleAspectRatio);
    case 2:
        return detailLine("Aspect ratio", "4:3", "", blue("4:3")).as(Property::DisplayAspectRatio);
    case 3:
        return detailLine("Aspect ratio", "16:9", "", blue("16:9"))
            .as(Property::DisplayAspectRatio);
    case 4:
        return detailLine("Aspect ratio", "2.21:1", "", blue("2.21:1"))
            .as(Property::DisplayAspectRatio);
    default: return detailText("Aspect ratio", "reserved");
    }
}

} // namespace

// Walks the payload byte by byte with a four-byte start-code window. The sequence header's
// fields are reported until the first sequence extension has been seen; the first video PTS
// is reported at the second picture coding extension after the first sequence header.
InspectorResult inspectMpeg2Video(const InspectorInput& input, Reporter& out) {
    InspectorResult result;
    if (input.block == nullptr || input.position >= input.blockLength) return result;
    const std::size_t available = input.blockLength - input.position;
    const std::size_t length = input.length < available ? input.length : available;
    const uint8_t* payload = input.block + input.position;

    uint32_t codeWindow = 0;
    bool sequenceSeen = false;
    uint32_t picturesBefore = 0;
    int sequenceCountdown = 0;
    bool sequenceReportsDone = false;
    int pictureCountdown = 0;
    bool extensionPending = false;
    int codingExtensionCountdown = 0;
    bool sequenceExtensionPending = false;
    int ptsCountdown = 0;

    for (std::size_t i = 0; i < length; ++i) {
        const uint8_t m = payload[i];
        codeWindow = (codeWindow << 8) | m;

        if (codeWindow == kPictureStartCode) {
            pictureCountdown = 2;
        } else if (codeWindow == kSequenceHeaderCode) {
            sequenceCountdown = 7;
            if (!sequenceSeen) {
                out.log("   Sequence Header found");
                if (picturesBefore > 0)
                    out.log("   " + std::to_string(picturesBefore) +
                            " frames before first Sequence Header");
                sequenceSeen = true;
                ptsCountdown = 2;
            }
            picturesBefore = 0;
        } else if (sequenceCountdown > 0) {
            --sequenceCountdown;
            if (sequenceReportsDone) continue;
            if (sequenceCountdown == 4) {
                // horizontal_size_value (12 bits), vertical_size_value (12 bits)
                const uint32_t horizontal = (codeWindow >> 12) & 0xFFF;
                const uint32_t vertical = codeWindow & 0xFFF;
                out.report(
                    sizeLine("size", horizontal, vertical).as(Property::Width, Property::Height));
            } else if (sequenceCountdown == 3) {
                // aspect_ratio_information (4 bits), frame_rate_code (4 bits)
                out.report(sequenceAspectRatioLine(m >> 4));
                out.report(frameRateLine(m & 0x0F, input.locale));
                result.frameRate = storedFrameRate(m & 0x0F);
            } else if (sequenceCountdown == 0) {
                // bit_rate_value (18 bits, units of 400 bit/s)
                const uint32_t bitRateValue = (codeWindow >> 6) & 0x3FFFF;
                const uint32_t kilobits = bitRateValue * 400 / 1000;
                out.report(ReportLine("  ")
                               .field("Sequence header bitrate", kilobits * 1000.0, "bit/s",
                                      blue(std::to_string(kilobits)) + " kbps")
                               .property(Property::MaxBitRate, bitRateValue * 400.0));
            }
        } else if (pictureCountdown > 0) {
            if (--pictureCountdown == 0) {
                // picture_coding_type: 1 I, 2 P, 3 B
                const unsigned pictureCodingType = (m >> 3) & 0x07;
                if (pictureCodingType == 0 || pictureCodingType > 3)
                    out.report(detailLine("illegal picture_coding_type", pictureCodingType));
            }
        } else if (codeWindow == kExtensionStartCode) {
            extensionPending = true;
        } else if (extensionPending) {
            extensionPending = false;
            const int extensionId = m >> 4;
            if (extensionId == kPictureCodingExtensionId) {
                if (sequenceSeen) codingExtensionCountdown = 5;
                ++picturesBefore;
            } else if (extensionId == kSequenceExtensionId) {
                sequenceExtensionPending = true;
            }
        } else if (codingExtensionCountdown > 0) {
            if (--codingExtensionCountdown == 1 && ptsCountdown > 0 && --ptsCountdown == 0)
                out.report(detailLine("First Video PTS", static_cast<double>(input.firstPts), "",
                                      hex8(input.firstPts)));
        } else if (sequenceExtensionPending) {
            sequenceExtensionPending = false;
            if (!sequenceReportsDone) {
                // progressive_sequence follows profile_and_level_indication, chroma_format
                // follows it.
                const unsigned progressive = (m >> 3) & 1;
                ReportLine line = detailLine("Progressive Sequence", progressive);
                line.property(Property::Interlaced, progressive == 0);
                if (const std::string_view chroma = kChromaFormats[(m >> 1) & 3]; !chroma.empty())
                    line.property(Property::ChromaFormat, std::string(chroma));
                out.report(line);
                sequenceReportsDone = true;
            }
        }
    }
    return result;
}

} // namespace tessary
