// Fuzz target: arbitrary text as the command line's stream selection. A list either fails
// with std::invalid_argument or gives keys of real stream boxes that read back the same when
// written out again.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "jobs/StreamKeys.h"
#include "streams/StreamSlots.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace tessary;
    std::vector<StreamKey> keys;
    try {
        keys = parseSelection(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const std::invalid_argument&) {
        return 0;
    }
    std::string written;
    for (const StreamKey& key : keys) {
        const int slot = slotOfKey(key);
        if (slot < 1 || slot >= tessary::kStreamSlotCount || !(keyOfSlot(slot) == key))
            __builtin_trap();
        written += (written.empty() ? "" : ",") + keyName(key);
    }
    if (!keys.empty() && parseSelection(written) != keys) __builtin_trap();
    return 0;
}
