#include <gtest/gtest.h>

#include "AudioInspectorTesting.h"

using namespace tessary;
using namespace tessary::test;

namespace {

Lines inspect(const Bytes& block, AudioChunk chunk = {}) {
    return inspectAudio(InspectedCodec::Ac3, block, chunk);
}

// AC-3 sync frame start: 0B 77, crc1 (2 bytes), fscod|frmsizecod, bsid|bsmod, acmod|...
// 48 kHz, frmsizecod 30 (448 kbit/s), bsid 8, bsmod 0, acmod 7.
const Bytes kAc3_448k_51 = {0x0B, 0x77, 0x00, 0x00, 0x1E, 0x40, 0xE0};

const Lines kAc3_448k_51Report = {
    "   Stream 3 is [b]Dolby Digital[/b]", "   Sampling frequency = [bl]48[/bl] kHz",
    "   Transmission bitrate = [bl]448[/bl] kbit/s",
    "   Channel arrangement = [bl]L + R + C + Ls + Rs[/bl], bsid = 8, bsmod =0"};

// E-AC-3 sync frame start: 0B 77, strmtyp|substreamid|frmsiz (11 bits over two bytes),
// fscod|numblkscod|acmod|lfeon, bsid|dialnorm, ...
Bytes eac3(unsigned frmsiz, uint8_t fscodByte) {
    return {0x0B,
            0x77,
            static_cast<uint8_t>(frmsiz >> 8),
            static_cast<uint8_t>(frmsiz),
            fscodByte,
            0x80 /* bsid 16 */,
            0x00};
}

} // namespace

TEST(Ac3Inspector, ReportsTheExampleAc3Header) {
    EXPECT_EQ(inspect(kAc3_448k_51, {.number = 3}), kAc3_448k_51Report);
}

TEST(Ac3Inspector, ReportsEac3FrameSizeBlocksAndBitRate) {
    // frmsiz 1535, fscod 0, numblkscod 3 (6 blocks), acmod 7, lfeon 1.
    EXPECT_EQ(inspect(eac3(1535, 0x3F), {.number = 1}),
              (Lines{"   Stream 1 is [b]Dolby Digital Plus[/b]",
                     "   frame size = 3072 bytes, number of blocks per frame = 6",
                     "   Sampling frequency = [bl]48[/bl] kHz",
                     "   Transmission bitrate = [bl]768[/bl] kbit/s",
                     "   Channel arrangement = [bl]L + R + C + Ls + Rs[/bl], bsid = 16",
                     "   LFE channel = [bl]present[/bl]"}));
    // frmsiz 511 with one block per frame: 1024 bytes every 256 samples.
    const Lines oneBlock = inspect(eac3(511, 0x04));
    EXPECT_EQ(oneBlock[1], "   frame size = 1024 bytes, number of blocks per frame = 1");
    EXPECT_EQ(oneBlock[3], "   Transmission bitrate = [bl]1536[/bl] kbit/s");
    EXPECT_EQ(oneBlock[4], "   Channel arrangement = [bl]L + R[/bl], bsid = 16");
    EXPECT_EQ(oneBlock[5], "   LFE channel = [bl]not present[/bl]");
}

TEST(Ac3Inspector, Eac3BitRateFollowsTheSamplingFrequency) {
    // fscod 1 (44.1 kHz), 6 blocks: 834 bytes per 1536 samples is 191559 bit/s.
    const Lines lines = inspect(eac3(416, 0x74), {.locale = commaLocale()});
    EXPECT_EQ(lines[2], "   Sampling frequency = [bl]44,1[/bl] kHz");
    EXPECT_EQ(lines[3], "   Transmission bitrate = [bl]191[/bl] kbit/s");
}

TEST(Ac3Inspector, Eac3ReducedSamplingFrequencies) {
    // fscod 3: fscod2 0 (24 kHz) takes the place of numblkscod and the frame has 6 blocks.
    const Lines reduced = inspect(eac3(383, 0xC4));
    EXPECT_EQ(reduced[1], "   frame size = 768 bytes, number of blocks per frame = 6");
    EXPECT_EQ(reduced[2], "   Sampling frequency = [bl]24[/bl] kHz");
    EXPECT_EQ(reduced[3], "   Transmission bitrate = [bl]96[/bl] kbit/s");
    EXPECT_EQ(inspect(eac3(383, 0xD4))[2], "   Sampling frequency = [bl]22.05[/bl] kHz");

    // fscod2 3 is reserved: no bit rate, and the next sync frame is reported as well.
    const Lines reserved = inspect(join(eac3(383, 0xF4), eac3(1535, 0x3F)));
    ASSERT_EQ(reserved.size(), 12u);
    EXPECT_EQ(reserved[2], "   Sampling frequency = [bl]0[/bl] kHz");
    EXPECT_EQ(reserved[3], "   Transmission bitrate = [bl]invalid[/bl] kbit/s");
    EXPECT_EQ(reserved[9], "   Transmission bitrate = [bl]768[/bl] kbit/s");
}

