#include <gtest/gtest.h>

#include "AudioInspectorTesting.h"

using namespace tessary;
using namespace tessary::test;

namespace {

Lines inspect(const Bytes& block, AudioChunk chunk = {}) {
    return inspectAudio(InspectedCodec::Dts, block, chunk);
}

// The fields of a core frame header (ETSI TS 102 114) that the report shows.
struct CoreHeader {
    unsigned cpf = 0;
    unsigned fsize = 2011;
    unsigned amode = 9;  // C + L + R + Ls + Rs
    unsigned sfreq = 13; // 48 kHz
    unsigned rate = 24;  // 1536 kbit/s
    unsigned extAudioId = 0;
    unsigned extAudio = 0;
    unsigned lff = 2;
    unsigned hcrc = 0xBEEF;
    unsigned vernum = 7;
    unsigned pcmr = 6; // 24 bits
};

// Sync word, then the header fields most-significant bit first, then four zero bytes.
Bytes coreFrame(const CoreHeader& h) {
    Bytes out = {0x7F, 0xFE, 0x80, 0x01};
    int used = 0;
    auto put = [&](unsigned value, int count) {
        for (int i = count - 1; i >= 0; --i) {
            if (used == 0) out.push_back(0);
            if ((value >> i) & 1) out.back() |= static_cast<uint8_t>(0x80 >> used);
            used = (used + 1) % 8;
        }
    };
    put(1, 1);     // FTYPE
    put(31, 5);    // SHORT
    put(h.cpf, 1); // CPF
    put(15, 7);    // NBLKS
    put(h.fsize, 14);
    put(h.amode, 6);
    put(h.sfreq, 4);
    put(h.rate, 5);
    put(0, 5); // MIX, DYNF, TIMEF, AUXF, HDCD
    put(h.extAudioId, 3);
    put(h.extAudio, 1);
    put(0, 1); // ASPF
    put(h.lff, 2);
    put(0, 1); // HFLAG
    if (h.cpf) put(h.hcrc, 16);
    put(0, 1); // FILTS
    put(h.vernum, 4);
    put(0, 2); // CHIST
    put(h.pcmr, 3);
    out.insert(out.end(), 4, 0);
    return out;
}

const Lines k51Report = {"   PCM core samples = 32",
                         "   PCM sample blocks = 16",
                         "   Primary frame byte size = 2011",
                         "   Channel arrangement = [bl]C + L + R + Ls + Rs[/bl]",
                         "   Sampling frequency = [bl]48[/bl] kHz",
                         "   Transmission bitrate = [bl]1536[/bl] kbit/s",
                         "   LFE channel = [bl]present[/bl] (IF:64)",
                         "   Encoder software rev. = 7, Current",
                         "   Source PCM resolution = [bl]24[/bl] bits"};

} // namespace

TEST(DtsInspector, Reports51CoreHeaderWithAndWithoutCrc) {
    EXPECT_EQ(inspect(coreFrame({})), k51Report);

    Lines withCrc = k51Report;
    withCrc.insert(withCrc.begin() + 7, "   Header CRC = BEEF");
    EXPECT_EQ(inspect(coreFrame({.cpf = 1})), withCrc);
}

TEST(DtsInspector, CodesWithoutAValueAreNamed) {
    const Lines lines = inspect(coreFrame({.amode = 20,
                                           .sfreq = 0,
                                           .rate = 31,
                                           .extAudioId = 2,
                                           .extAudio = 1,
                                           .lff = 3,
                                           .vernum = 9,
                                           .pcmr = 4}));
    EXPECT_EQ(lines, (Lines{"   PCM core samples = 32", "   PCM sample blocks = 16",
                            "   Primary frame byte size = 2011",
                            "   Channel arrangement = [bl]User defined[/bl]",
                            "   Sampling frequency = [bl]Invalid[/bl] kHz",
                            "   Transmission bitrate = [bl]Loss-less[/bl] kbit/s",
                            "   Extension audio = Frequency extension", "   LFE channel = invalid",
                            "   Encoder software rev. = 9, Future rev. (incompatible",
                            "   Source PCM resolution = "}));
    EXPECT_EQ(inspect(coreFrame({.vernum = 6}))[7],
              "   Encoder software rev. = 6, Future rev. (compatible)");
}

