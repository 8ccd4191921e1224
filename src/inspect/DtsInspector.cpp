#include "inspect/DtsInspector.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <string_view>

#include "inspect/BitReader.h"
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

// Core sampling frequency in kHz by SFREQ.
constexpr std::array<std::string_view, 16> kSampleRates = {
    "Invalid", "8", "16", "32", "",   "",   "11,025", "22,05",
    "44,1",    "",  "",   "12", "24", "48", "",       ""};

// Transmission bit rate in kbit/s by RATE.
constexpr std::array<std::string_view, 32> kBitRates = {
    "32",   "56",   "64",   "96",   "112",  "128",  "192",      "224",
    "256",  "320",  "384",  "448",  "512",  "576",  "640",      "768",
    "960",  "1024", "1152", "1280", "1344", "1408", "1411,2",   "1472",
    "1536", "1920", "2048", "3072", "3840", "open", "Variable", "Loss-less"};

constexpr std::array<std::string_view, 8> kExtensionAudio = {"Channel extension",
                                                             "Reserved",
                                                             "Frequency extension",
                                                             "Channel and Frequency extension",
                                                             "Reserved",
                                                             "Reserved",
                                                             "Reserved",
                                                             "Reserved"};

constexpr std::array<std::string_view, 4> kLfe = {"not present", "[bl]present[/bl] (IF:128)",
                                                  "[bl]present[/bl] (IF:64)", "invalid"};

constexpr std::array<std::string_view, 8> kSourceResolutions = {"[bl]16[/bl] bits",
                                                                "[bl]16[/bl] bits, [bl]DTS ES[/bl]",
                                                                "[bl]20[/bl] bits",
                                                                "[bl]20[/bl] bits, [bl]DTS ES[/bl]",
                                                                "",
                                                                "[bl]24[/bl] bits, [bl]DTS ES[/bl]",
                                                                "[bl]24[/bl] bits",
                                                                ""};

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
    auto line = [&out](std::string_view label, std::string_view value) {
        out.log(std::string(label) + std::string(value));
    };
    r.loadWindow();
    r.skipBits(1); // FTYPE
    const uint32_t shortCount = r.readBits(5);
    line("   PCM core samples = ", std::to_string(shortCount + 1));
    const uint32_t cpf = r.readBits(1);
    const uint32_t nblks = r.readBits(7);
    line("   PCM sample blocks = ", std::to_string(nblks + 1));
    const uint32_t fsize = r.readBits(14);
    line("   Primary frame byte size = ", std::to_string(fsize));
    const uint32_t amode = r.readBits(6);
    line("   Channel arrangement = [bl]", std::string(channelArrangement(amode)) + "[/bl]");
    const uint32_t sfreq = r.readBits(4);
    line("   Sampling frequency = [bl]", std::string(kSampleRates[sfreq]) + "[/bl] kHz");
    const uint32_t rate = r.readBits(5);
    line("   Transmission bitrate = [bl]", std::string(kBitRates[rate]) + "[/bl] kbit/s");
    r.skipBits(5); // MIX, DYNF, TIMEF, AUXF, HDCD
    const uint32_t extAudioId = r.readBits(3);
    const uint32_t extAudio = r.readBits(1);
    if (extAudio == 1) line("   Extension audio = ", kExtensionAudio[extAudioId]);
    r.skipBits(1); // ASPF
    const uint32_t lff = r.readBits(2);
    line("   LFE channel = ", kLfe[lff]);
    r.skipBits(1); // HFLAG
    if (cpf == 1) {
        char crc[8];
        std::snprintf(crc, sizeof crc, "%04X", static_cast<unsigned>(r.readBits(16)));
        line("   Header CRC = ", crc);
    }
    r.skipBits(1); // FILTS
    const uint32_t vernum = r.readBits(4);
    line("   Encoder software rev. = ",
         std::to_string(vernum) + std::string(encoderRevision(vernum)));
    r.skipBits(2); // CHIST
    const uint32_t pcmr = r.readBits(3);
    line("   Source PCM resolution = ", kSourceResolutions[pcmr]);
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
