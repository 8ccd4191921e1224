#pragma once

#include <cstddef>
#include <cstdint>

#include "inspect/BitReader.h"
#include "inspect/InspectorSeam.h"

namespace tessary {

inline constexpr std::size_t kNotFound = SIZE_MAX;

// Index of the first byte of a 32-bit big-endian word that `matches` accepts and that lies
// wholly inside the payload (clipped to the block), or kNotFound.
template <class Matches>
std::size_t findWordInPayload(const InspectorInput& input, Matches matches) {
    if (input.block == nullptr || input.position >= input.blockLength) return kNotFound;
    const std::size_t available = input.blockLength - input.position;
    const std::size_t length = input.length < available ? input.length : available;
    if (length < 4) return kNotFound;
    BitReader reader(input.block, input.blockLength, input.position);
    reader.loadWindow();
    const std::size_t lastStart = input.position + (length - 4);
    for (std::size_t at = input.position; at <= lastStart; ++at) {
        if (matches(reader.window())) return at;
        reader.skipBits(8);
    }
    return kNotFound;
}

} // namespace tessary
