#include <gtest/gtest.h>

#include "AudioInspectorTesting.h"

using namespace tessary;
using namespace tessary::test;

namespace {

// The engine hands over the payload behind the 7-byte LPCM header; the header lies just
// before it in the same block.
Lines inspect(const Bytes& header, const Bytes& payload = {0x12, 0x34},
              LocaleSettings locale = {}) {
    return inspectAudio(InspectedCodec::Lpcm, join(header, payload),
                        {.position = header.size(), .locale = locale});
}

Lines withParameters(uint8_t byte5, uint8_t byte6) {
    return inspect({0xA0, 0x05, 0x00, 0x0A, 0x00, byte5, byte6});
}

} // namespace

TEST(LpcmInspector, ReportsTheHeaderFields) {
    EXPECT_EQ(inspect({0xA0, 0x05, 0x00, 0x0A, 0x00, 0x01, 0x80}),
              (Lines{"   Number of frame headers = 5", "   First acces unit pointer = 000A",
                     "   Emphasis = off, mute = off", "   Frame number = 0",
                     "   Quantization length = [bl]16[/bl] bits",
                     "   Sampling frequency = [bl]48[/bl] kHz",
                     "   Number of audio channels = [bl]2[/bl]"}));
    const Lines flags = inspect({0xA0, 0x00, 0x07, 0xF2, 0xDF, 0x01, 0x80});
    EXPECT_EQ(flags[1], "   First acces unit pointer = 07F2");
    EXPECT_EQ(flags[2], "   Emphasis = on, mute = on");
    EXPECT_EQ(flags[3], "   Frame number = 31");
}

TEST(LpcmInspector, WordLengthSamplingFrequencyAndChannels) {
    const Lines a = withParameters(0x21, 0x80);
    EXPECT_EQ(a[4], "   Quantization length = [bl]16[/bl] bits");
    EXPECT_EQ(a[5], "   Sampling frequency = [bl]192[/bl] kHz");
    EXPECT_EQ(a[6], "   Number of audio channels = [bl]2[/bl]");
    // The channel count has three bits: code 5 (5.1) is six channels, not two.
    EXPECT_EQ(withParameters(0x25, 0x80)[6], "   Number of audio channels = [bl]6[/bl]");
    const Lines b = withParameters(0x95, 0x80);
    EXPECT_EQ(b[4], "   Quantization length = [bl]24[/bl] bits");
    EXPECT_EQ(b[5], "   Sampling frequency = [bl]96[/bl] kHz");
    EXPECT_EQ(b[6], "   Number of audio channels = [bl]6[/bl]");
    EXPECT_EQ(withParameters(0x07, 0x80)[6], "   Number of audio channels = [bl]8[/bl]");
    // Codes without a name leave the value empty.
    EXPECT_EQ(withParameters(0xF0, 0x80)[5], "   Sampling frequency = [bl][/bl] kHz");
    EXPECT_EQ(withParameters(0xC0, 0x80)[4], "   Quantization length = [bl][/bl] bits");
}

TEST(LpcmInspector, DynamicRange) {
    EXPECT_EQ(withParameters(0x01, 0x00).back(), "   Dynamic range = 24.082 dB");
    EXPECT_EQ(withParameters(0x01, 0xFF).back(), "   Dynamic range = -24.2839 dB");
    EXPECT_EQ(withParameters(0x01, 0x52).back(), "   Dynamic range = 8.4282 dB");
    EXPECT_EQ(inspect({0xA0, 0x05, 0x00, 0x0A, 0x00, 0x01, 0xB7}, {0x00}, commaLocale()).back(),
              "   Dynamic range = -10,6371 dB");
}

TEST(LpcmInspector, HeaderOutsideTheBlockIsNotReported) {
    // A payload that begins fewer than seven bytes into the block: its header was in the
    // previous block.
    EXPECT_TRUE(inspectAudio(InspectedCodec::Lpcm, {0x05, 0x00, 0x0A, 0x00, 0x01, 0x80, 0x12},
                             {.position = 6})
                    .empty());
    EXPECT_TRUE(inspectAudio(InspectedCodec::Lpcm, {}, {.position = 0}).empty());
}

// The first pack of an MPEG program stream from ffmpeg (pcm_dvd in the vob muxer,
// tests/inspect/data/make_audio_snippets.sh); ffprobe reports the same sampling frequency,
// channels and sample size.
TEST(LpcmInspector, EncoderSnippets) {
    auto firstPacket = [](const Bytes& pack) {
        // 00 00 01 BD, packet length, two flag bytes, header data length, header data, then
        // the substream id and the rest of the LPCM header.
        const Bytes start = {0x00, 0x00, 0x01, 0xBD};
        const auto at = std::search(pack.begin(), pack.end(), start.begin(), start.end());
        EXPECT_NE(at, pack.end());
        const auto i = static_cast<std::size_t>(at - pack.begin());
        const std::size_t end = i + 6 + (pack[i + 4] << 8 | pack[i + 5]);
        const std::size_t payload = i + 9 + pack[i + 8] + 7;
        return inspectAudio(InspectedCodec::Lpcm, pack,
                            {.position = payload, .length = end - payload});
    };
    const Lines surround = firstPacket(audioSnippet("lpcm_51_48k_16.vob"));
    ASSERT_EQ(surround.size(), 7u);
    EXPECT_EQ(surround[4], "   Quantization length = [bl]16[/bl] bits");
    EXPECT_EQ(surround[5], "   Sampling frequency = [bl]48[/bl] kHz");
    EXPECT_EQ(surround[6], "   Number of audio channels = [bl]6[/bl]");

    const Lines stereo = firstPacket(audioSnippet("lpcm_20_96k_24.vob"));
    ASSERT_EQ(stereo.size(), 7u);
    EXPECT_EQ(stereo[4], "   Quantization length = [bl]24[/bl] bits");
    EXPECT_EQ(stereo[5], "   Sampling frequency = [bl]96[/bl] kHz");
    EXPECT_EQ(stereo[6], "   Number of audio channels = [bl]2[/bl]");
}
