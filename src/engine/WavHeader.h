#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "engine/LpcmSamples.h"

namespace tessary {

// RIFF/WAVE header, fmt chunk, JUNK or ds64 chunk, the data chunk's header.
inline constexpr std::size_t kWavHeaderSize = 104;

// The header of a WAV file holding `dataBytes` bytes of PCM (an even number: whole blocks) in
// `format`: WAVE_FORMAT_EXTENSIBLE with the valid bits, the container and the speaker mask of
// the channel count. The 28-byte chunk after "WAVE" is JUNK while the file's sizes fit in 32
// bits; past that the file is RF64 and the chunk becomes ds64, holding the sizes whose 32-bit
// fields read 0xFFFFFFFF. Both have the same length, so the header is rewritten in place.
std::array<uint8_t, kWavHeaderSize> wavHeader(const LpcmFormat& format, uint64_t dataBytes);

} // namespace tessary
