#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/LpcmSamples.h"

namespace tessary {

class OutputFile;

// Writes one LPCM stream of a Demux as a WAV file: the header first, with its sizes filled in
// by `finish`, then the samples as little-endian PCM. The stream may arrive over several
// passes (a continued feature), in pieces of any size.
class LpcmWavWriter {
public:
    explicit LpcmWavWriter(OutputFile& file) : file_(file) {}

    // Part of an LPCM packet's payload, with the parameter byte of the packet's header (-1 when
    // unknown). The first packet with a valid format fixes the file's: a WAV cannot change its
    // format, so later packets are read in it too. Bytes before that packet are dropped.
    void write(const uint8_t* data, std::size_t length, int parameters);
    // Writes the header's sizes. A partial block left at the end is dropped, as a decoder
    // drops it. A stream that never had a valid format leaves the file empty.
    void finish();

private:
    void convert(const uint8_t* data, std::size_t length);

    OutputFile& file_;
    std::optional<LpcmFormat> format_;
    LpcmBlock block_{};
    // The start of a block cut by the end of a packet or of a read block.
    std::array<uint8_t, kMaxLpcmBlockBytes> carry_{};
    std::size_t carried_ = 0;
    std::vector<uint8_t> pcm_;
    uint64_t dataBytes_ = 0;
};

} // namespace tessary
