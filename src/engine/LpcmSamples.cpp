#include "engine/LpcmSamples.h"

namespace tessary {

std::optional<LpcmFormat> lpcmFormatOf(uint8_t parameters) {
    const int quantization = parameters >> 6;
    const int frequency = (parameters >> 4) & 3;
    if (quantization == 3 || frequency == 3) return std::nullopt;
    return LpcmFormat{16 + 4 * quantization, 48000 << frequency, (parameters & 7) + 1};
}

int pcmSampleBytes(const LpcmFormat& format) {
    return format.bits == 16 ? 2 : 3;
}

LpcmBlock lpcmBlockOf(const LpcmFormat& format) {
    const std::size_t channels = static_cast<std::size_t>(format.channels);
    // 20 and 24 bits: four samples (one group of four, two of two for mono) when they hold
    // whole frames, eight for eight channels, else four frames.
    std::size_t samples = channels;
    if (format.bits != 16) samples = channels == 8 ? 8 : 4 % channels == 0 ? 4 : 4 * channels;
    return {samples * static_cast<std::size_t>(format.bits) / 8,
            samples * static_cast<std::size_t>(pcmSampleBytes(format))};
}

std::size_t lpcmToPcm(const LpcmFormat& format, std::span<const uint8_t> disc, uint8_t* out) {
    const LpcmBlock block = lpcmBlockOf(format);
    const std::size_t length = disc.size() / block.discBytes * block.discBytes;
    const uint8_t* in = disc.data();
    if (format.bits == 16) {
        for (std::size_t i = 0; i < length; i += 2) {
            out[i] = in[i + 1];
            out[i + 1] = in[i];
        }
        return length;
    }
    const std::size_t group = format.channels == 1 ? 2 : 4;
    const std::size_t groupBytes = group * static_cast<std::size_t>(format.bits) / 8;
    uint8_t* o = out;
    for (const uint8_t* g = in; g < in + length; g += groupBytes) {
        const uint8_t* low = g + 2 * group;
        for (std::size_t i = 0; i < group; ++i, o += 3) {
            if (format.bits == 24)
                o[0] = low[i];
            else
                o[0] = i % 2 == 0 ? low[i / 2] & 0xF0 : static_cast<uint8_t>(low[i / 2] << 4);
            o[1] = g[2 * i + 1];
            o[2] = g[2 * i];
        }
    }
    return static_cast<std::size_t>(o - out);
}

} // namespace tessary
