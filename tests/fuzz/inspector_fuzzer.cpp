// Fuzz target: one codec inspector (chosen by the first byte) over arbitrary payload bytes,
// with the chunk placed anywhere in a block that may end right behind it.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "inspect/InspectorSeam.h"
#include "platform/Reporter.h"

namespace {
class NullReporter : public tessary::Reporter {
public:
    void log(std::string_view) override {}
    void slog(std::string_view, int) override {}
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    tessary::InspectorInput input{};
    input.codec = static_cast<tessary::InspectedCodec>(data[0] % 7);
    input.number = data[1] & 1;
    input.substreamId = 0xA0 | (data[1] >> 4);
    input.dvdAudioSource = data[1] & 2;
    const std::size_t lead = data[2] % 16; // bytes before the chunk (LPCM reads them)
    data += 3;
    size -= 3;
    std::vector<uint8_t> block(data, data + size);
    input.block = block.data();
    input.blockLength = block.size();
    input.position = lead < size ? lead : size;
    input.length = size - input.position;
    input.firstPts = 0x12345;
    NullReporter out;
    tessary::inspectStream(input, out);
    return 0;
}
