#include "ops/RebuildOperation.h"

#include <memory>
#include <optional>
#include <vector>

#include "engine/BlockReader.h"
#include "engine/FeatureRun.h"
#include "engine/PieceWriter.h"
#include "ops/OutputNames.h"
#include "platform/InputFile.h"
#include "platform/LogText.h"
#include "platform/OutputFile.h"
#include "platform/Paths.h"
#include "platform/Reporter.h"

namespace tessary {

namespace {

constexpr std::size_t kPackSize = 2048;

bool startsWithPackHeader(const uint8_t* pack, std::size_t length) {
    return length >= 4 && pack[0] == 0x00 && pack[1] == 0x00 && pack[2] == 0x01 && pack[3] == 0xBA;
}

// One pass over a source file: every pack through the filter, the kept ones appended to the
// output. The source is read in large blocks, but the progress points, the Cancel test and
// what is written are those of a pack-by-pack copy: progress at every 4 MiB of source, and a
// Cancel noticed there ends the pass behind the pack at hand. Runs of kept packs are appended
// whole.
void rebuildPass(RunState& state, InputFile& source, PackFilter& filter, OutputFile& output,
                 PassHost& host, Reporter& out, const LocaleSettings& locale) {
    host.setCancelEnabled(true);
    state.cancelFlag = false;
    const double startTime = host.nowDays();
    const uint64_t size = source.size();
    const std::string name = namePart(source.path());
    // The runs of kept packs of a block, written together from where they lie while the next
    // blocks are filtered; the block is kept until then.
    BlockReader reader(source, kBlockSize, kBlocksInFlight);
    PieceWriter pieces;
    bool stop = false;
    std::vector<OutputPiece> runs;
    while (!stop) {
        const BlockReader::Block read = reader.next();
        if (read.length == 0) break;
        uint8_t* const block = read.data;
        const std::size_t got = read.length;
        const uint64_t blockStart = read.start;
        std::size_t runStart = 0, runLength = 0;
        auto flush = [&] {
            if (runLength > 0) runs.push_back({block + runStart, runLength});
            runLength = 0;
        };
        for (std::size_t at = 0; at < got && !stop; at += kPackSize) {
            const std::size_t length = std::min(kPackSize, got - at);
            const uint64_t position = blockStart + at + length;
            if (position % kProgressStep == 0) {
                out.slog("Rebuilding " + name + " " +
                             progressText(position, size, host.nowDays() - startTime, locale),
                         1);
                host.progress(position, size);
                host.processMessages();
            }
            const bool keep = filter.filter(block + at, length);
            if (keep && startsWithPackHeader(block + at, length)) {
                if (runLength == 0) runStart = at;
                runLength += length;
            } else {
                flush();
            }
            stop = state.cancelFlag;
        }
        flush();
        std::vector<PieceAppend> appends;
        if (!runs.empty()) appends.push_back({&output, std::move(runs)});
        runs.clear();
        pieces.submit(std::move(appends), [&reader, read] { reader.release(read); });
        pieces.check();
    }
    pieces.finish();
    host.setCancelEnabled(false);
}

} // namespace

std::bitset<256> RebuildOperation::run(const FeatureFiles& feature,
                                       const std::function<bool()>& stillContinue,
                                       const std::string& outputPath,
                                       const RebuildSelection& selection) {
    Reporter& out = context_.out;
    out.log("Opening file [b]" + literal(namePart(feature.source)) + "[/b]");
    out.slog("Opening", 0);
    std::unique_ptr<OutputFile> output;
    bool createdOutput = false;
    PackFilter filter(context_.state.streamTable, selection, context_.state.firstVideoPtm,
                      context_.state.lastVideoPtm);
    try {
        runOverFeature(feature, context_.state, stillContinue, [&](InputFile& file, int index) {
            const std::string name = namePart(file.path());
            if (index == 0) {
                out.log("File size: " + std::to_string(file.size() / kMebibyte) + " Mbytes.");
                refuseInputAsOutput(outputPath, {feature.source, feature.second},
                                    "It is the file being rebuilt");
                output = context_.files.create(outputPath);
                createdOutput = true;
                out.log("Creating " + literal(outputPath));
            } else {
                out.log("Continue on [b]" + literal(name) + "[/b]");
            }
            out.log("Rebuilding...");
            out.slog("Rebuilding " + name, 0);
            rebuildPass(context_.state, file, filter, *output, context_.host, out, context_.locale);
        });
        // A cancelled or failed run keeps no part of the rebuilt file.
        if (context_.state.cancelFlag)
            output.reset();
        else
            output->commit();
    } catch (...) {
        if (output) {
            closeAfterError(*output);
            output.reset();
        }
        if (createdOutput) out.log("Removed the unfinished file " + literal(outputPath));
        throw;
    }
    if (!output) out.log("Removed the unfinished file " + literal(outputPath));
    return filter.leftOut();
}

} // namespace tessary
