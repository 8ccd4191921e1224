#include "Commands.h"

#include <array>
#include <filesystem>
#include <system_error>

#include "JsonReport.h"
#include "TerminalOutput.h"
#include "jobs/FileNames.h"
#include "jobs/MatroskaJob.h"
#include "jobs/PlaylistJobs.h"
#include "jobs/ReadJob.h"
#include "jobs/StreamKeys.h"
#include "jobs/TitlesJob.h"
#include "jobs/WriteJobs.h"
#include "platform/Format.h"
#include "platform/Paths.h"

namespace tessary::cli {

namespace {

// The Read's options from the command line.
ReadJobOptions readJobOptions(const ReadOptions& options) {
    ReadJobOptions read;
    read.source = options.source;
    read.pass.continueOnSecond = !options.noContinue;
    read.pass.fastCheck = !options.full;
    read.pass.fastSizeMb = options.fastSize;
    read.pass.countFrames = !options.noCountFrames;
    read.pass.details = !options.noDetails;
    return read;
}

// The selected streams that the Read found, with their captions, in slot order. A key whose
// stream was not found is skipped with a warning. No selection: every stream found.
std::vector<ChosenStream> chosenStreams(const std::vector<std::string>& lists,
                                        const ReadResult& read, Warnings& warnings) {
    std::array<bool, kStreamSlotCount> selected{};
    const bool all = lists.empty();
    for (const std::string& list : lists)
        for (const StreamKey key : parseSelection(list))
            selected[static_cast<std::size_t>(slotOfKey(key))] = true;
    std::array<bool, kStreamSlotCount> found{};
    std::vector<ChosenStream> chosen;
    for (const FoundStream& stream : read.summary.streams) {
        found[static_cast<std::size_t>(stream.slot)] = true;
        if (all || selected[static_cast<std::size_t>(stream.slot)])
            chosen.push_back({stream.slot, stream.caption});
    }
    for (const std::string& list : lists)
        for (const StreamKey key : parseSelection(list))
            if (!found[static_cast<std::size_t>(slotOfKey(key))])
                warnings.add("no stream " + keyName(key) + " in " + namePart(read.source) +
                             ", skipped");
    return chosen;
}

// The Demux's options from the command line, for the streams chosen.
DemuxJobOptions demuxJobOptions(const Options& options, std::vector<ChosenStream> chosen) {
    DemuxJobOptions job;
    job.source = options.read.source;
    job.pass = readJobOptions(options.read).pass;
    job.outputFolder = options.write.outputDir;
    job.streams = std::move(chosen);
    job.extensions = {options.demux.videoExt, options.demux.audioExt, options.demux.subExt,
                      options.demux.codecExt};
    job.lpcmAsWav = options.demux.lpcmWav;
    return job;
}

// Creates the output folder when it is missing. Nothing when that worked, else the exit
// status the command stops with.
std::optional<int> makeOutputFolder(const std::string& folder, Session& session) {
    return runJob(session, [&] { session.newFolders.create(folder); });
}

// What the Read found that makes its streams unusable is warned of: no MPEG program stream
// (no pack header was met: a text file, zeros) or an encrypted file. A script that reads many
// files goes on, unless --strict stops the command there: then this is false. Then the
// streams met with a number another stream holds.
bool sourceUsable(const ReadOptions& options, const ReadResult& read, Session& session) {
    for (const std::string& warning : readWarnings(read))
        session.warnings.add(warning);
    const bool usable = read.programStreamFound && read.encrypted.empty();
    return usable || !options.strict;
}

// Reads the source. Nothing when the command goes on; else the exit status it stops with (a
// failed Read, or an unusable source under --strict, which takes back the folders made for
// its outputs and reports the Read).
std::optional<int> readChosenSource(const ReadOptions& options, Session& session, ReadResult& read,
                                    std::ostream& out) {
    if (const auto stop =
            runJob(session, [&] { read = readSource(readJobOptions(options), session.context); }))
        return stop;
    if (sourceUsable(options, read, session)) return std::nullopt;
    session.takeBackFolders();
    if (session.json) session.printJson(out, readReport(read, read.summary, session.messages()));
    return kExitNoProgramStream;
}

// The run state after a writing pass, for the streams the Read found.
RunSummary summaryAfter(const ReadResult& read, const ReadOptions& options,
                        const Session& session) {
    const std::vector<int> slots = slotsOf(read.summary.streams);
    return summarizeRun(session.state, read.source, !options.noCountFrames, &slots);
}

// With --title, the source given is a disc: its title's first EVO file becomes the source and
// the disc's playlist is returned. Nothing when the command goes on, else its exit status.
std::optional<int> takeTitle(Options& options, Session& session, std::string& playlist) {
    if (options.read.title == 0) return std::nullopt;
    return runJob(session, [&] {
        TitleSource title = titleSource(options.read.source, options.read.title, session);
        options.read.source = std::move(title.source);
        playlist = std::move(title.playlist);
    });
}

// The captions of the streams the title declares, in place of the Read's, as the files of a
// Demux after reading the playlist are named.
void takeDeclaredCaptions(const PlaylistRead& title, std::vector<ChosenStream>& chosen) {
    for (const DeclaredStream& declared : title.streams) {
        if (declared.number >= streamCount(declared.kind)) continue;
        const int slot = slotOf({declared.kind, declared.number});
        for (ChosenStream& stream : chosen)
            if (stream.slot == slot) stream.caption = declared.text;
    }
}

// Reads the playlist's title (by number with --title, else the one that plays the source).
// Nothing when the command goes on, else its exit status. Without the title nothing of the
// playlist is used; with it, the warnings are of chapters left out.
std::optional<int> readTitle(const Options& options, const std::string& playlistPath,
                             Session& session, PlaylistResult& playlist) {
    MediaAttributes attributes;
    if (const auto stop = runJob(session, [&] {
            readPlaylistTitle({playlistPath, options.read.source, options.read.title}, attributes,
                              session, playlist);
        }))
        return stop;
    for (const std::string& warning : playlist.warnings)
        session.warnings.add(playlist.titleFound() ? warning
                                                   : warning + ": no names, languages or chapters");
    return std::nullopt;
}

} // namespace

// Lists the disc's titles: after the log, one line per title and one per declared stream.
int runTitles(const Options& options, Session& session, std::ostream& out) {
    TitlesResult titles;
    if (const auto stop =
            runJob(session, [&] { titles = listTitles(options.titles.disc, session); }))
        return *stop;
    for (const std::string& warning : titles.warnings)
        session.warnings.add(warning);
    if (session.json)
        session.printJson(out, titlesReport(titles, session.messages()));
    else
        printTitles(out, titles);
    return kExitOk;
}

// Reads the source and then, for demux and rebuild, writes the chosen streams. Nothing chosen:
// the pass is skipped with a warning.
int runSource(Options options, Pass pass, Session& session, std::ostream& out) {
    std::string playlistPath;
    if (const auto stop = takeTitle(options, session, playlistPath)) return *stop;
    PlaylistResult playlist;
    if (pass == Pass::Demux && !playlistPath.empty())
        if (const auto stop = readTitle(options, playlistPath, session, playlist)) return *stop;
    if (pass != Pass::None)
        if (const auto stop = makeOutputFolder(options.write.outputDir, session)) return *stop;
    ReadResult read;
    if (const auto stop = readChosenSource(options.read, session, read, out)) return *stop;
    if (pass == Pass::None) {
        if (session.json)
            session.printJson(out, readReport(read, read.summary, session.messages()));
        return kExitOk;
    }

    std::vector<ChosenStream> chosen = chosenStreams(options.write.select, read, session.warnings);
    if (playlist.titleFound()) takeDeclaredCaptions(playlist.read, chosen);
    const bool demux = pass == Pass::Demux;
    if (chosen.empty())
        session.warnings.add(std::string("no stream to ") + (demux ? "demux" : "rebuild") + " in " +
                             namePart(options.read.source));
    std::optional<DemuxResult> demuxed;
    std::optional<RebuildResult> rebuilt;
    if (!chosen.empty()) {
        const auto stop = runJob(session, [&] {
            if (demux) {
                demuxed = demuxStreams(demuxJobOptions(options, chosen), session.context);
            } else {
                RebuildJobOptions job;
                job.source = options.read.source;
                job.pass = readJobOptions(options.read).pass;
                job.outputFolder = options.write.outputDir;
                for (const ChosenStream& stream : chosen)
                    job.keptSlots.push_back(stream.slot);
                job.advancedPacks = options.rebuild.advancedPacks;
                rebuilt = rebuildSource(job, session.context);
            }
        });
        if (stop) return *stop;
    }
    if (demuxed)
        for (const std::string& warning : demuxed->warnings)
            session.warnings.add(warning);
    if (rebuilt)
        if (const std::string warning =
                leftOutWarning(*rebuilt, "read the whole file with --full to find every stream");
            !warning.empty())
            session.warnings.add(warning);
    session.takeBackFolders(); // a run that wrote nothing leaves no folder it made
    if (session.json) {
        const RunSummary summary = summaryAfter(read, options.read, session);
        session.printJson(out,
                          demux ? demuxReport(read, summary, session.messages(),
                                              demuxed ? demuxed->files : std::vector<WrittenFile>())
                                : rebuildReport(read, summary, session.messages(),
                                                rebuilt ? &*rebuilt : nullptr));
    }
    return kExitOk;
}

// Reads the playlist (for names, languages and chapters) and the source, demuxes the chosen
// streams into a work folder, and has mkvmerge make DIR/NAME.mkv of them. The work folder
// goes once the file is made, unless it is to be kept.
int runMkv(Options options, Session& session, std::ostream& out, std::ostream& err) {
    std::string titlePlaylist;
    if (const auto stop = takeTitle(options, session, titlePlaylist)) return *stop;
    if (const auto stop = makeOutputFolder(options.write.outputDir, session)) return *stop;

    const std::string playlistPath = !options.mkv.playlist.empty() ? options.mkv.playlist
                                     : !titlePlaylist.empty()      ? titlePlaylist
                                                              : discPlaylistOf(options.read.source);
    PlaylistResult playlist;
    if (!playlistPath.empty())
        if (const auto stop = readTitle(options, playlistPath, session, playlist)) return *stop;
    ReadResult read;
    if (const auto stop = readChosenSource(options.read, session, read, out)) return *stop;

    MatroskaJobOptions job;
    job.demux =
        demuxJobOptions(options, chosenStreams(options.write.select, read, session.warnings));
    if (job.demux.streams.empty())
        session.warnings.add("no stream to demux in " + namePart(options.read.source));
    job.playlist = playlistPath.empty() ? nullptr : &playlist;
    job.keepWorkFolder = options.mkv.keep;
    MatroskaResult matroska;
    if (const auto stop = runJob(session, [&] { matroska = makeMatroska(job, session.context); }))
        return *stop;
    for (const std::string& warning : matroska.warnings)
        session.warnings.add(warning);
    session.takeBackFolders();
    if (matroska.outcome.made)
        for (const std::string& file : matroska.subpictures)
            err << "tessary-cli: subpicture stream not in the Matroska file, kept as "
                << printable(file) << '\n';
    if (session.json)
        session.printJson(out, mkvReport(read, summaryAfter(read, options.read, session),
                                         session.messages(), matroska));
    if (matroska.outcome.made) return kExitOk;
    err << "tessary-cli: mkvmerge was not found (install mkvtoolnix): the demuxed streams, the "
           "options file and the chapters are in "
        << matroska.workFolder << "; to make " << matroska.plan.output << ", run:\n"
        << matroska.outcome.command << '\n';
    return kExitMuxerMissing;
}

// Reads the playlist for the source's title, then writes its chapter list when asked to.
int runPlaylist(const Options& options, Session& session, std::ostream& out) {
    const PlaylistOptions& playlist = options.playlist;
    const std::string& folder = options.write.outputDir;
    if (playlist.chapters)
        if (const auto stop = makeOutputFolder(folder, session)) return *stop;
    PlaylistResult result;
    MediaAttributes attributes;
    if (const auto stop = runJob(session, [&] {
            readPlaylistTitle({playlist.path, playlist.source}, attributes, session, result);
        }))
        return *stop;
    for (const std::string& warning : result.warnings)
        session.warnings.add(warning);

    std::optional<WrittenFile> chapters;
    if (playlist.chapters) {
        ChaptersJobOptions job;
        job.source = playlist.source;
        job.playlist = playlist.path;
        job.outputFolder = folder;
        job.baseName = CutExt(namePart(playlist.source));
        job.chapters = result.read.chapters;
        job.format = playlist.chaptersFormat;
        job.language = titleLanguage(result.read);
        if (const auto stop =
                runJob(session, [&] { chapters = writeChapterList(job, session.files); }))
            return *stop;
    }

    if (session.json)
        session.printJson(
            out, playlistReport(result, session.messages(), chapters ? &*chapters : nullptr));
    else if (playlist.tree)
        printTree(out, playlistTree(result));
    return kExitOk;
}

} // namespace tessary::cli
