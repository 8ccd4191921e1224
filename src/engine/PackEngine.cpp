#include "engine/PackEngine.h"

#include <algorithm>
#include <optional>

#include "engine/BlockReader.h"
#include "engine/DemuxWriter.h"
#include "engine/Pass.h"
#include "engine/PieceWriter.h"
#include "engine/TurnTakingScan.h"
#include "platform/HeldReporter.h"
#include "platform/InputFile.h"
#include "platform/Reporter.h"

namespace tessary {

std::string progressText(uint64_t position, uint64_t size, double elapsedDays,
                         const LocaleSettings& locale) {
    double remaining = 0;
    if (position > 0)
        remaining = elapsedDays * static_cast<double>(size) / static_cast<double>(position) -
                    elapsedDays + 1.0 / kSecondsPerDay;
    return std::to_string(position / kMebibyte) + "/" + std::to_string(size / kMebibyte) +
           " Mbytes, Remaining time: " + formatTime(remaining, "h:mm:ss", locale);
}

namespace {

// A Read pass on two threads taking turns. The scans on the second thread must not write to
// the program's log, so the pass reports into a held reporter, which the calling thread
// passes on at its turns, where it also serves the progress line, the messages (Cancel) and
// the options, as the one-thread loop does before each block.
class ReadTurns : public TurnTakingScan::Work {
public:
    ReadTurns(Pass& pass, HeldReporter& held, RunState& state, PassHost& host, Reporter& out,
              const LocaleSettings& locale, uint64_t size)
        : pass_(pass), held_(held), state_(state), host_(host), out_(out), locale_(locale),
          size_(size), startTime_(host.nowDays()) {}

    bool scan(const TurnTakingScan::Block& block) override {
        pass_.feed(block.data, block.length, block.start);
        scannedTo_ = block.start + block.length;
        return !state_.cancelFlag && !state_.fastCheckStop;
    }
    void callerTurn(const TurnTakingScan::Block& block) override {
        held_.release();
        serve(block.start + block.length);
        pass_.setOptions(host_.passOptions());
    }
    // After the last scan: what it held, and the progress step it reached.
    void finish() {
        held_.release();
        serve(scannedTo_);
    }

private:
    // The progress line of the last 4 MiB step reached at `position` unless it was shown, and
    // a repaint every 64 MiB.
    void serve(uint64_t position) {
        if (position / kProgressStep > shownTo_ / kProgressStep) {
            const uint64_t step = position / kProgressStep * kProgressStep;
            out_.slog(progressText(step, size_, host_.nowDays() - startTime_, locale_), 1);
            host_.progress(step, size_);
            host_.processMessages();
        }
        if (position / kRepaintStep > shownTo_ / kRepaintStep) host_.repaint();
        shownTo_ = std::max(shownTo_, position);
    }

    Pass& pass_;
    HeldReporter& held_;
    RunState& state_;
    PassHost& host_;
    Reporter& out_;
    const LocaleSettings& locale_;
    const uint64_t size_;
    const double startTime_;
    uint64_t scannedTo_ = 0;
    uint64_t shownTo_ = 0;
};

void readPass(RunState& state, InputFile& source, const std::string& sourcePath, PassHost& host,
              Reporter& out, const LocaleSettings& locale) {
    HeldReporter held(out);
    Pass pass(RunMode::Read, state, sourceTypeOf(sourcePath), held, locale);
    pass.setOptions(host.passOptions());
    ReadTurns turns(pass, held, state, host, out, locale, source.size());
    try {
        TurnTakingScan::run(source, kBlockSize, turns);
    } catch (...) {
        held.release();
        throw;
    }
    turns.finish();
}

// A Demux pass: the blocks read ahead on a thread, the pieces to write written behind on
// another, the scan on the calling thread.
void writePass(RunMode mode, RunState& state, InputFile& source, const std::string& sourcePath,
               PassHost& host, Reporter& out, const LocaleSettings& locale,
               const DemuxOutputs* outputs) {
    Pass pass(mode, state, sourceTypeOf(sourcePath), out, locale);
    // The blocks are kept until the piece writer has written what they gave.
    const bool writing = outputs != nullptr;
    BlockReader reader(source, kBlockSize, kBlocksInFlight);
    PieceWriter pieces(writing);
    std::optional<DemuxWriter> writer;
    if (writing) {
        writer.emplace(*outputs, state.minFirstPts, state.streamTable, &pieces);
        pass.addListener(*writer);
        pass.setCountedVideo({outputs->of(StreamKind::Video, 0) != nullptr,
                              outputs->of(StreamKind::Video, 1) != nullptr});
    } else {
        pass.setCountedVideo({false, false});
    }

    const double startTime = host.nowDays();
    const uint64_t size = source.size();
    while (!state.cancelFlag && !state.fastCheckStop) {
        const BlockReader::Block block = reader.next();
        if (block.length == 0) break;
        const uint64_t position = block.start + block.length;
        if (position % kProgressStep == 0) {
            out.slog(progressText(position, size, host.nowDays() - startTime, locale), 1);
            host.progress(position, size);
            host.processMessages();
        }
        pass.setOptions(host.passOptions());
        if (position % kRepaintStep == 0) host.repaint();
        pass.feed(block.data, block.length, block.start);
        pieces.submit({}, [&reader, block] { reader.release(block); });
        pieces.check();
    }
    pieces.finish();
}

} // namespace

void demux(RunMode mode, RunState& state, InputFile& source, const std::string& sourcePath,
           PassHost& host, Reporter& out, const LocaleSettings& locale,
           const DemuxOutputs* outputs) {
    host.setCancelEnabled(true);
    if (mode == RunMode::Read)
        readPass(state, source, sourcePath, host, out, locale);
    else
        writePass(mode, state, source, sourcePath, host, out, locale, outputs);
    if (state.cancelFlag) state.frameCounts = {0, 0};
    host.setCancelEnabled(false);
}

} // namespace tessary
