// Fuzz target: arbitrary packs through the Rebuild's pack filter. The first bytes give the
// stream table (one identifier per slot, 0xFF for none), the kept boxes, the advanced-pack
// choice and the video PTMs; the rest is cut into 2048-byte packs, the last one shorter, each
// in a buffer of its own exact length so that a read or write past it is caught.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ops/PackFilter.h"

using tessary::kStreamSlotCount;

namespace {
constexpr std::size_t kPack = 2048;
constexpr std::size_t kKeptBytes = (kStreamSlotCount + 1 + 7) / 8; // one more bit: ADV_PCK
constexpr std::size_t kHeader = kStreamSlotCount + kKeptBytes + 8;

uint32_t word(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace tessary;
    if (size < kHeader) return 0;
    std::array<int32_t, kStreamSlotCount> table{};
    for (std::size_t slot = 0; slot < table.size(); ++slot)
        table[slot] = data[slot] == 0xFF ? kNoStream : data[slot];
    const uint8_t* kept = data + kStreamSlotCount;
    RebuildSelection selection;
    for (std::size_t slot = 0; slot < selection.kept.size(); ++slot)
        selection.kept[slot] = kept[slot / 8] >> (slot % 8) & 1;
    selection.advancedPacks = kept[kStreamSlotCount / 8] >> (kStreamSlotCount % 8) & 1;
    const uint8_t* ptms = kept + kKeptBytes;
    PackFilter filter(table, selection, word(ptms), word(ptms + 4));
    data += kHeader;
    size -= kHeader;

    for (std::size_t offset = 0; offset < size; offset += kPack) {
        const std::size_t n = size - offset < kPack ? size - offset : kPack;
        std::vector<uint8_t> pack(data + offset, data + offset + n);
        filter.filter(pack.data(), pack.size());
    }
    return 0;
}
