// LPCM as WAV: the disc's sample layouts turned into little-endian PCM, the WAV header and its
// switch to RF64, and the WAV of each fixture sample for sample against ffmpeg's decoding.
#include <gtest/gtest.h>

#include "DemuxBytes.h"
#include "LpcmFixtures.h"

using namespace tessary;
using namespace tessary::test;

namespace {

// Hex digits in pairs; spaces are left out.
Bytes hexBytes(std::string hex) {
    std::erase(hex, ' ');
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

const StreamRef kAudio0{StreamKind::Audio, 0};

} // namespace

TEST(LpcmSamples, EachLayoutBecomesLittleEndianPcm) {
    struct Row {
        const char* name;
        uint8_t parameters;
        std::string disc, pcm;
    };
    // High parts 1122 3344 5566 7788 of four samples, then their low bits; bytes after the
    // last whole block are left.
    const Row rows[] = {
        {"16 bits stereo", 0x01, "1122 3344 5566", "2211 4433"},
        {"24 bits stereo", 0x81, "1122 3344 5566 7788 A1A2A3A4 99", "A12211 A24433 A36655 A48877"},
        {"20 bits stereo", 0x41, "1122 3344 5566 7788 ABCD", "A02211 B04433 C06655 D08877"},
        // Mono groups two samples; a block holds two groups.
        {"24 bits mono", 0x80, "1122 3344 A1A2 5566 7788 B1B2", "A12211 A24433 B16655 B28877"},
        {"20 bits mono", 0x40, "1122 3344 AB 5566 7788 CD 1122", "A02211 B04433 C06655 D08877"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const LpcmFormat format = *lpcmFormatOf(row.parameters);
        const Bytes disc = hexBytes(row.disc);
        Bytes pcm(disc.size() * 2);
        pcm.resize(lpcmToPcm(format, disc, pcm.data()));
        EXPECT_EQ(pcm, hexBytes(row.pcm));
    }
}

TEST(WavHeader, FieldsOfTheFormat) {
    EXPECT_EQ(lpcmFormatOf(0x01), (LpcmFormat{16, 48000, 2}));
    EXPECT_EQ(lpcmFormatOf(0x67), (LpcmFormat{20, 192000, 8}));
    EXPECT_EQ(lpcmFormatOf(0xC1), std::nullopt); // reserved word length
    EXPECT_EQ(lpcmFormatOf(0x31), std::nullopt); // reserved sampling frequency

    // 20 bits, 96 kHz, 6 channels, 1440 bytes: 24-bit containers, 20 valid bits, 5.1.
    const auto header = wavHeader({20, 96000, 6}, 1440);
    EXPECT_EQ(Bytes(header.begin(), header.end()),
              hexBytes("52494646 00060000 57415645"            // RIFF, 1536, WAVE
                       "4A554E4B 1C000000" +                   // JUNK, 28
                       std::string(56, '0') +                  // (zeros)
                       "666D7420 28000000 FEFF 0600 00770100"  // fmt, 40, 6 ch, 96 kHz
                       "005E1A00 1200 1800 1600 1400 3F000000" // bytes/s, align, 24, 20, 5.1
                       "01000000 00001000 800000AA 00389B71"   // PCM subtype
                       "64617461 A0050000"));                  // data, 1440
    // The container of 16 bits; the speakers of 8 channels (7.1 with side channels).
    const auto h = wavHeader({16, 48000, 8}, 0);
    EXPECT_EQ(Bytes(h.begin() + 68, h.begin() + 80), hexBytes("1000 1000 1600 1000 3F060000"));
}

TEST(WavHeader, BecomesRf64InPlaceWhenTheSizesPassFourGibibytes) {
    const LpcmFormat format{24, 48000, 2};
    // The most whole frames of six bytes that the 32-bit RIFF size can count.
    const uint64_t largest = 0xFFFFFF9C;
    const auto riff = wavHeader(format, largest);
    EXPECT_EQ(Bytes(riff.begin(), riff.begin() + 8), hexBytes("52494646 FCFFFFFF"));
    EXPECT_EQ(Bytes(riff.begin() + 12, riff.begin() + 16), hexBytes("4A554E4B"));
    EXPECT_EQ(Bytes(riff.begin() + 100, riff.end()), hexBytes("9CFFFFFF"));

    const auto rf64 = wavHeader(format, largest + 6);
    EXPECT_EQ(Bytes(rf64.begin(), rf64.begin() + 48),
              hexBytes("52463634 FFFFFFFF 57415645 64733634 1C000000" // RF64, -1, WAVE, ds64, 28
                       "02000000 01000000 A2FFFFFF 00000000"          // RIFF and data sizes
                       "9BAAAA2A 00000000 00000000"));                // frames, empty table
    EXPECT_EQ(Bytes(rf64.begin() + 100, rf64.end()), hexBytes("FFFFFFFF"));
    // The format chunk stays where it was.
    EXPECT_EQ(Bytes(rf64.begin() + 48, rf64.begin() + 100),
              Bytes(riff.begin() + 48, riff.begin() + 100));
}

// Each fixture fed in blocks of an odd size, so that LPCM headers and groups of samples
// straddle blocks and packets: its WAV holds exactly what ffmpeg decodes.
TEST(LpcmWav, EachFixtureHoldsWhatFfmpegDecodes) {
    for (const LpcmFixture& fixture : lpcmFixtures()) {
        SCOPED_TRACE(fixture.name);
        const Bytes source = readFile(lpcmFixturePath(fixture.name + ".vob"));
        const Bytes decoded = readFile(lpcmFixturePath(fixture.name + ".raw"));
        ASSERT_FALSE(decoded.empty());
        EXPECT_EQ(demuxBytes(source, kNoPts, {kAudio0}, true).bytes("a0"),
                  wavFile(fixture.format, decoded));
    }
}

// The first packet with a valid format fixes the file's; packets of another codec with the
// same number stay out.
TEST(LpcmWav, KeepsTheFirstValidFormatAndOnlyLpcm) {
    const Bytes reserved = randomBytes(400, 1), first = randomBytes(1000, 2),
                other = randomBytes(300, 3), later = randomBytes(602, 4);
    PackWriter w;
    w.addPayload(Stream::lpcm(0, {0x00, 0xC1, 0x80}), reserved, {.pts = 9000});
    w.addPayload(Stream::lpcm(0, {0x00, 0x01, 0x80}), first, {.maxPerPack = 333});
    w.addPayload(Stream::ac3(0), other);
    w.addPayload(Stream::lpcm(0, {0x00, 0x95, 0x80}), later);
    // 16-bit stereo: whole frames of four bytes, each sample swapped.
    Bytes samples = concat({first, later});
    samples.resize(samples.size() / 4 * 4);
    for (std::size_t i = 0; i < samples.size(); i += 2)
        std::swap(samples[i], samples[i + 1]);
    EXPECT_EQ(demuxBytes(w.bytes(), kNoPts, {kAudio0}, true).bytes("a0"),
              wavFile({16, 48000, 2}, samples));
}
