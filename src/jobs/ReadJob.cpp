#include "jobs/ReadJob.h"

#include <cmath>

#include "engine/FeatureRun.h"
#include "engine/PackEngine.h"
#include "engine/StreamIdentity.h"
#include "jobs/FileNames.h"
#include "jobs/PortHost.h"
#include "jobs/StreamKeys.h"
#include "ops/FrameReport.h"
#include "ops/MatroskaPlan.h"
#include "ops/StreamNames.h"
#include "platform/Format.h"
#include "platform/InputFile.h"
#include "platform/LogText.h"
#include "platform/Paths.h"
#include "platform/Reporter.h"

namespace tessary {

std::string secondFeatureFile(const std::string& source, bool continueOnSecond) {
    std::string second = continueOnSecond ? getsecond(source) : std::string();
    // Refused before any work, as the source is: a folder, a FIFO or a link to nothing.
    if (!second.empty()) InputFile{second};
    return second;
}

std::string featureBaseName(const std::string& source, const std::string& second) {
    std::string base = CutExt(namePart(source));
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on a joined temporary here.
    if (!second.empty()) {
        base += '_';
        base += CutExt(namePart(second));
    }
    return base;
}

namespace {

FoundStream describeStream(const RunState& state, int slot, SourceType source, bool countFrames) {
    const auto index = static_cast<std::size_t>(slot);
    const StreamRef ref = *streamOfSlot(slot);
    FoundStream stream;
    stream.slot = slot;
    stream.key = keyName(keyOfSlot(slot));
    stream.kind = ref.kind;
    stream.number = ref.number;
    stream.code = state.streamTable[index];
    const StreamIdentity identity = identifyStream(ref.kind, stream.code, source);
    stream.codec = std::string(identity.codec);
    stream.streamId = identity.streamId;
    stream.substreamId = identity.substreamId;
    stream.caption = streamCaption(slot, stream.code);
    if (const uint32_t pts = state.firstPts[index]; pts != kNoPts) {
        stream.firstPts = pts;
        stream.firstPtsOffsetMs = ptsOffsetMs(pts, state.firstVideoPtm);
        if (const uint32_t video = firstVideoPts(state); video != kNoPts)
            stream.delayMs = delayMs(pts, video);
    }
    if (ref.kind == StreamKind::Video && countFrames) {
        const auto n = static_cast<std::size_t>(ref.number);
        stream.frames = state.frameCounts[n];
        if (state.frameRates[n] > 0) stream.duration = state.frameCounts[n] / state.frameRates[n];
    }
    stream.fields = state.details[index];
    stream.properties = state.properties[index];
    return stream;
}

} // namespace

std::vector<std::string> sharedNumberWarnings(const RunState& state, SourceType source,
                                              std::size_t from) {
    auto named = [source](StreamKind kind, int32_t code) {
        std::string text = hex2(static_cast<uint32_t>(code));
        if (const StreamType* type = findStreamType(kind, static_cast<uint32_t>(code), source))
            text += " (" + std::string(type->codecName) + ")";
        return text;
    };
    std::vector<std::string> warnings;
    for (std::size_t i = from; i < state.sharedNumbers.size(); ++i) {
        const SharedNumber& shared = state.sharedNumbers[i];
        warnings.push_back("stream " + named(shared.kind, shared.code) + " has " +
                           kindName(shared.kind) + " number " + std::to_string(shared.number) +
                           ", which stream " + named(shared.kind, shared.holder) +
                           " holds: it is not extracted");
    }
    return warnings;
}

std::vector<std::string> encryptedFiles(const RunState& state) {
    std::vector<std::string> names;
    for (const NavigationReport& file : state.navigation)
        if (file.control && file.control->encrypted) names.push_back(file.file);
    return names;
}

std::vector<std::string> readWarnings(const ReadResult& read) {
    std::vector<std::string> warnings;
    if (!read.programStreamFound)
        warnings.push_back("no MPEG program stream found in " + namePart(read.source));
    for (const std::string& name : read.encrypted)
        warnings.push_back(encryptedWarning(name));
    warnings.insert(warnings.end(), read.warnings.begin(), read.warnings.end());
    return warnings;
}

std::string encryptedWarning(const std::string& name) {
    return name + " is encrypted: its streams cannot be played; decrypt it first";
}

std::vector<int> slotsOf(const std::vector<FoundStream>& streams) {
    std::vector<int> slots;
    for (const FoundStream& stream : streams)
        slots.push_back(stream.slot);
    return slots;
}

RunSummary summarizeRun(const RunState& state, const std::string& source, bool countFrames,
                        const std::vector<int>* slots) {
    RunSummary summary;
    const SourceType type = sourceTypeOf(source);
    if (slots) {
        for (const int slot : *slots)
            summary.streams.push_back(describeStream(state, slot, type, countFrames));
    } else {
        for (int slot = 1; slot < kStreamSlotCount; ++slot)
            if (streamOfSlot(slot) && state.streamTable[static_cast<std::size_t>(slot)] > kNoStream)
                summary.streams.push_back(describeStream(state, slot, type, countFrames));
    }
    summary.navigation = state.navigation;
    for (int n = 0; n < kVideoStreams; ++n) {
        VideoFrames frames;
        frames.number = n;
        frames.counted = state.frameCounts[static_cast<std::size_t>(n)];
        frames.frameRate = state.frameRates[static_cast<std::size_t>(n)];
        if (frames.frameRate > 0) {
            frames.countedSeconds = static_cast<double>(frames.counted) / frames.frameRate;
            frames.calculatedFrames =
                static_cast<int64_t>(std::nearbyint(state.totalSeconds * frames.frameRate));
        }
        summary.frames.push_back(frames);
    }
    summary.totalSeconds = state.totalSeconds;
    summary.lastFileSeconds = state.fileDuration * kSecondsPerDay;
    summary.firstVideoPtm = state.firstVideoPtm;
    summary.lastVideoPtm = state.lastVideoPtm;
    return summary;
}

ReadResult readSource(const ReadJobOptions& options, JobContext& context) {
    RunState& state = context.state;
    Reporter& out = context.out;
    ReadResult result;
    result.source = options.source;
    result.secondFile = secondFeatureFile(options.source, options.pass.continueOnSecond);
    result.continued = !result.secondFile.empty();
    state.sourceName = namePart(options.source);
    state.outputBaseName = featureBaseName(options.source, result.secondFile);
    result.outputBaseName = state.outputBaseName;

    state.frameCounts = {0, 0};
    state.minFirstPts = kNoPts;
    state.firstVideoPtm = 0;
    state.totalSeconds = 0;
    state.resetDetails();
    state.navigation.clear();
    state.packHeaderSeen = false;
    state.partialRead = false;
    state.sharedNumbers.clear();

    PortHost host(context.port, options.pass);
    out.log("Opening file [b]" + literal(state.sourceName) + "[/b]");
    runOverFeature({options.source, result.secondFile}, state, host.continueOption(),
                   [&](InputFile& file, int index) {
                       const std::string name = namePart(file.path());
                       if (index == 0) {
                           out.log("Reading...");
                           out.slog("Reading " + name + " ", 0);
                           out.log("File size: " + std::to_string(file.size() / kMebibyte) +
                                   " Mbytes.");
                       } else {
                           out.log("");
                           out.log("Continue on [b]" + literal(name) + "[/b]");
                           out.log("Reading...");
                           out.slog("Reading " + name, 0);
                       }
                       demux(RunMode::Read, state, file, options.source, host, out, context.locale);
                       state.partialRead = state.partialRead || state.fastCheckStop;
                       if (!state.navigation.empty()) state.navigation.back().file = name;
                   });

    result.cancelled = state.cancelFlag;
    logEnd(out, result.cancelled);
    if (!result.cancelled) logframes(state, result.continued, out, context.locale);
    result.programStreamFound = state.packHeaderSeen;
    result.summary = summarizeRun(state, options.source, options.pass.countFrames);
    result.warnings = sharedNumberWarnings(state, sourceTypeOf(options.source));
    result.encrypted = encryptedFiles(state);
    return result;
}

} // namespace tessary