TEST(Ac3Inspector, FrameSizeCodePastTheTableIsInvalid) {
    // fscod 0, frmsizecod 63: no such bit rate. The next sync frame is reported too.
    const Bytes bad = {0x0B, 0x77, 0x00, 0x00, 0x3F, 0x40, 0xE0};
    const Lines lines = inspect(join(bad, kAc3_448k_51), {.number = 3});
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[2], "   Transmission bitrate = [bl]invalid[/bl] kbit/s");
    EXPECT_EQ(Lines(lines.begin() + 4, lines.end()), kAc3_448k_51Report);
}

TEST(Ac3Inspector, ReportsOnceUnlessTheSamplingFrequencyIsReserved) {
    EXPECT_EQ(inspect(join(kAc3_448k_51, kAc3_448k_51), {.number = 3}), kAc3_448k_51Report);

    // fscod 3 in AC-3: reported with 0 kHz, then the next header is read.
    const Bytes reserved = {0x0B, 0x77, 0x00, 0x00, 0xDE, 0x40, 0xE0};
    const Lines lines = inspect(join(reserved, kAc3_448k_51), {.number = 3});
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[1], "   Sampling frequency = [bl]0[/bl] kHz");
    EXPECT_EQ(Lines(lines.begin() + 4, lines.end()), kAc3_448k_51Report);
}

TEST(Ac3Inspector, SyncPairInsideTheHeaderIsSkipped) {
    // The 77 that completes 0B 77 within the header is passed over: fscod|frmsizecod is the
    // byte after it.
    const Bytes bytes = {0x0B, 0x77, 0x00, 0x0B, 0x77, 0x1E, 0x40, 0xE0};
    EXPECT_EQ(inspect(bytes, {.number = 3}), kAc3_448k_51Report);
}

TEST(Ac3Inspector, NothingWithoutACompleteHeaderInThePayload) {
    EXPECT_TRUE(inspect({0x0B, 0x00, 0x77, 0x1E, 0x40, 0xE0, 0x00}).empty());
    // Cut by the end of the block, and by the end of the payload within the block.
    EXPECT_TRUE(inspect({0x00, 0x0B, 0x77, 0x00, 0x00, 0x1E}).empty());
    EXPECT_TRUE(inspect(kAc3_448k_51, {.length = 6}).empty());
    // A chunk that claims more than the block holds is read only up to the block's end.
    EXPECT_TRUE(inspect({0x0B, 0x77, 0x00, 0x00, 0x1E, 0x40}, {.length = 4096}).empty());
}

// ffmpeg snippets (tests/inspect/data/make_audio_snippets.sh); ffprobe reports the same
// sampling frequency, channels and bit rate.
TEST(Ac3Inspector, EncoderSnippets) {
    // ac3, 5.1, 48 kHz, 448 kbit/s.
    EXPECT_EQ(inspect(audioSnippet("ac3_51_448k_48k.ac3"), {.number = 3}), kAc3_448k_51Report);

    // ac3, stereo, 44.1 kHz, 192 kbit/s.
    EXPECT_EQ(
        inspect(audioSnippet("ac3_20_192k_44k.ac3")),
        (Lines{"   Stream 0 is [b]Dolby Digital[/b]", "   Sampling frequency = [bl]44.1[/bl] kHz",
               "   Transmission bitrate = [bl]192[/bl] kbit/s",
               "   Channel arrangement = [bl]L + R[/bl], bsid = 8, bsmod =0"}));

    // eac3, 5.1, 48 kHz, 384 kbit/s: 1536-byte frames of 6 blocks.
    EXPECT_EQ(inspect(audioSnippet("eac3_51_384k_48k.eac3"), {.number = 1}),
              (Lines{"   Stream 1 is [b]Dolby Digital Plus[/b]",
                     "   frame size = 1536 bytes, number of blocks per frame = 6",
                     "   Sampling frequency = [bl]48[/bl] kHz",
                     "   Transmission bitrate = [bl]384[/bl] kbit/s",
                     "   Channel arrangement = [bl]L + R + C + Ls + Rs[/bl], bsid = 16",
                     "   LFE channel = [bl]present[/bl]"}));

    // eac3, stereo, 44.1 kHz, asked for 192 kbit/s; ffprobe: 191559 bit/s from 834-byte frames.
    const Lines stereo = inspect(audioSnippet("eac3_20_192k_44k.eac3"));
    ASSERT_EQ(stereo.size(), 6u);
    EXPECT_EQ(stereo[1], "   frame size = 834 bytes, number of blocks per frame = 6");
    EXPECT_EQ(stereo[2], "   Sampling frequency = [bl]44.1[/bl] kHz");
    EXPECT_EQ(stereo[3], "   Transmission bitrate = [bl]191[/bl] kbit/s");
    EXPECT_EQ(stereo[4], "   Channel arrangement = [bl]L + R[/bl], bsid = 16");
}
