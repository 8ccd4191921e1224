#include "engine/PackEngine.h"

#include "engine/FrameCounter.h"
#include "engine/PackScanner.h"
#include "engine/StreamReport.h"
#include "platform/InputFile.h"
#include "platform/Reporter.h"

namespace tessary {

namespace {

// Offsets in the first block of the system header that follows the first pack header.
constexpr std::size_t kSystemHeaderStart = 16; // bytes 16, 17 = 01 BB
constexpr std::size_t kAudioBoundByte = 23;
constexpr std::size_t kVideoBoundByte = 24;

// Routes what the scanner finds: frame counting, then the report (Read pass) or the writer
// (Demux pass). Navigation data is taken in both passes.
class PassConsumer : public ScanListener {
public:
    PassConsumer(RunState& state, RunMode mode, StreamReport& report, ScanListener* writer)
        : state_(state), mode_(mode), report_(report), writer_(writer) {}

    void setOptions(const PassOptions& options) { options_ = options; }

    void streamEntered(StreamKind kind, int number, int code, VideoCodec video,
                       AudioCodec audio) override {
        report_.streamEntered(kind, number, code, video, audio);
    }

    void payload(const PayloadChunk& chunk) override {
        if (chunk.kind == PacketKind::Video && options_.countFrames &&
            (mode_ == RunMode::Read || options_.videoSelected[chunk.number])) {
            state_.frameCounts[chunk.number] += frames_.count(
                chunk.number, chunk.videoCodec, chunk.block + chunk.position, chunk.length);
        }
        if (mode_ == RunMode::Read) {
            if (options_.details) report_.details(chunk);
        } else if (writer_) {
            writer_->payload(chunk);
        }
    }

    bool dataSearchInformation(const uint8_t* data, std::size_t available) override {
        return report_.dataSearchInformation(data, available);
    }
    bool generalControlInformation(const uint8_t* data, std::size_t available) override {
        return report_.generalControlInformation(data, available);
    }

private:
    RunState& state_;
    RunMode mode_;
    StreamReport& report_;
    ScanListener* writer_;
    PassOptions options_;
    FrameCounter frames_;
};

} // namespace

std::string progressText(uint64_t position, uint64_t size, double elapsedDays,
                         const LocaleSettings& locale) {
    double remaining = 0;
    if (position > 0)
        remaining = elapsedDays * static_cast<double>(size) / static_cast<double>(position) -
                    elapsedDays + 1.0 / kSecondsPerDay;
    return std::to_string(position / kMebibyte) + "/" + std::to_string(size / kMebibyte) +
           " Mbytes, Remaining time: " + formatTime(remaining, "h:mm:ss", locale);
}

void demux(RunMode mode, RunState& state, InputFile& source, const std::string& sourcePath,
           PassHost& host, Reporter& out, const LocaleSettings& locale, ScanListener* writer) {
    const bool readPass = mode == RunMode::Read;
    host.setCancelEnabled(true);
    state.cancelFlag = false;
    state.writingPass = mode == RunMode::Demux;
    state.fastCheckStop = false;
    state.resetStreamTable();

    const SourceType sourceType = sourceTypeOf(sourcePath);
    StreamReport report(state, out, sourceType, readPass, locale);
    PassConsumer consumer(state, mode, report, writer);
    PackScanner scanner(state, mode, consumer);
    const double startTime = host.nowDays();
    const uint64_t size = source.size();
    uint8_t* const block = state.blockBuffer.data();

    while (source.position() < size && !state.cancelFlag && !state.fastCheckStop) {
        const std::size_t length = source.read(block, kBlockSize);
        if (length == 0) break; // the file shrank while it was read
        const uint64_t position = source.position();
        if (position % kProgressStep == 0) {
            out.slog(progressText(position, size, host.nowDays() - startTime, locale), 1);
            host.progress(position, size);
            host.processMessages();
        }
        const PassOptions options = host.passOptions();
        consumer.setOptions(options);
        if (readPass && options.fastCheck &&
            static_cast<int64_t>(position) >
                static_cast<int64_t>(options.fastSizeMb) * static_cast<int64_t>(kMebibyte))
            state.fastCheckStop = true;
        if (position % kRepaintStep == 0) host.repaint();
        if (readPass && position == kBlockSize && block[kSystemHeaderStart] == 0x01 &&
            block[kSystemHeaderStart + 1] == 0xBB) {
            report.setBounds(block[kVideoBoundByte] & 0x1F, block[kAudioBoundByte] >> 2);
            if (sourceType == SourceType::Aob) report.dvdAudioSummary();
        }
        scanner.scanBlock(block, length);
    }

    if (state.cancelFlag) state.frameCounts = {0, 0};
    host.setCancelEnabled(false);
}

} // namespace tessary
