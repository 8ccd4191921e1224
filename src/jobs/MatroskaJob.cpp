#include "jobs/MatroskaJob.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "engine/StreamReport.h"
#include "jobs/PortHost.h"
#include "ops/OutputNames.h"
#include "platform/FileError.h"
#include "platform/LogText.h"
#include "platform/NewFolders.h"
#include "platform/OutputFile.h"
#include "platform/Paths.h"
#include "platform/Reporter.h"
#include "platform/WorkFolder.h"
#include "streams/StreamTypes.h"

namespace tessary {

namespace {

// The demuxed streams the muxer can take, in the order they were written. Streams the Read
// did not find (a playlist declares more than the file holds) and the bare LPCM of a
// DVD-Audio source, which is no file format the muxer reads, are left out with a log line;
// the MLP of a DVD-Audio source, in packets like LPCM's, is an MLP file.
std::vector<DemuxedStream> muxableStreams(const DemuxResult& demux,
                                          const std::vector<ChosenStream>& chosen,
                                          SourceType source, const RunState& state, Reporter& out) {
    std::vector<DemuxedStream> streams;
    for (std::size_t i = 0; i < demux.files.size(); ++i) {
        const WrittenFile& file = demux.files[i];
        const int slot = *file.slot;
        const int32_t code = state.streamTable[static_cast<std::size_t>(slot)];
        if (code == kNoStream) {
            out.log("Not in the source, left out of the Matroska file: " +
                    literal(namePart(file.path)));
            continue;
        }
        const StreamType* type =
            findStreamType(streamOfSlot(slot)->kind, static_cast<uint32_t>(code), source);
        if (type && type->kind == StreamKind::Audio && !file.wav &&
            type->audio == AudioCodec::Lpcm && !type->dvdAudioMlp()) {
            out.log("LPCM without a WAV header, left out of the Matroska file: " +
                    literal(namePart(file.path)));
            continue;
        }
        streams.push_back({slot, file.path, chosen[i].caption});
    }
    return streams;
}

// Moves the subpicture files out of the work folder, beside the Matroska file. Returns where
// they went.
std::vector<std::string> keepBeside(const std::vector<std::string>& files,
                                    const std::string& folder, std::vector<std::string>& warnings) {
    namespace fs = std::filesystem;
    std::vector<std::string> kept;
    for (const std::string& file : files) {
        const fs::path target = fs::path(folder) / fs::path(file).filename();
        std::error_code error;
        fs::rename(file, target, error);
        if (error) {
            warnings.push_back("cannot move " + file + ": " + error.message());
            kept.push_back(file);
        } else {
            kept.push_back(target.string());
        }
    }
    return kept;
}

// The files of the work folder that this run made and that are still there: the demuxed
// streams (but for the subpictures kept beside the Matroska file), the chapters and options.
std::vector<std::string> filesMade(const MatroskaResult& result) {
    std::vector<std::string> files;
    for (const WrittenFile& file : result.demux.files)
        if (std::find(result.subpictures.begin(), result.subpictures.end(), file.path) ==
            result.subpictures.end())
            files.push_back(file.path);
    for (const std::string* file : {&result.optionsPath, &result.plan.chaptersPath})
        if (!file->empty()) files.push_back(*file);
    return files;
}

// Takes the work folder back: what this run made there goes, and the folder with it when
// nothing else is left in it. A run that did not make its file says so in the log.
void removeWorkFolder(const MatroskaResult& result, Reporter* out,
                      std::vector<std::string>& warnings) {
    if (!removeNewFolder(result.workFolder, filesMade(result)))
        warnings.push_back("the work folder " + result.workFolder +
                           " holds files this run did not make: it stays");
    else if (out)
        out->log("Removed the work folder " + literal(result.workFolder));
}

// Demuxes the chosen streams into the work folder, plans the Matroska file and runs the
// muxer on them.
void demuxAndMux(const MatroskaJobOptions& options, JobContext& context, const std::string& second,
                 const std::string& mkvPath, MatroskaResult& result) {
    RunState& state = context.state;
    Reporter& out = context.out;
    const std::string& source = options.demux.source;
    if (!options.demux.streams.empty()) {
        DemuxJobOptions demux = options.demux;
        demux.outputFolder = result.workFolder;
        demux.lpcmAsWav = true;
        demux.plainMlp = true;
        result.demux = demuxStreams(demux, context);
        result.warnings = result.demux.warnings;
    }
    if (result.demux.files.empty())
        throw MuxError("no stream to put into a Matroska file in " + namePart(source));
    // A cancelled Demux leaves streams cut short: no Matroska file is made of them.
    if (result.demux.cancelled) return;

    const std::string prefix = result.demux.prefix;
    result.optionsPath = muxOptionsFileName(prefix);
    const PlaylistRead* title =
        options.playlist && options.playlist->titleFound() ? &options.playlist->read : nullptr;
    result.plan = planMatroska(
        state,
        muxableStreams(result.demux, options.demux.streams, sourceTypeOf(source), state, out),
        title, mkvPath, muxChaptersFileName(prefix));
    for (const std::string& file : result.plan.subpictureFiles)
        out.log("Left out of the Matroska file (mkvmerge reads no subpictures): " +
                literal(namePart(file)));
    if (result.plan.tracks.empty())
        throw MuxError("No video or audio stream to put into " + namePart(mkvPath));

    // None of the files written may lead to a file being read (through a link).
    const std::string playlist = options.playlist ? options.playlist->playlist : std::string();
    for (const std::string* output : std::initializer_list<const std::string*>{
             &mkvPath, &result.optionsPath, &result.plan.chaptersPath})
        refuseInputAsOutput(*output, {source, second, playlist}, "It is a file being read");
    state.writingPass = true;
    PortHost host(context.port, options.demux.pass);
    result.outcome =
        MatroskaMux({state, host, out, context.locale, context.files}, context.programs)
            .run(result.plan, result.optionsPath);
}

} // namespace

MatroskaResult makeMatroska(const MatroskaJobOptions& options, JobContext& context) {
    Reporter& out = context.out;
    MatroskaResult result;
    const std::string& source = options.demux.source;
    const std::string second = secondFeatureFile(source, options.demux.pass.continueOnSecond);
    const std::string base = featureBaseName(source, second);
    const std::string target =
        options.demux.outputFolder.empty() ? folderPart(source) : options.demux.outputFolder;
    const std::string mkvPath = matroskaFileName(outputPrefix(target, source, base));
    // Scrambled streams make no playable file: nothing is demuxed.
    if (const std::vector<std::string> encrypted = encryptedFiles(context.state);
        !encrypted.empty())
        throw MuxError("no Matroska file is made of an encrypted source: decrypt " +
                       encrypted.front() + " first");
    NewFolders outputFolders; // the output folder, when it is missing
    context.files.createFolder(target, outputFolders);
    try {
        result.workFolder = createNewFolder(workFolderName(outputPrefix(target, source, base)));
        demuxAndMux(options, context, second, mkvPath, result);
    } catch (...) {
        // A failed run takes back what it made, unless the work folder is to be kept.
        std::vector<std::string> ignored;
        if (!options.keepWorkFolder && !result.workFolder.empty())
            removeWorkFolder(result, &out, ignored);
        takeBackFolders(outputFolders, out);
        throw;
    }
    // Cancelled: the Demux's or the muxer's unfinished files are gone; the work folder goes
    // with the rest, and "Cancelled." stays the log's last line.
    if (result.demux.cancelled || result.outcome.cancelled) {
        if (!options.keepWorkFolder) removeWorkFolder(result, nullptr, result.warnings);
        if (result.outcome.cancelled) logEnd(out, true);
        return result;
    }
    if (!result.outcome.made) {
        out.log("mkvmerge was not found; to make the Matroska file, run: " +
                literal(result.outcome.command));
        result.subpictures = result.plan.subpictureFiles;
        return result;
    }
    out.log("Matroska file: " + literal(mkvPath));
    logDone(out);

    result.subpictures =
        keepBeside(result.plan.subpictureFiles, target.empty() ? "." : target, result.warnings);
    // The files written are named where they are at the end: the subpictures beside the
    // Matroska file (keepBeside answers file for file, in order).
    for (std::size_t i = 0; i < result.subpictures.size(); ++i)
        for (WrittenFile& file : result.demux.files)
            if (file.path == result.plan.subpictureFiles[i]) file.path = result.subpictures[i];
    if (!options.keepWorkFolder) removeWorkFolder(result, nullptr, result.warnings);
    return result;
}

} // namespace tessary
