#include "inspect/MlpInspector.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "inspect/DetailLines.h"
#include "platform/Reporter.h"

namespace tessary {

double dynamicRangeDb(uint8_t x) {
    return 24.082 - 6.0206 * (x >> 5) - 0.2007 * (x & 31);
}

namespace {

constexpr uint32_t kTrueHdSync = 0xF8726FBA;
constexpr uint32_t kMlpSync = 0xF8726FBB;
// Bytes of format information read behind a major sync.
constexpr int kFormatBytes = 6;

// Byte 6 behind a major sync: the pair of control bytes 5 and 6 as a range.
void dynamicRangeLine(uint32_t window, const InspectorInput& input, Reporter& out) {
    const auto first = static_cast<uint8_t>(window >> 8);
    const auto second = static_cast<uint8_t>(window);
    if (first == 0x80) return;
    const double low = dynamicRangeDb(first);
    const double high = dynamicRangeDb(second);
    out.report(detailLine("Dynamic range control", std::vector<double>{low, high}, "dB",
                          formatDecimal(low, input.locale) + " dB .. " +
                              formatDecimal(high, input.locale) + " dB"));
}

ReportLine channelArrangementLine(std::string_view indent, std::string_view name,
                                  std::string_view arrangement) {
    return ReportLine(indent).field(name, std::string(arrangement), "", blue(arrangement));
}

// The channels of each standard MLP channel assignment (the LFE channel included) and whether
// it has an LFE channel; 21 to 31 are reserved.
struct MlpChannels {
    int channels;
    bool lfe;
};
constexpr std::array<MlpChannels, 21> kMlpChannels = {
    {{1, false}, {2, false}, {3, false}, {4, false}, {3, true}, {4, true},  {5, true},
     {3, false}, {4, false}, {5, false}, {4, true},  {5, true}, {6, true},  {4, false},
     {5, false}, {4, true},  {5, true},  {6, true},  {5, true}, {5, false}, {6, true}}};

// The speakers of the bits of a TrueHD channel assignment (6-channel: the lowest five bits,
// 8-channel: all thirteen), as pairs or single channels.
constexpr std::array<std::string_view, 13> kTrueHdSpeakers = {
    "L + R", "C",  "LFE",       "Ls + Rs", "Lvh + Rvh", "Lc + Rc", "Lrs + Rrs",
    "Cs",    "Ts", "Lsd + Rsd", "Lw + Rw", "Cvh",       "LFE2"};
constexpr uint32_t kTrueHdLfeBits = (1u << 2) | (1u << 12);

// The properties of the channels of a TrueHD channel assignment (none for an empty one).
ReportLine& trueHdChannels(ReportLine& line, uint32_t assignment) {
    if (assignment == 0) return line;
    std::string layout;
    int channels = 0;
    for (std::size_t bit = 0; bit < kTrueHdSpeakers.size(); ++bit) {
        if ((assignment & (1u << bit)) == 0) continue;
        const std::string_view speakers = kTrueHdSpeakers[bit];
        if (!layout.empty()) layout += " + ";
        layout += speakers;
        channels += speakers.find('+') == std::string_view::npos ? 1 : 2;
    }
    return line.property(Property::ChannelLayout, layout)
        .property(Property::Channels, static_cast<double>(channels))
        .property(Property::Lfe, (assignment & kTrueHdLfeBits) != 0);
}

// The lines under a decoder's heading.
constexpr std::string_view kDecoderIndent = "      ";

// The lines of one decoder's heading: its channel modifier and, but for the 2-channel
// decoder, its channel arrangement, which hands over the channels of `assignment` when given
// (that of the stream's widest presentation).
void decoderLines(std::string_view heading, int modifier,
                  std::optional<std::string_view> arrangement, Reporter& out,
                  std::optional<uint32_t> assignment = std::nullopt) {
    out.log("   " + std::string(heading));
    out.report(ReportLine(kDecoderIndent).field("channel modifier", modifier).under(heading));
    if (!arrangement) return;
    ReportLine line =
        channelArrangementLine(kDecoderIndent, "channel arrangement", *arrangement).under(heading);
    if (assignment) trueHdChannels(line, *assignment);
    out.report(line);
}

} // namespace

InspectorResult inspectMlp(const InspectorInput& input, Reporter& out) {
    if (input.block == nullptr || input.position > input.blockLength) return {};
    const std::size_t end =
        input.position + std::min(input.length, input.blockLength - input.position);

    uint32_t window = 0;
    int mlpCountdown = 0;
    int trueHdCountdown = 0;
    int modifier2 = 0;
    int modifier6 = 0;
    int assignment6 = 0;
    int modifier8 = 0;
    // The last byte of the payload is not looked at.
    for (std::size_t i = input.position; i + 1 < end; ++i) {
        const uint8_t b = input.block[i];
        window = (window << 8) | b;
        if (window == kTrueHdSync) {
            trueHdCountdown = kFormatBytes;
            out.log("   [b]TrueHD[/b] stream (up to 8 channels)");
        } else if (window == kMlpSync) {
            mlpCountdown = kFormatBytes;
            out.log("   [b]Standard MLP[/b] stream (up to 6 channels) ");
        } else if (mlpCountdown > 0) {
            switch (--mlpCountdown) {
            case 5: out.report(quantizationLine(b >> 4)); break;
            case 4:
                out.report(sampleRateLine(b >> 4).property(Property::BitRateMode,
                                                           std::string("variable")));
                break;
            case 2: {
                const unsigned assignment = b & 31;
                ReportLine line = channelArrangementLine("   ", "Channel arrangement",
                                                         MlpChannelNames[assignment]);
                if (assignment < kMlpChannels.size()) {
                    const MlpChannels& channels = kMlpChannels[assignment];
                    line.as(Property::ChannelLayout)
                        .property(Property::Channels, static_cast<double>(channels.channels))
                        .property(Property::Lfe, channels.lfe);
                }
                out.report(line);
                break;
            }
            case 0: dynamicRangeLine(window, input, out); break;
            default: break;
            }
        } else if (trueHdCountdown > 0) {
            switch (--trueHdCountdown) {
            case 5:
                out.report(sampleRateLine(b >> 4).property(Property::BitRateMode,
                                                           std::string("variable")));
                break;
            case 4:
                modifier2 = (b >> 6) & 3;
                modifier6 = (b >> 4) & 3;
                assignment6 = (b & 15) * 2;
                break;
            case 3:
                assignment6 += b >> 7;
                modifier8 = (b >> 5) & 3;
                decoderLines("2 ch. decoder", modifier2, std::nullopt, out);
                decoderLines("6 ch. decoder", modifier6, TrueHdChannelNames[assignment6], out);
                break;
            case 2: {
                // The 8-channel presentation's channels, or the 6-channel one's when it has none.
                const uint32_t assignment8 = window & 0x1FFF;
                decoderLines("8 ch. decoder", modifier8, TrueHdChannelNames[assignment8 & 31], out,
                             assignment8 != 0 ? assignment8 : uint32_t(assignment6));
                break;
            }
            case 0: dynamicRangeLine(window, input, out); break;
            default: break;
            }
        }
    }
    return {};
}

} // namespace tessary
