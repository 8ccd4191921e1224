#pragma once

#include <array>
#include <string_view>

// Name tables that more than one inspector writes from.

namespace tessary {

// Sample aspect ratios, indexed by the 4-bit aspect_ratio of SMPTE 421M and by
// aspect_ratio_idc 0 to 15 of ISO/IEC 14496-10; written after "   Aspect ratio = ".
inline constexpr std::array<std::string_view, 16> AspectRatioNames = {
    "unspecified",
    "[bl]1:1[/bl] (square samples)",
    "[bl]12:11[/bl] (704x576 4:3)",
    "[bl]10:11[/bl] (704x480 4:3)",
    "[bl]16:11[/bl] (704x576 16:9)",
    "[bl]40:33[/bl] (704x480 16:9)",
    "[bl]24:11[/bl] (352x576 4:3)",
    "[bl]20:11[/bl] (352x480 4:3)",
    "[bl]32:11[/bl] (352x576 16:9)",
    "[bl]80:33[/bl] (352x480 16:9)",
    "[bl]18:11[/bl] (48$576 4:3)",
    "[bl]15:11[/bl] (48$480 4:3)",
    "[bl]64:33[/bl] (528x576 16:9)",
    "[bl]160:99[/bl] (528x480 16:9)",
    "[bl]4:3[/bl]",
    "[bl]3:2[/bl]\"",
};

// A table entry that a line shows as `text` and that stands for `number` in SI units; 0 for
// an entry that is no number (its text is then the value).
struct NamedNumber {
    std::string_view text;
    double number;
};

// Word lengths in bits by a 4-bit quantization code (MLP format information, LPCM header).
extern const std::array<NamedNumber, 16> QuantizationBits;
// Sampling frequencies in Hz, shown in kHz, by a 4-bit code (MLP format information, LPCM
// header).
extern const std::array<NamedNumber, 16> SampleRates;
// Channel arrangements by the 5-bit channel assignment of standard MLP.
extern const std::array<std::string_view, 32> MlpChannelNames;
// Channel arrangements by a 5-bit TrueHD channel assignment.
extern const std::array<std::string_view, 32> TrueHdChannelNames;

} // namespace tessary
