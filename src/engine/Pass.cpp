#include "engine/Pass.h"

#include "engine/NavigationLayout.h"
#include "engine/PackEngine.h"

namespace tessary {

Pass::Pass(RunMode mode, RunState& state, SourceType source, Reporter& out,
           const LocaleSettings& locale)
    : mode_(mode), state_(state), source_(source),
      report_(state, out, source, mode == RunMode::Read, locale),
      scanner_(state, mode, source, *this) {
    state.cancelFlag = false;
    state.writingPass = mode == RunMode::Demux;
    state.fastCheckStop = false;
    state.resetStreamTable();
    listeners_.push_back(&report_);
}

void Pass::feed(const uint8_t* block, std::size_t length, uint64_t position) {
    const bool readPass = mode_ == RunMode::Read;
    const uint64_t end = position + length;
    if (readPass && options_.fastCheck &&
        static_cast<int64_t>(end) >
            static_cast<int64_t>(options_.fastSizeMb) * static_cast<int64_t>(kMebibyte))
        state_.fastCheckStop = true;
    // The system header is looked for only when the first block was read whole.
    if (readPass && position == 0 && length == kBlockSize &&
        block[nav::kSystemHeaderStartCode] == 0x01 &&
        block[nav::kSystemHeaderStartCode + 1] == 0xBB) {
        report_.setBounds(block[nav::kVideoBoundByte] & 0x1F, block[nav::kAudioBoundByte] >> 2);
        if (source_ == SourceType::Aob) report_.dvdAudioSummary();
    }
    report_.setDetails(options_.details);
    scanner_.scanBlock(block, length);
    for (PassListener* listener : listeners_)
        listener->blockEnded();
}

void Pass::streamEntered(StreamKind kind, int number, int code) {
    for (PassListener* listener : listeners_)
        listener->streamEntered(kind, number, code);
}

void Pass::payload(const PayloadChunk& chunk) {
    if (chunk.kind == PacketKind::Video && options_.countFrames && counted_[chunk.number])
        state_.frameCounts[chunk.number] += frames_.count(
            chunk.number, chunk.videoCodec, chunk.block + chunk.position, chunk.length);
    for (PassListener* listener : listeners_)
        listener->payload(chunk);
}

bool Pass::dataSearchInformation(const uint8_t* data, std::size_t available) {
    bool taken = false;
    for (PassListener* listener : listeners_)
        taken = listener->dataSearchInformation(data, available) || taken;
    return taken;
}

bool Pass::generalControlInformation(const uint8_t* data, std::size_t available) {
    bool taken = false;
    for (PassListener* listener : listeners_)
        taken = listener->generalControlInformation(data, available) || taken;
    return taken;
}

} // namespace tessary
