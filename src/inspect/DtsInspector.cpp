#include "inspect/DtsInspector.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <string_view>

#include "inspect/BitReader.h"
#include "inspect/DetailLines.h"
#include "platform/Reporter.h"

namespace tessary {

namespace {

constexpr uint32_t kCoreSync = 0x7FFE8001;
constexpr uint32_t kChannelExtensionSync = 0x5A5A5A5A;
constexpr uint32_t kFrequencyExtensionSync = 0x1D95F262;

// Channel arrangement by AMODE; 16 to 63 are user defined.
constexpr std::array<std::string_view, 16> kChannelArrangements = {
    "A (mono)",
    "A+B (dual mono)",
    "L + R (stereo)",
    "(L+R) + (L-R) (sum-difference)",
    "LT + RT (left and right total)",
    "C + L + R",
    "L + R + S",
    "C + L + R + S",
    "L + R + Ls + Rs",
    "C + L + R + Ls + Rs",
    "CL + CR + L + R + Ls + Rs",
    "C + L + R + Lr + Rr + OV",
    "Cf + Cr + Lf + Rf + Lr + Rr",
    "CL + C + CR + L + R + Ls + Rs",
    "CL + CR + L + R + Ls1 + Ls2 + Rs1 + Rs2",
    "CL + C + CR + L + R + Ls + S + Rs"};
// The channels of each arrangement, without the LFE channel.
constexpr std::array<int, 16> kChannels = {1, 2, 2, 2, 2, 3, 3, 4, 4, 5, 6, 6, 6, 7, 8, 8};

// Core sampling frequency by SFREQ, shown in kHz.
constexpr std::array<NamedNumber, 16> kSampleRates = {{{"Invalid", 0},
                                                       {"8", 8000},
                                                       {"16", 16000},
                                                       {"32", 32000},
                                                       {"", 0},
                                                       {"", 0},
                                                       {"11,025", 11025},
                                                       {"22,05", 22050},
                                                       {"44,1", 44100},
                                                       {"", 0},
                                                       {"", 0},
                                                       {"12", 12000},
                                                       {"24", 24000},
                                                       {"48", 48000},
                                                       {"", 0},
                                                       {"", 0}}};

// Transmission bit rate by RATE, shown in kbit/s.
constexpr std::array<NamedNumber, 32> kBitRates = {
    {{"32", 32e3},     {"56", 56e3},     {"64", 64e3},         {"96", 96e3},     {"112", 112e3},
     {"128", 128e3},   {"192", 192e3},   {"224", 224e3},       {"256", 256e3},   {"320", 320e3},
     {"384", 384e3},   {"448", 448e3},   {"512", 512e3},       {"576", 576e3},   {"640", 640e3},
     {"768", 768e3},   {"960", 960e3},   {"1024", 1024e3},     {"1152", 1152e3}, {"1280", 1280e3},
     {"1344", 1344e3}, {"1408", 1408e3}, {"1411,2", 1411.2e3}, {"1472", 1472e3}, {"1536", 1536e3},
     {"1920", 1920e3}, {"2048", 2048e3}, {"3072", 3072e3},     {"3840", 3840e3}, {"open", 0},
     {"Variable", 0},  {"Loss-less", 0}}};

constexpr std::array<std::string_view, 8> kExtensionAudio = {"Channel extension",
                                                             "Reserved",
                                                             "Frequency extension",
                                                             "Channel and Frequency extension",
                                                             "Reserved",
                                                             "Reserved",
                                                             "Reserved",
                                                             "Reserved"};

// The LFE flag by LFF: its value, how the line shows it, and whether it says.
struct Lfe {
    std::string_view value;
    std::string_view shown;
    bool valid;
    bool present;
};
constexpr std::array<Lfe, 4> kLfe = {{{"not present", "not present", true, false},
                                      {"present (IF:128)", "[bl]present[/bl] (IF:128)", true, true},
                                      {"present (IF:64)", "[bl]present[/bl] (IF:64)", true, true},
                                      {"invalid", "invalid", false, false}}};

// How RATE codes the bit rate: a rate of the table (constant), open, variable or lossless.
std::string_view bitRateMode(uint32_t rate) {
    if (rate == 30) return "variable";
    if (rate == 31) return "lossless";
    return rate == 29 ? "" : "constant";
}

// Source PCM resolution by PCMR: the bits (0 for the reserved codes, shown empty) and the
// line's text.
struct Resolution {
    double bits;
    std::string_view shown;
};
constexpr std::array<Resolution, 8> kSourceResolutions = {
    {{16, "[bl]16[/bl] bits"},
     {16, "[bl]16[/bl] bits, [bl]DTS ES[/bl]"},
     {20, "[bl]20[/bl] bits"},
     {20, "[bl]20[/bl] bits, [bl]DTS ES[/bl]"},
     {0, ""},
     {24, "[bl]24[/bl] bits, [bl]DTS ES[/bl]"},
     {24, "[bl]24[/bl] bits"},
     {0, ""}}};

std::string_view encoderRevision(uint32_t vernum) {
    if (vernum < 7) return ", Future rev. (compatible)";
    if (vernum == 7) return ", Current";
    return ", Future rev. (incompatible";
}

std::string_view channelArrangement(uint32_t amode) {
    return amode < kChannelArrangements.size() ? kChannelArrangements[amode] : "User defined";
}

// The core frame header behind a sync word, field by field (ETSI TS 102 114, 5.3.1). The
// reader stands at the first byte behind the sync word.
void readCoreHeader(BitReader& r, Reporter& out) {
    r.loadWindow();
    r.skipBits(1); // FTYPE
    const uint32_t shortCount = r.readBits(5);
    out.report(detailLine("PCM core samples", shortCount + 1));
    const uint32_t cpf = r.readBits(1);
    const uint32_t nblks = r.readBits(7);
    // Each block holds 32 samples of every channel.
    out.report(detailLine("PCM sample blocks", nblks + 1)
                   .property(Property::SamplesPerFrame, (nblks + 1) * 32.0));
    // FSIZE is the frame's size in bytes less one.
    const uint32_t fsize = r.readBits(14);
    out.report(detailLine("Primary frame byte size", static_cast<double>(fsize), "byte",
                          std::to_string(fsize))
                   .property(Property::FrameSize, fsize + 1.0));
    const uint32_t amode = r.readBits(6);
    const std::string_view arrangement = channelArrangement(amode);
    ReportLine arrangementLine =
        detailLine("Channel arrangement", std::string(arrangement), "", blue(arrangement));
    if (amode < kChannelArrangements.size()) arrangementLine.as(Property::ChannelLayout);
    out.report(arrangementLine);
    const uint32_t sfreq = r.readBits(4);
    out.report(
        tableLine("Sampling frequency", kSampleRates[sfreq], "Hz", " kHz", Property::SampleRate));
    const uint32_t rate = r.readBits(5);
    ReportLine rateLine =
        tableLine("Transmission bitrate", kBitRates[rate], "bit/s", " kbit/s", Property::BitRate);
    if (const std::string_view mode = bitRateMode(rate); !mode.empty())
        rateLine.property(Property::BitRateMode, std::string(mode));
    out.report(rateLine);
    r.skipBits(5); // MIX, DYNF, TIMEF, AUXF, HDCD
    const uint32_t extAudioId = r.readBits(3);
    const uint32_t extAudio = r.readBits(1);
    if (extAudio == 1) out.report(detailText("Extension audio", kExtensionAudio[extAudioId]));
    r.skipBits(1); // ASPF
    const Lfe& lfe = kLfe[r.readBits(2)];
    ReportLine lfeLine = detailLine("LFE channel", std::string(lfe.value), "", lfe.shown);
    if (lfe.valid) {
        lfeLine.property(Property::Lfe, lfe.present);
        if (amode < kChannels.size())
            lfeLine.property(Property::Channels, kChannels[amode] + (lfe.present ? 1.0 : 0.0));
    }
    out.report(lfeLine);
    r.skipBits(1); // HFLAG
    if (cpf == 1) {
        const uint32_t crc = r.readBits(16);
        char shown[8];
        std::snprintf(shown, sizeof shown, "%04X", static_cast<unsigned>(crc));
        out.report(detailLine("Header CRC", static_cast<double>(crc), "", shown));
    }
    r.skipBits(1); // FILTS
    const uint32_t vernum = r.readBits(4);
    out.report(detailLine("Encoder software rev.", vernum).text(encoderRevision(vernum)));
    r.skipBits(2); // CHIST
    const Resolution& resolution = kSourceResolutions[r.readBits(3)];
    if (resolution.bits == 0)
        out.report(detailText("Source PCM resolution", resolution.shown));
    else
        out.report(detailLine("Source PCM resolution", resolution.bits, "bit", resolution.shown)
                       .as(Property::BitDepth));
}

} // namespace

InspectorResult inspectDts(const InspectorInput& input, Reporter& out) {
    if (input.block == nullptr || input.position > input.blockLength) return {};
    const std::size_t end =
        input.position + std::min(input.length, input.blockLength - input.position);

    BitReader reader(input.block, input.blockLength, input.position);
    uint32_t window = 0;
    std::size_t position = input.position;
    // Every core frame in the payload is reported; the last byte is not looked at.
    while (position + 1 < end) {
        window = (window << 8) | input.block[position];
        ++position;
        if (window == kCoreSync) {
            // A header cut short by the payload's end reads on into the block; the scan then
            // resumes behind the bytes that the header reading took in.
            reader.setPosition(position);
            readCoreHeader(reader, out);
            window = reader.window();
            position = reader.position();
        } else if (window == kChannelExtensionSync) {
            out.log("   Channel extension found");
        } else if (window == kFrequencyExtensionSync) {
            out.log("   Frequency extensiond found ([bl]96[/bl] kHz)");
        }
    }
    return {};
}

} // namespace tessary
