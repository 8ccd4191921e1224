#include <gtest/gtest.h>

#include "AudioInspectorTesting.h"

using namespace tessary;
using namespace tessary::test;

namespace {

Lines inspect(const Bytes& block, AudioChunk chunk = {}) {
    return inspectAudio(InspectedCodec::MlpTrueHd, block, chunk);
}

// Major sync, six bytes of format information (bytes 5 and 6 the control pair), and one more
// byte, since the payload's last byte is not looked at.
Bytes trueHd(Bytes format) {
    return join({0xF8, 0x72, 0x6F, 0xBA}, join(std::move(format), {0x00}));
}
Bytes mlp(Bytes format) {
    return join({0xF8, 0x72, 0x6F, 0xBB}, join(std::move(format), {0x00}));
}

} // namespace

TEST(MlpInspector, StandardMlpFormat) {
    // Byte 1: quantization 0 (16 bits); byte 2: sampling frequency 8 (44.1 kHz); byte 4:
    // channel assignment 18.
    EXPECT_EQ(inspect(mlp({0x00, 0x80, 0x00, 0x12, 0xB7, 0x52})),
              (Lines{"   [b]Standard MLP[/b] stream (up to 6 channels) ",
                     "   Quantization length = [bl]16[/bl] bits",
                     "   Sampling frequency = [bl]44.1[/bl] kHz",
                     "   Channel arrangement = [bl]Lf + Rf + Ls + Rs + LFE[/bl]",
                     "   Dynamic range control = -10.6371 dB .. 8.4282 dB"}));
}

TEST(MlpInspector, TrueHdChannelAssignments) {
    // Byte 2: modifiers and the top four bits of the 6-channel assignment; byte 3: its last
    // bit, the 8-channel modifier and the top of the 13-bit 8-channel assignment; byte 4 its
    // low byte.
    EXPECT_EQ(inspect(trueHd({0x10, 0x41, 0xC0, 0x0F, 0x80, 0x00})),
              (Lines{"   [b]TrueHD[/b] stream (up to 8 channels)",
                     "   Sampling frequency = [bl]96[/bl] kHz", "   2 ch. decoder",
                     "      channel modifier = 1", "   6 ch. decoder", "      channel modifier = 0",
                     "      channel arrangement = [bl]???3[/bl]", "   8 ch. decoder",
                     "      channel modifier = 2",
                     "      channel arrangement = [bl]Lf + Rf + Ls + Rs + C + LFE[/bl]"}));
    const Lines fifteen = inspect(trueHd({0x00, 0x07, 0x80, 0x00, 0x80, 0x00}));
    EXPECT_EQ(fifteen[6], "      channel arrangement = [bl]Lf + Rf + Ls + Rs + C + LFE[/bl]");
    // The 8-channel assignment is looked up by its low five bits.
    EXPECT_EQ(inspect(trueHd({0x00, 0x00, 0x1F, 0xF5, 0x80, 0x00}))[9],
              "      channel arrangement = [bl]???21[/bl]");
}

TEST(MlpInspector, DynamicRangeControl) {
    EXPECT_EQ(
        inspect(trueHd({0x00, 0x00, 0x80, 0x01, 0xB7, 0x52}), {.locale = commaLocale()}).back(),
        "   Dynamic range control = -10,6371 dB .. 8,4282 dB");
    // A first control byte of 0x80 means none.
    const Lines none = inspect(mlp({0x00, 0x80, 0x00, 0x12, 0x80, 0x52}));
    ASSERT_EQ(none.size(), 4u);
    EXPECT_EQ(none.back(), "   Channel arrangement = [bl]Lf + Rf + Ls + Rs + LFE[/bl]");
}

TEST(MlpInspector, EveryMajorSyncStartsAReport) {
    const Bytes two = join(mlp({0x00, 0x80, 0x00, 0x12, 0x80, 0x00}),
                           trueHd({0x00, 0x00, 0x80, 0x01, 0x80, 0x00}));
    const Lines lines = inspect(two);
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[4], "   [b]TrueHD[/b] stream (up to 8 channels)");

    // A sync word completed by the payload's last byte is not seen.
    EXPECT_TRUE(inspect({0x00, 0xF8, 0x72, 0x6F, 0xBA}).empty());
    // A format cut by the payload's end reports what it holds; the block's end bounds it too.
    EXPECT_EQ(inspect(trueHd({0x00, 0x00, 0x80, 0x01, 0xB7, 0x52}), {.length = 7}).size(), 2u);
    EXPECT_EQ(inspect({0xF8, 0x72, 0x6F, 0xBB, 0x00, 0x80}, {.length = 4096}).size(), 2u);
}

// ffmpeg snippets (tests/inspect/data/make_audio_snippets.sh); ffprobe reports the same
// sampling frequency, channels and sample size.
TEST(MlpInspector, EncoderSnippets) {
    // truehd, stereo, 48 kHz: the 6- and 8-channel assignments are 1 (L and R).
    EXPECT_EQ(inspect(audioSnippet("truehd_20_48k.thd")),
              (Lines{"   [b]TrueHD[/b] stream (up to 8 channels)",
                     "   Sampling frequency = [bl]48[/bl] kHz", "   2 ch. decoder",
                     "      channel modifier = 0", "   6 ch. decoder", "      channel modifier = 0",
                     "      channel arrangement = [bl]???1[/bl]", "   8 ch. decoder",
                     "      channel modifier = 0", "      channel arrangement = [bl]???1[/bl]",
                     "   Dynamic range control = -10.6371 dB .. 8.4282 dB"}));

    // truehd, 5.1, 48 kHz.
    const Lines surround = inspect(audioSnippet("truehd_51_48k.thd"));
    ASSERT_GE(surround.size(), 10u);
    EXPECT_EQ(surround[1], "   Sampling frequency = [bl]48[/bl] kHz");
    EXPECT_EQ(surround[6], "      channel arrangement = [bl]Lf + Rf + Ls + Rs + C + LFE[/bl]");
    EXPECT_EQ(surround[9], "      channel arrangement = [bl]Lf + Rf + Ls + Rs + C + LFE[/bl]");

    // mlp, stereo, 44.1 kHz, 16 bits.
    const Lines stereo = inspect(audioSnippet("mlp_20_44k.mlp"));
    ASSERT_GE(stereo.size(), 4u);
    EXPECT_EQ(Lines(stereo.begin(), stereo.begin() + 4),
              (Lines{"   [b]Standard MLP[/b] stream (up to 6 channels) ",
                     "   Quantization length = [bl]16[/bl] bits",
                     "   Sampling frequency = [bl]44.1[/bl] kHz",
                     "   Channel arrangement = [bl]L + R[/bl]"}));
}
