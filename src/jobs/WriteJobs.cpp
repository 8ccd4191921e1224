#include "jobs/WriteJobs.h"

#include <filesystem>
#include <system_error>

#include "engine/PackEngine.h"
#include "engine/StreamReport.h"
#include "jobs/PortHost.h"
#include "jobs/StreamKeys.h"
#include "ops/DemuxOperation.h"
#include "ops/FrameReport.h"
#include "ops/OutputNames.h"
#include "ops/RebuildOperation.h"
#include "platform/Format.h"
#include "platform/Reporter.h"
#include "streams/Codecs.h"

namespace tessary {

std::optional<uint64_t> sizeOnDisk(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error) return std::nullopt;
    return size;
}

std::string codecExtension(const StreamType& type) {
    static constexpr std::pair<std::string_view, const char*> kExtensions[] = {
        {"MPEG-2", "m2v"}, {"H.264", "264"},  {"VC-1", "vc1"}, {"AC-3", "ac3"}, {"E-AC-3", "eac3"},
        {"DTS", "dts"},    {"TrueHD", "thd"}, {"LPCM", "pcm"}, {"MLP", "mlp"}};
    for (const auto& [codec, extension] : kExtensions)
        if (type.codecName == codec) return extension;
    return "sup";
}

DemuxResult demuxStreams(const DemuxJobOptions& options, JobContext& context) {
    RunState& state = context.state;
    state.frameCounts = {0, 0};
    state.totalSeconds = 0;
    state.writingPass = true;
    const FeatureFiles feature{options.source,
                               secondFeatureFile(options.source, options.pass.continueOnSecond)};
    state.outputBaseName = featureBaseName(options.source, feature.second);

    DemuxResult result;
    result.continued = !feature.second.empty();
    result.prefix = outputPrefix(options.outputFolder, options.source, state.outputBaseName);
    // LPCM as WAV: the DVD-Video style LPCM of EVO and VOB sources; an AOB's LPCM header
    // differs, so its payload stays bare.
    const SourceType source = sourceTypeOf(options.source);
    const bool lpcmWav = options.lpcmAsWav && source != SourceType::Aob;
    std::vector<DemuxTarget> targets;
    for (const ChosenStream& chosen : options.streams) {
        const StreamKind kind = streamOfSlot(chosen.slot)->kind;
        const auto code =
            static_cast<uint32_t>(state.streamTable[static_cast<std::size_t>(chosen.slot)]);
        const StreamType* type = findStreamType(kind, code, source);
        const bool wav =
            lpcmWav && kind == StreamKind::Audio && audioCodecOfSubstream(code) == AudioCodec::Lpcm;
        std::string extension = options.extensions.subpicture;
        if (kind == StreamKind::Video) extension = options.extensions.video;
        if (kind == StreamKind::Audio) extension = wav ? "wav" : options.extensions.audio;
        if (options.extensions.byCodec && !wav && type) extension = codecExtension(*type);
        targets.push_back(
            {chosen.slot, demuxFileName(result.prefix, chosen.caption, extension), wav,
             (options.plainMlp || options.extensions.byCodec) && type && type->dvdAudioMlp()});
        result.files.push_back(
            {chosen.slot, keyName(keyOfSlot(chosen.slot)), targets.back().path, wav, std::nullopt});
    }

    PortHost host(context.port, options.pass);
    const std::size_t sharedBefore = state.sharedNumbers.size();
    DemuxOperation({state, host, context.out, context.locale, context.files})
        .run(feature, host.continueOption(), targets);
    result.warnings = sharedNumberWarnings(state, sourceTypeOf(options.source), sharedBefore);
    result.cancelled = state.cancelFlag;
    logEnd(context.out, result.cancelled);
    if (!result.cancelled) logframes(state, result.continued, context.out, context.locale);
    for (WrittenFile& file : result.files)
        file.size = sizeOnDisk(file.path);
    return result;
}

RebuildResult rebuildSource(const RebuildJobOptions& options, JobContext& context) {
    RunState& state = context.state;
    state.writingPass = true;
    const FeatureFiles feature{options.source,
                               secondFeatureFile(options.source, options.pass.continueOnSecond)};
    state.outputBaseName = featureBaseName(options.source, feature.second);

    RebuildResult result;
    result.file.path =
        rebuiltFileName(outputPrefix(options.outputFolder, options.source, state.outputBaseName));
    RebuildSelection selection;
    for (const int slot : options.keptSlots)
        selection.kept[static_cast<std::size_t>(slot)] = true;
    selection.advancedPacks = options.advancedPacks;

    PortHost host(context.port, options.pass);
    const auto leftOut = RebuildOperation({state, host, context.out, context.locale, context.files})
                             .run(feature, host.continueOption(), result.file.path, selection);
    auto sharesNumber = [&state](int id) {
        for (const SharedNumber& shared : state.sharedNumbers)
            if (shared.code == id) return true;
        return false;
    };
    for (int id = 0; id < 256; ++id)
        if (leftOut[static_cast<std::size_t>(id)] && !sharesNumber(id))
            result.leftOut.push_back(id);
    result.partialRead = state.partialRead;
    result.cancelled = state.cancelFlag;
    logEnd(context.out, result.cancelled);
    result.file.size = sizeOnDisk(result.file.path);
    return result;
}

std::string leftOutWarning(const RebuildResult& result, std::string_view wholeReadHint) {
    if (result.leftOut.empty()) return {};
    std::string text = "streams the Read did not find are left out of the rebuilt file:";
    for (const int id : result.leftOut)
        text += ' ' + hex2(static_cast<uint32_t>(id));
    if (result.partialRead) text += " (" + std::string(wholeReadHint) + ")";
    return text;
}

} // namespace tessary
