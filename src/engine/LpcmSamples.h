#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tessary {

// The sample format of a DVD-Video style LPCM stream, from the parameter byte of its substream
// header: word length << 6 | sampling frequency << 4 | channels - 1.
struct LpcmFormat {
    int bits = 16;          // 16, 20 or 24
    int sampleRate = 48000; // 48000, 96000 or 192000
    int channels = 2;       // 1 to 8
    bool operator==(const LpcmFormat&) const = default;
};

// nullopt for the reserved word length and sampling frequency (code 3 of each).
std::optional<LpcmFormat> lpcmFormatOf(uint8_t parameters);

// Bytes of one sample in little-endian PCM: 2 for 16 bits, a 24-bit container for 20 and 24.
int pcmSampleBytes(const LpcmFormat& format);

// The disc's samples come in blocks, the smallest runs of whole sample frames that the layout
// repeats: its size on the disc and as PCM.
struct LpcmBlock {
    std::size_t discBytes;
    std::size_t pcmBytes;
};
LpcmBlock lpcmBlockOf(const LpcmFormat& format);

// The largest block: 24 bits, 7 channels (28 samples).
inline constexpr std::size_t kMaxLpcmBlockBytes = 84;

// Turns the whole blocks at the start of `disc` into little-endian PCM at `out`, which has room
// for disc.size() / discBytes * pcmBytes bytes; returns the bytes written. What follows the
// last whole block is not read.
//
// The disc's layout: samples interleaved frame by frame, big-endian. 16 bits: each sample as
// it is. 20 and 24 bits: groups of four samples (two for mono), first the high 16 bits of each
// sample of the group, then their low bits: a byte each (24 bits) or a nibble each, two to a
// byte, the first sample's high (20 bits). A 20-bit sample is left-justified in its container.
std::size_t lpcmToPcm(const LpcmFormat& format, std::span<const uint8_t> disc, uint8_t* out);

} // namespace tessary
