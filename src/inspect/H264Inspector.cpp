#include "inspect/H264Inspector.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "inspect/BitReader.h"
#include "inspect/DetailLines.h"
#include "inspect/PayloadSearch.h"
#include "platform/Reporter.h"

namespace tessary {

namespace {

// A sequence parameter set is rarely longer than a hundred bytes; scaling lists and HRD
// parameters can make it a few hundred.
constexpr std::size_t kHeaderBytes = 2048;

// The rate assumed for a stream whose VUI carries no timing information.
constexpr double kDefaultFrameRate = 24000.0 / 1001;

// Damaged data can code any count; a valid stream has at most 255 offsets.
constexpr uint32_t kMaxRefFramesInPicOrderCntCycle = 255;

constexpr unsigned kExtendedSarIdc = 255;

std::string_view profileName(uint32_t profileIdc) {
    switch (profileIdc) {
    case 66: return "Baseline";
    case 77: return "Main";
    case 88: return "Extended";
    case 100: return "High";
    case 110: return "High 10";
    case 122: return "High 4:2:2";
    case 144: return "High 4:4:4";
    default: return "Unknown";
    }
}

ReportLine profileLine(uint32_t profileIdc) {
    const std::string_view name = profileName(profileIdc);
    // The Baseline line has always ended in a blank.
    ReportLine line = detailLine("Profile", std::string(name), "",
                                 profileIdc == 66 ? std::string(name) + " " : std::string(name));
    if (name != "Unknown") line.as(Property::Profile);
    return line;
}

ReportLine levelLine(uint32_t levelIdc, uint32_t constraintSet3Flag) {
    if (levelIdc == 11 && constraintSet3Flag == 1) return detailText("Level", "1b");
    return detailLine("Level", levelIdc / 10.0, "",
                      std::to_string(levelIdc / 10) + "." + std::to_string(levelIdc % 10))
        .as(Property::Level);
}

// The profiles whose sequence parameter set carries chroma_format_idc and the fields after it.
bool hasChromaFormatFields(uint32_t profileIdc) {
    constexpr std::array<uint32_t, 14> profiles = {100, 110, 122, 244, 44,  83,  86,
                                                   118, 128, 138, 139, 134, 135, 144};
    return std::find(profiles.begin(), profiles.end(), profileIdc) != profiles.end();
}

constexpr std::array<std::string_view, 4> kChromaFormatNames = {"monochrome", "4:2:0", "4:2:2",
                                                                "4:4:4"};

constexpr std::array<std::string_view, 8> kVideoFormatNames = {
    "Component", "PAL", "NTSC", "SECAM", "MAC", "Unspecified", "", ""};

// scaling_list(): the delta_scale values of one list, read and dropped.
void skipScalingList(BitReader& bits, int size) {
    int64_t lastScale = 8;
    int64_t nextScale = 8;
    for (int j = 0; j < size; ++j) {
        if (nextScale != 0) {
            const int64_t deltaScale = bits.readSe();
            nextScale = ((lastScale + deltaScale) % 256 + 256) % 256;
        }
        if (nextScale != 0) lastScale = nextScale;
    }
}

// Index of the first byte of a start code that begins a sequence parameter set NAL unit
// (forbidden_zero_bit 0, nal_ref_idc not 0, nal_unit_type 7) wholly inside the payload.
std::size_t findSequenceParameterSet(const InspectorInput& input) {
    return findWordInPayload(input, [](uint32_t word) {
        return word == 0x00000127 || word == 0x00000147 || word == 0x00000167;
    });
}

// Frame size after cropping, never below zero.
uint64_t cropped(uint64_t size, uint64_t offsets, uint64_t unit) {
    const uint64_t crop = offsets * unit;
    return crop < size ? size - crop : 0;
}

} // namespace

InspectorResult inspectH264(const InspectorInput& input, Reporter& out) {
    // Without VUI timing the rate is assumed; timing with a num_units_in_tick of 0 gives none.
    bool timingInfo = false;
    bool rateKnown = false;
    double frameRate = 0;

    const std::size_t startCode = findSequenceParameterSet(input);
    if (startCode != kNotFound) {
        // The RBSP behind the start code and the NAL unit header, read on into the block,
        // without its emulation-prevention bytes.
        const std::size_t rbspStart = startCode + 4;
        const std::size_t inBlock = input.blockLength - rbspStart;
        std::array<uint8_t, kHeaderBytes> rbsp{};
        const std::size_t rbspLength = removeEmulationPrevention(
            input.block + rbspStart, std::min(inBlock, kHeaderBytes), rbsp.data(), rbsp.size());
        BitReader bits(rbsp.data(), rbspLength, 0);

        const uint32_t profileIdc = bits.readBits(8);
        out.report(profileLine(profileIdc));
        bits.skipBits(3); // constraint_set0_flag .. constraint_set2_flag
        const uint32_t constraintSet3Flag = bits.readBits(1);
        bits.skipBits(4); // constraint_set4_flag, constraint_set5_flag, reserved_zero_2bits
        const uint32_t levelIdc = bits.readBits(8);
        ReportLine level = levelLine(levelIdc, constraintSet3Flag);
        // The other profiles are 4:2:0 with 8-bit samples, without a field that says so.
        if (!hasChromaFormatFields(profileIdc))
            level.property(Property::ChromaFormat, std::string("4:2:0"))
                .property(Property::BitDepth, 8.0)
                .property(Property::ChromaBitDepth, 8.0);
        out.report(level);
        bits.readUe(); // seq_parameter_set_id

        uint32_t chromaFormatIdc = 1;
        uint32_t separateColourPlaneFlag = 0;
        if (hasChromaFormatFields(profileIdc)) {
            chromaFormatIdc = bits.readUe();
            if (chromaFormatIdc == 3) separateColourPlaneFlag = bits.readBits(1);
            const uint64_t bitDepthLuma = uint64_t{bits.readUe()} + 8;
            const uint64_t bitDepthChroma = uint64_t{bits.readUe()} + 8;
            const std::string_view chromaName = chromaFormatIdc < kChromaFormatNames.size()
                                                    ? kChromaFormatNames[chromaFormatIdc]
                                                    : "Invalid";
            ReportLine chroma =
                detailLine("Chroma format", std::string(chromaName), "", blue(chromaName));
            if (chromaFormatIdc < kChromaFormatNames.size()) chroma.as(Property::ChromaFormat);
            out.report(chroma.text("  ")
                           .field("(l, c)",
                                  std::vector<double>{static_cast<double>(bitDepthLuma),
                                                      static_cast<double>(bitDepthChroma)},
                                  "bit",
                                  std::to_string(bitDepthLuma) + ", " +
                                      std::to_string(bitDepthChroma) + " bit")
                           .as(Property::BitDepth, Property::ChromaBitDepth));
            bits.skipBits(1); // qpprime_y_zero_transform_bypass_flag
            const uint32_t seqScalingMatrixPresentFlag = bits.readBits(1);
            if (seqScalingMatrixPresentFlag == 1) {
                const int lists = chromaFormatIdc != 3 ? 8 : 12;
                for (int i = 0; i < lists; ++i) {
                    const uint32_t seqScalingListPresentFlag = bits.readBits(1);
                    if (seqScalingListPresentFlag == 1) skipScalingList(bits, i < 6 ? 16 : 64);
                }
            }
        }

        bits.readUe(); // log2_max_frame_num_minus4
        const uint32_t picOrderCntType = bits.readUe();
        if (picOrderCntType == 0) {
            bits.readUe(); // log2_max_pic_order_cnt_lsb_minus4
        } else if (picOrderCntType != 2) {
            bits.skipBits(1); // delta_pic_order_always_zero_flag
            bits.readSe();    // offset_for_non_ref_pic
            bits.readSe();    // offset_for_top_to_bottom_field
            const uint32_t numRefFramesInPicOrderCntCycle = bits.readUe();
            const uint32_t offsets =
                std::min(numRefFramesInPicOrderCntCycle, kMaxRefFramesInPicOrderCntCycle);
            for (uint32_t i = 0; i < offsets; ++i)
                bits.readSe(); // offset_for_ref_frame[i]
        }
        bits.readUe();    // max_num_ref_frames
        bits.skipBits(1); // gaps_in_frame_num_value_allowed_flag

        uint64_t width = (uint64_t{bits.readUe()} + 1) * 16;
        const uint64_t mapUnits = uint64_t{bits.readUe()} + 1;
        const uint32_t frameMbsOnlyFlag = bits.readBits(1);
        if (frameMbsOnlyFlag == 0) bits.skipBits(1); // mb_adaptive_frame_field_flag
        bits.skipBits(1);                            // direct_8x8_inference_flag
        uint64_t height = (2 - frameMbsOnlyFlag) * mapUnits * 16;

        const uint32_t frameCroppingFlag = bits.readBits(1);
        if (frameCroppingFlag == 1) {
            const uint64_t left = bits.readUe();
            const uint64_t right = bits.readUe();
            const uint64_t top = bits.readUe();
            const uint64_t bottom = bits.readUe();
            // CropUnitX and CropUnitY: samples per offset unit (ChromaArrayType 0 is
            // monochrome or separately coded colour planes).
            const uint32_t chromaArrayType = separateColourPlaneFlag == 1 ? 0 : chromaFormatIdc;
            const uint64_t subWidthC = chromaArrayType == 1 || chromaArrayType == 2 ? 2 : 1;
            const uint64_t subHeightC = chromaArrayType == 1 ? 2 : 1;
            width = cropped(width, left + right, subWidthC);
            height = cropped(height, top + bottom, subHeightC * (2 - frameMbsOnlyFlag));
        }
        out.report(sizeLine("Size", width, height)
                       .as(Property::Width, Property::Height)
                       .property(Property::Interlaced, frameMbsOnlyFlag == 0));

        const uint32_t vuiParametersPresentFlag = bits.readBits(1);
        if (vuiParametersPresentFlag == 1) {
            const uint32_t aspectRatioInfoPresentFlag = bits.readBits(1);
            if (aspectRatioInfoPresentFlag == 1) {
                const uint32_t aspectRatioIdc = bits.readBits(8);
                if (aspectRatioIdc < AspectRatioNames.size()) {
                    out.report(aspectRatioLine(aspectRatioIdc));
                } else if (aspectRatioIdc == kExtendedSarIdc) {
                    const uint32_t sarWidth = bits.readBits(16);
                    const uint32_t sarHeight = bits.readBits(16);
                    out.report(detailText("Aspect ratio", std::to_string(sarWidth) + ":" +
                                                              std::to_string(sarHeight))
                                   .as(Property::SampleAspectRatio));
                }
            }
            const uint32_t overscanInfoPresentFlag = bits.readBits(1);
            if (overscanInfoPresentFlag == 1) bits.skipBits(1); // overscan_appropriate_flag
            const uint32_t videoSignalTypePresentFlag = bits.readBits(1);
            if (videoSignalTypePresentFlag == 1) {
                const uint32_t videoFormat = bits.readBits(3);
                ReportLine format = detailText("Video format", kVideoFormatNames[videoFormat]);
                if (videoFormat < 5) format.as(Property::VideoFormat);
                out.report(format);
                bits.skipBits(1); // video_full_range_flag
                const uint32_t colourDescriptionPresentFlag = bits.readBits(1);
                if (colourDescriptionPresentFlag == 1)
                    bits.skipBits(24); // colour_primaries, transfer_characteristics,
                                       // matrix_coefficients
            }
            const uint32_t chromaLocInfoPresentFlag = bits.readBits(1);
            if (chromaLocInfoPresentFlag == 1) {
                bits.readUe(); // chroma_sample_loc_type_top_field
                bits.readUe(); // chroma_sample_loc_type_bottom_field
            }
            const uint32_t timingInfoPresentFlag = bits.readBits(1);
            if (timingInfoPresentFlag == 1) {
                timingInfo = true;
                const uint32_t numUnitsInTick = bits.readBits(32);
                const uint32_t timeScale = bits.readBits(32);
                out.report(detailLine("Time scale", static_cast<double>(timeScale), "Hz",
                                      std::to_string(timeScale) + " Hz"));
                if (numUnitsInTick == 0) {
                    out.report(detailText("Frame rate", "invalid"));
                } else {
                    // One frame lasts two ticks, for frame and field coding alike.
                    frameRate = timeScale / (2.0 * numUnitsInTick);
                    rateKnown = true;
                    const double shown = std::nearbyint(frameRate * 1000) / 1000; // halves even
                    ReportLine rate = detailLine("Frame rate", shown, "frame/s",
                                                 formatDecimal(shown, input.locale) + " fps");
                    if (timeScale != 0)
                        frameRateProperties(rate, timeScale, 2 * uint64_t{numUnitsInTick});
                    out.report(rate);
                }
                bits.skipBits(1); // fixed_frame_rate_flag
            }
        }
    }

    InspectorResult result;
    if (!timingInfo)
        result.frameRate = kDefaultFrameRate;
    else if (rateKnown)
        result.frameRate = frameRate;
    return result;
}

} // namespace tessary