TEST(DtsInspector, EveryCoreFrameAndExtensionIsReported) {
    const Lines two = inspect(join(coreFrame({}), coreFrame({.cpf = 1})));
    ASSERT_EQ(two.size(), 19u);
    EXPECT_EQ(Lines(two.begin(), two.begin() + 9), k51Report);
    EXPECT_EQ(two[16], "   Header CRC = BEEF");

    EXPECT_EQ(inspect({0x5A, 0x5A, 0x5A, 0x5A, 0x00}), (Lines{"   Channel extension found"}));
    EXPECT_EQ(inspect({0x00, 0x1D, 0x95, 0xF2, 0x62, 0x00}),
              (Lines{"   Frequency extensiond found ([bl]96[/bl] kHz)"}));
    // Behind a core header, the scan goes on and finds the channel extension.
    const Lines withXch = inspect(join(coreFrame({}), {0x5A, 0x5A, 0x5A, 0x5A, 0x00}));
    ASSERT_EQ(withXch.size(), 10u);
    EXPECT_EQ(withXch.back(), "   Channel extension found");
}

TEST(DtsInspector, HeaderReadsOnIntoTheBlockButNotBeyond) {
    // The payload ends two bytes behind the sync word; the header is read from the bytes that
    // follow in the block.
    EXPECT_EQ(inspect(coreFrame({}), {.length = 6}), k51Report);
    // A sync word completed by the payload's last byte is not looked at.
    EXPECT_TRUE(inspect(coreFrame({}), {.length = 4}).empty());
    // A header cut by the end of the block reads zero bits from there on.
    const Lines cut = inspect({0x7F, 0xFE, 0x80, 0x01, 0xFC, 0x3C});
    ASSERT_EQ(cut.size(), 9u);
    EXPECT_EQ(cut[2], "   Primary frame byte size = 0");
    EXPECT_EQ(cut[3], "   Channel arrangement = [bl]A (mono)[/bl]");
}

// ffmpeg snippets (tests/inspect/data/make_audio_snippets.sh); ffprobe reports the same
// sampling frequency, channels and bit rate.
TEST(DtsInspector, EncoderSnippets) {
    // dca, 5.1, 48 kHz, 768 kbit/s: two 1024-byte frames of 512 samples, both reported.
    const Bytes surround = audioSnippet("dts_51_768k_48k.dts");
    const Lines frame = {"   PCM core samples = 32",
                         "   PCM sample blocks = 16",
                         "   Primary frame byte size = 1023",
                         "   Channel arrangement = [bl]C + L + R + Ls + Rs[/bl]",
                         "   Sampling frequency = [bl]48[/bl] kHz",
                         "   Transmission bitrate = [bl]768[/bl] kbit/s",
                         "   LFE channel = [bl]present[/bl] (IF:64)",
                         "   Encoder software rev. = 7, Current",
                         "   Source PCM resolution = [bl]16[/bl] bits"};
    Lines both = frame;
    both.insert(both.end(), frame.begin(), frame.end());
    EXPECT_EQ(inspect(surround), both);
    // FSIZE is the frame's byte count minus one: the second sync word is 1024 bytes on.
    ASSERT_GE(surround.size(), 1028u);
    EXPECT_EQ(Bytes(surround.begin() + 1024, surround.begin() + 1028),
              (Bytes{0x7F, 0xFE, 0x80, 0x01}));

    // dca, stereo, 44.1 kHz, 1411.2 kbit/s.
    const Lines stereo = inspect(audioSnippet("dts_20_1411k_44k.dts"));
    ASSERT_EQ(stereo.size(), 9u);
    EXPECT_EQ(stereo[2], "   Primary frame byte size = 2047");
    EXPECT_EQ(stereo[3], "   Channel arrangement = [bl]L + R (stereo)[/bl]");
    EXPECT_EQ(stereo[4], "   Sampling frequency = [bl]44,1[/bl] kHz");
    EXPECT_EQ(stereo[5], "   Transmission bitrate = [bl]1411,2[/bl] kbit/s");
    EXPECT_EQ(stereo[6], "   LFE channel = not present");
}
