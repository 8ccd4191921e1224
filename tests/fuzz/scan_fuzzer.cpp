// Fuzz target: arbitrary bytes through the real pass (scanner, frame counting, stream report
// and inspectors; every second input as a Demux pass writing into memory), cut into blocks at
// a size taken from the input, so that headers and payloads straddle them. Every other Demux
// pass writes the audio streams as WAV. Then the scanner alone, in the same blocks, reading
// the headers that lie whole in a block in one go and a byte at a time: what it finds must
// be the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/DemuxWriter.h"
#include "engine/LpcmWavWriter.h"
#include "engine/PackScanner.h"
#include "engine/Pass.h"
#include "platform/OutputFile.h"
#include "platform/Reporter.h"

namespace {

class NullReporter : public tessary::Reporter {
public:
    void log(std::string_view) override {}
    void slog(std::string_view, int) override {}
};

class NullOutput : public tessary::OutputFile {
public:
    void append(const uint8_t*, std::size_t) override {}
    void writeAt(uint64_t, const uint8_t*, std::size_t) override {}
    void close() override {}
    void commit() override {}
    const std::string& writtenPath() const override { return path_; }

private:
    std::string path_;
};

// What the scanner hands over, the payload of each stream joined up whatever the blocks.
class ScanRecord : public tessary::PassListener {
public:
    void streamEntered(tessary::StreamKind kind, int number, int code) override {
        entered.emplace_back(kind, number, code);
    }
    void payload(const tessary::PayloadChunk& c) override {
        auto& bytes = payloads[{c.kind, c.number}];
        bytes.insert(bytes.end(), c.block + c.position, c.block + c.position + c.length);
        if (c.firstOfPacket)
            packets.emplace_back(c.kind, c.number, c.lastPts, c.packetHasPts, c.streamPts,
                                 c.substreamId, c.videoCode, c.lpcmParameters, c.headerRest);
    }
    bool operator==(const ScanRecord& other) const {
        return entered == other.entered && payloads == other.payloads && packets == other.packets;
    }

    std::vector<std::tuple<tessary::StreamKind, int, int>> entered;
    std::map<std::pair<tessary::PacketKind, int>, std::vector<uint8_t>> payloads;
    std::vector<std::tuple<tessary::PacketKind, int, uint32_t, bool, uint32_t, int, int, int, int>>
        packets;
};

ScanRecord scanInBlocks(const uint8_t* data, std::size_t size, std::size_t blockSize,
                        tessary::SourceType source, tessary::RunMode mode, bool wholeHeaders) {
    tessary::RunState state;
    ScanRecord record;
    tessary::PackScanner scanner(state, mode, source, record);
    scanner.readWholeHeaders(wholeHeaders);
    for (std::size_t offset = 0; offset < size; offset += blockSize) {
        const std::size_t n = size - offset < blockSize ? size - offset : blockSize;
        std::vector<uint8_t> block(data + offset, data + offset + n);
        scanner.scanBlock(block.data(), block.size());
    }
    return record;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::size_t blockSize = 1 + (static_cast<std::size_t>(data[0]) << 4 | data[1]);
    const auto source = static_cast<tessary::SourceType>(data[0] % 3);
    const auto mode = data[1] & 1 ? tessary::RunMode::Demux : tessary::RunMode::Read;
    const bool wav = data[1] & 2;
    data += 2;
    size -= 2;

    tessary::RunState state;
    NullReporter out;
    tessary::Pass pass(mode, state, source, out);
    NullOutput output;
    tessary::DemuxOutputs outputs;
    outputs.bySlot.fill(&output);
    std::vector<tessary::LpcmWavWriter> wavs(tessary::kAudioStreams,
                                             tessary::LpcmWavWriter(output));
    for (std::size_t i = 0; wav && i < wavs.size(); ++i)
        outputs.wavByAudio[i] = &wavs[i];
    tessary::DemuxWriter writer(outputs, 90000, state.streamTable);
    if (mode == tessary::RunMode::Demux) pass.addListener(writer);
    tessary::PassOptions options;
    options.fastCheck = false;
    pass.setOptions(options);
    // Each block in a buffer of its own size, so that any read past its end is caught.
    for (std::size_t offset = 0; offset < size; offset += blockSize) {
        const std::size_t n = size - offset < blockSize ? size - offset : blockSize;
        std::vector<uint8_t> block(data + offset, data + offset + n);
        pass.feed(block.data(), block.size(), offset);
    }
    for (tessary::LpcmWavWriter& writer : wavs)
        writer.finish();

    for (const std::size_t blocks : {blockSize, size})
        if (scanInBlocks(data, size, blocks, source, mode, true) !=
            scanInBlocks(data, size, blocks, source, mode, false))
            std::abort();
    return 0;
}
