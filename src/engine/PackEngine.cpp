#include "engine/PackEngine.h"

#include <optional>

#include "engine/BlockReader.h"
#include "engine/DemuxWriter.h"
#include "engine/Pass.h"
#include "engine/PieceWriter.h"
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

void demux(RunMode mode, RunState& state, InputFile& source, const std::string& sourcePath,
           PassHost& host, Reporter& out, const LocaleSettings& locale,
           const DemuxOutputs* outputs) {
    host.setCancelEnabled(true);
    Pass pass(mode, state, sourceTypeOf(sourcePath), out, locale);
    // The blocks of a Demux are kept until the piece writer has written what they gave; a Read
    // keeps as many, so that the reading thread seldom waits for the scan.
    const bool writing = mode == RunMode::Demux && outputs;
    BlockReader reader(source, kBlockSize, kBlocksInFlight);
    PieceWriter pieces(writing);
    std::optional<DemuxWriter> writer;
    if (writing) {
        writer.emplace(*outputs, state.minFirstPts, state.streamTable, &pieces);
        pass.addListener(*writer);
        pass.setCountedVideo({outputs->of(StreamKind::Video, 0) != nullptr,
                              outputs->of(StreamKind::Video, 1) != nullptr});
    } else if (mode == RunMode::Demux) {
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

    if (state.cancelFlag) state.frameCounts = {0, 0};
    host.setCancelEnabled(false);
}

} // namespace tessary
