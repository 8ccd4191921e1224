// Fuzz target: arbitrary bytes through the Read pass's scanner, stream report and inspectors,
// cut into blocks at a size taken from the input, so that headers and payloads straddle them.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/FrameCounter.h"
#include "engine/PackScanner.h"
#include "engine/StreamReport.h"
#include "platform/Reporter.h"

namespace {

class NullReporter : public tessary::Reporter {
public:
    void log(std::string_view) override {}
    void slog(std::string_view, int) override {}
};

class ReadPass : public tessary::ScanListener {
public:
    ReadPass(tessary::RunState& state, tessary::StreamReport& report)
        : state_(state), report_(report) {}
    void streamEntered(tessary::StreamKind kind, int number, int code, tessary::VideoCodec video,
                       tessary::AudioCodec audio) override {
        report_.streamEntered(kind, number, code, video, audio);
    }
    void payload(const tessary::PayloadChunk& chunk) override {
        if (chunk.kind == tessary::PacketKind::Video)
            state_.frameCounts[chunk.number] += frames_.count(
                chunk.number, chunk.videoCodec, chunk.block + chunk.position, chunk.length);
        report_.details(chunk);
    }
    bool dataSearchInformation(const uint8_t* data, std::size_t available) override {
        return report_.dataSearchInformation(data, available);
    }
    bool generalControlInformation(const uint8_t* data, std::size_t available) override {
        return report_.generalControlInformation(data, available);
    }

private:
    tessary::RunState& state_;
    tessary::StreamReport& report_;
    tessary::FrameCounter frames_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::size_t blockSize = 1 + (static_cast<std::size_t>(data[0]) << 4 | data[1]);
    const auto source = static_cast<tessary::SourceType>(data[0] % 3);
    data += 2;
    size -= 2;

    tessary::RunState state;
    NullReporter out;
    tessary::StreamReport report(state, out, source, true, {});
    ReadPass pass(state, report);
    tessary::PackScanner scanner(state, tessary::RunMode::Read, pass);
    // Each block in a buffer of its own size, so that any read past its end is caught.
    for (std::size_t offset = 0; offset < size; offset += blockSize) {
        const std::size_t n = size - offset < blockSize ? size - offset : blockSize;
        std::vector<uint8_t> block(data + offset, data + offset + n);
        scanner.scanBlock(block.data(), block.size());
    }
    return 0;
}
