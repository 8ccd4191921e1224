#include "inspect/Ac3Inspector.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Reporter.h"

namespace tessary {

namespace {

// Sampling frequency in Hz by fscod; code 3 is reserved in AC-3 and in E-AC-3 means that
// fscod2 gives a reduced rate.
constexpr std::array<uint32_t, 4> kSampleRates = {48000, 44100, 32000, 0};
// E-AC-3 reduced sampling frequencies by fscod2 (fscod 3); code 3 is reserved.
constexpr std::array<uint32_t, 4> kReducedSampleRates = {24000, 22050, 16000, 0};
// AC-3 nominal bit rate in bit/s by frmsizecod / 2 (ATSC A/52, table 5.18).
constexpr std::array<uint32_t, 19> kBitRates = {
    32000,  40000,  48000,  56000,  64000,  80000,  96000,  112000, 128000, 160000,
    192000, 224000, 256000, 320000, 384000, 448000, 512000, 576000, 640000};
// Audio blocks per E-AC-3 frame by numblkscod.
constexpr std::array<uint32_t, 4> kBlocks = {1, 2, 3, 6};
constexpr uint32_t kSamplesPerBlock = 256;

constexpr std::array<std::string_view, 8> kChannelArrangements = {
    "dual mono", "mono",          "L + R",           "L + R + C",
    "L + R + S", "L + R + C + S", "L + R + Ls + Rs", "L + R + C + Ls + Rs"};
// The full-range channels of each arrangement.
constexpr std::array<int, 8> kChannels = {2, 1, 2, 3, 3, 4, 4, 5};

constexpr uint16_t kSyncWord = 0x0B77;
// Header bytes read behind the sync word.
constexpr int kHeaderBytes = 5;

bool isEnhanced(unsigned bsid) {
    return bsid >= 11 && bsid <= 16;
}

ReportLine samplingFrequencyLine(uint32_t hertz, const LocaleSettings& locale) {
    ReportLine line = detailLine("Sampling frequency", static_cast<double>(hertz), "Hz",
                                 blue(formatDecimal(hertz / 1000.0, locale)) + " kHz");
    if (hertz != 0) line.as(Property::SampleRate);
    return line;
}

// The bit rate in whole kbit/s, or "invalid" when the header gives none.
ReportLine bitRateLine(std::optional<uint64_t> kilobits) {
    if (!kilobits)
        return detailLine("Transmission bitrate", "invalid", "", blue("invalid") + " kbit/s");
    return detailLine("Transmission bitrate", static_cast<double>(*kilobits * 1000), "bit/s",
                      blue(std::to_string(*kilobits)) + " kbit/s")
        .as(Property::BitRate)
        .property(Property::BitRateMode, std::string("constant"));
}

// "Channel arrangement = [bl]NAME[/bl]", the start of the line that goes on with bsid; the
// channels it hands over count the LFE channel.
ReportLine channelArrangementLine(unsigned acmod, unsigned lfeon) {
    const std::string_view name = kChannelArrangements[acmod];
    return detailLine("Channel arrangement", std::string(name), "", blue(name))
        .as(Property::ChannelLayout)
        .property(Property::Channels, static_cast<double>(kChannels[acmod] + (lfeon ? 1 : 0)))
        .property(Property::Lfe, lfeon != 0);
}

// lfeon of an AC-3 header, in the byte that begins with acmod: behind cmixlev (three front
// channels), surmixlev (surround channels) and dsurmod (2/0), whichever are there.
unsigned ac3Lfeon(uint8_t b) {
    const unsigned acmod = b >> 5;
    int skipped = 3;
    if ((acmod & 1) != 0 && acmod != 1) skipped += 2;
    if ((acmod & 4) != 0) skipped += 2;
    if (acmod == 2) skipped += 2;
    return (b >> (7 - skipped)) & 1u;
}

// Bytes of an AC-3 frame by frmsizecod at a sampling frequency (ATSC A/52, table 5.18): two
// words per kbit/s at 48 kHz, three at 32 kHz, at 44.1 kHz the whole words of the frame's
// time and one more for the odd codes.
uint32_t ac3FrameBytes(uint32_t sampleRate, unsigned frmsizecod) {
    const uint64_t bitRate = kBitRates[frmsizecod / 2];
    if (sampleRate == 48000) return static_cast<uint32_t>(bitRate / 1000 * 4);
    if (sampleRate == 32000) return static_cast<uint32_t>(bitRate / 1000 * 6);
    const uint64_t words = bitRate * 1536 / 44100 / 16 + (frmsizecod & 1);
    return static_cast<uint32_t>(words * 2);
}

// The header fields taken from the five bytes behind the sync word.
struct SyncFrame {
    unsigned frameSizeCode = 0; // E-AC-3 frmsiz (11 bits); crc1 in AC-3
    unsigned fscod = 0;
    unsigned frmsizecod = 0; // AC-3
    unsigned numblkscod = 0; // E-AC-3 (fscod2 when fscod is 3)
    unsigned acmod = 0;
    unsigned lfeon = 0;
    unsigned bsid = 0;
    unsigned bsmod = 0;
};

// Writes the report of an E-AC-3 frame; false when its sampling frequency is reserved.
bool reportEnhanced(const SyncFrame& f, const InspectorInput& input, Reporter& out) {
    uint32_t sampleRate = kSampleRates[f.fscod];
    uint32_t blocks = kBlocks[f.numblkscod];
    if (f.fscod == 3) {
        sampleRate = kReducedSampleRates[f.numblkscod];
        blocks = 6;
    }
    const uint32_t frameBytes = (f.frameSizeCode + 1) * 2;
    // The frame's bits times the frames per second.
    std::optional<uint64_t> kilobits;
    if (sampleRate != 0)
        kilobits = uint64_t{frameBytes} * 8 * sampleRate / (kSamplesPerBlock * blocks) / 1000;
    out.log("   Stream " + std::to_string(input.number) + " is [b]Dolby Digital Plus[/b]");
    out.report(
        ReportLine("   ")
            .field("frame size", static_cast<double>(frameBytes), "byte",
                   std::to_string(frameBytes) + " bytes")
            .as(Property::FrameSize)
            .text(", ")
            .field("number of blocks per frame", blocks)
            .property(Property::SamplesPerFrame, static_cast<double>(blocks * kSamplesPerBlock)));
    out.report(samplingFrequencyLine(sampleRate, input.locale));
    out.report(bitRateLine(kilobits));
    out.report(channelArrangementLine(f.acmod, f.lfeon).text(", ").field("bsid", f.bsid));
    const std::string_view lfe = f.lfeon ? "present" : "not present";
    out.report(detailLine("LFE channel", std::string(lfe), "", blue(lfe)));
    return sampleRate != 0;
}

// Writes the report of an AC-3 frame; false when its sampling frequency or frame size code
// is reserved.
bool reportAc3(const SyncFrame& f, const InspectorInput& input, Reporter& out) {
    const uint32_t sampleRate = kSampleRates[f.fscod];
    const unsigned rateIndex = f.frmsizecod / 2;
    const bool rateKnown = rateIndex < kBitRates.size();
    out.log("   Stream " + std::to_string(input.number) + " is [b]Dolby Digital[/b]");
    out.report(samplingFrequencyLine(sampleRate, input.locale));
    ReportLine bitRate = bitRateLine(
        rateKnown ? std::optional<uint64_t>(kBitRates[rateIndex] / 1000) : std::nullopt);
    if (rateKnown && sampleRate != 0)
        bitRate
            .property(Property::FrameSize,
                      static_cast<double>(ac3FrameBytes(sampleRate, f.frmsizecod)))
            .property(Property::SamplesPerFrame, static_cast<double>(6 * kSamplesPerBlock));
    out.report(bitRate);
    out.report(channelArrangementLine(f.acmod, f.lfeon)
                   .text(", ")
                   .field("bsid", f.bsid)
                   .text(", bsmod =")
                   .value("bsmod", static_cast<double>(f.bsmod), "", std::to_string(f.bsmod)));
    return sampleRate != 0 && rateKnown;
}

} // namespace

InspectorResult inspectAc3(const InspectorInput& input, Reporter& out) {
    if (input.block == nullptr || input.position > input.blockLength) return {};
    const std::size_t end =
        input.position + std::min(input.length, input.blockLength - input.position);

    uint32_t window = 0;
    bool found = false;
    int countdown = 0;
    SyncFrame frame;
    for (std::size_t i = input.position; i < end; ++i) {
        const uint8_t b = input.block[i];
        window = (window << 8) | b;
        // Once a valid header was reported, later sync words are ignored. A sync word met
        // inside the header bytes is not a header byte either.
        if ((window & 0xFFFF) == kSyncWord) {
            if (!found) {
                countdown = kHeaderBytes;
                found = true;
            }
            continue;
        }
        if (countdown == 0) continue;
        switch (--countdown) {
        case 4: frame.frameSizeCode = (b & 7u) << 8; break;
        case 3: frame.frameSizeCode |= b; break;
        case 2:
            // AC-3: fscod, frmsizecod. E-AC-3: fscod, numblkscod, acmod, lfeon.
            frame.fscod = b >> 6;
            frame.frmsizecod = b & 0x3F;
            frame.numblkscod = (b >> 4) & 3;
            frame.acmod = (b >> 1) & 7;
            frame.lfeon = b & 1;
            break;
        case 1:
            frame.bsid = b >> 3;
            frame.bsmod = b & 7;
            break;
        case 0:
            // AC-3 has acmod in the top bits of the byte after bsid and bsmod. A header with a
            // reserved code lets the next sync word start another report.
            if (isEnhanced(frame.bsid)) {
                found = reportEnhanced(frame, input, out);
            } else {
                frame.acmod = b >> 5;
                frame.lfeon = ac3Lfeon(b);
                found = reportAc3(frame, input, out);
            }
            break;
        default: break;
        }
    }
    return {};
}

} // namespace tessary
