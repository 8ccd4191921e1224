#include "CliApp.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "Completion.h"
#include "HelpFormatter.h"
#include "JsonReport.h"
#include "NewFolders.h"
#include "OptionValues.h"
#include "TerminalOutput.h"
#include "UsageErrors.h"
#include "VisibleParts.h"
#include "Warnings.h"
#include "jobs/FileNames.h"
#include "jobs/MatroskaJob.h"
#include "jobs/PlaylistJobs.h"
#include "jobs/ReadJob.h"
#include "jobs/StreamKeys.h"
#include "jobs/WriteJobs.h"
#include "platform/Format.h"
#include "platform/OutputFile.h"
#include "platform/Paths.h"
#include "platform/Programs.h"
#include "platform/Reporter.h"
#include "platform/Text.h"
#include "platform/Ui.h"
#include "shell/MessageLog.h"

namespace tessary::cli {

namespace {

enum class Colour { Auto, Always, Never };
enum class Format { Text, Json };

// Options every subcommand shares: how the report is printed.
struct OutputOptions {
    Colour colour = Colour::Auto;
    Format format = Format::Text;
    bool quiet = false;
};

struct ReadOptions {
    std::string source;
    bool noContinue = false;
    bool full = false;
    int fastSize = 300;
    bool noCountFrames = false;
    bool noDetails = false;
    bool strict = false; // no program stream found: stop with kExitNoProgramStream
};

// What a command does after the Read: nothing, a Demux or a Rebuild.
enum class Pass { None, Demux, Rebuild };

// Options of the commands that write files: the streams, and where the files go.
struct WriteOptions {
    std::vector<std::string> select; // lists of stream keys, checked while parsing
    std::string outputDir;
};

struct DemuxOptions {
    std::string videoExt = "mpv";
    std::string audioExt = "mpa";
    std::string subExt = "sup";
    bool lpcmWav = false;
};

struct RebuildOptions {
    bool advancedPacks = false;
};

// The playlist command's PLAYLIST and SOURCE (only named, never read). The chapters file goes
// to WriteOptions::outputDir, as the files of demux and rebuild do.
struct PlaylistOptions {
    std::string path;
    std::string source;
    bool tree = false;
    bool chapters = false;
};

// The mkv command's playlist (none: the disc's, when there is one) and whether the demuxed
// files are kept.
struct MkvOptions {
    std::string playlist;
    bool keep = false;
};

// Every option of every command; only those of the command given are set.
struct Options {
    ReadOptions read;
    WriteOptions write;
    DemuxOptions demux;
    RebuildOptions rebuild;
    PlaylistOptions playlist;
    MkvOptions mkv;
    OutputOptions output;
    std::string completionShell; // --completion: print the script for this shell
};

// Returns the SOURCE option, for a command that takes fewer kinds of source.
CLI::Option* addReadOptions(CLI::App& command, ReadOptions& options) {
    CLI::Option* source =
        command.add_option("SOURCE", options.source, "The .EVO, .VOB or .AOB file to read")
            ->required();
    describeValue(source, "SOURCE", ValueKind::File);
    command.add_flag("--no-continue", options.noContinue,
                     "Do not continue onto the second feature file (FEATURE_2.EVO)");
    command.add_flag("--full", options.full, "Read the whole file (fast check off)");
    describeValue(command
                      .add_option("--fast-size", options.fastSize,
                                  "Fast check: read only the first MB megabytes (0 to 999, "
                                  "default 300)")
                      ->check(wholeNumberIn(0, 999)),
                  "MB", ValueKind::Text);
    command.add_flag("--no-count-frames", options.noCountFrames, "Do not count video frames");
    command.add_flag("--no-details", options.noDetails, "Report no stream details");
    command.add_flag("--strict", options.strict,
                     "Stop with exit status 4 when the source holds no MPEG program stream");
    return source;
}

CLI::Option* addOutputDirOption(CLI::App& command, std::string& folder, const std::string& files) {
    return describeValue(command.add_option("-o,--output-dir", folder,
                                            "Folder for the " + files +
                                                ", created when missing (default: the "
                                                "source's folder)"),
                         "DIR", ValueKind::Folder);
}

// `verb` says what becomes of the selected streams, `files` what is written.
void addWriteOptions(CLI::App& command, WriteOptions& options, const std::string& verb,
                     const std::string& files) {
    const CLI::Validator keys(
        [](std::string& list) {
            try {
                parseSelection(list);
            } catch (const std::invalid_argument& error) {
                return std::string(error.what());
            }
            return std::string();
        },
        "");
    describeValue(
        command
            .add_option("-s,--select", options.select,
                        "Streams to " + verb + ", e.g. v0,a0,s1 (default: every stream found)")
            ->check(keys)
            ->allow_extra_args(false),
        "KEYS", ValueKind::Text);
    addOutputDirOption(command, options.outputDir, files);
}

void addDemuxOptions(CLI::App& command, DemuxOptions& options) {
    // The option fields hold five characters; a longer extension would be cut.
    const CLI::Validator extension(
        [](std::string& text) {
            return text.size() > 5 ? "\"" + text + "\" is longer than 5 characters" : std::string();
        },
        "");
    const auto addExtension = [&](const char* name, std::string& target, const char* files) {
        describeValue(command
                          .add_option(name, target,
                                      std::string("Extension of the ") + files +
                                          " files, at most 5 characters (default " + target + ")")
                          ->check(extension),
                      "EXT", ValueKind::Text);
    };
    addExtension("--video-ext", options.videoExt, "video");
    addExtension("--audio-ext", options.audioExt, "audio");
    addExtension("--sub-ext", options.subExt, "subpicture");
    command.add_flag("--lpcm-wav", options.lpcmWav,
                     "Write LPCM audio of EVO and VOB sources as .wav files");
}

// Rebuild writes HD DVD packs: its source must be an EVO file, refused before it is read.
void addRebuildOptions(CLI::App& command, CLI::Option& source, RebuildOptions& options) {
    source.description("The .EVO file to read and rebuild");
    source.check(CLI::Validator(
        [](std::string& path) {
            return upperCase(extensionPart(path)) == ".EVO"
                       ? std::string()
                       : "\"" + path + "\" is not an .EVO file: only EVO files can be rebuilt";
        },
        ""));
    command.add_flag("--adv-pck", options.advancedPacks,
                     "Keep the advanced packs (ADV_PCK) in the rebuilt file");
}

void addPlaylistOptions(CLI::App& command, PlaylistOptions& options, std::string& folder) {
    describeValue(
        command.add_option("PLAYLIST", options.path, "The playlist to read (VPLST000.XPL)")
            ->required(),
        "PLAYLIST", ValueKind::File);
    describeValue(command
                      .add_option("--source", options.source,
                                  "The feature file whose title is read; only its name is used")
                      ->required(),
                  "SOURCE", ValueKind::File);
    command.add_flag("--tree", options.tree, "Print the title's tree after the log");
    CLI::Option* chapters =
        command.add_flag("--chapters", options.chapters, "Write the chapter list to a file");
    CLI::Option* outputDir = addOutputDirOption(command, folder, "chapters file");
    outputDir->needs(chapters)->description(outputDir->get_description() +
                                            "; only with --chapters");
}

void addMkvOptions(CLI::App& command, MkvOptions& options) {
    describeValue(
        command.add_option("--playlist", options.playlist,
                           "The playlist for track names, languages and chapters (default: "
                           "../ADV_OBJ/VPLST000.XPL beside the source's folder, when it exists)"),
        "XPL", ValueKind::File);
    command.add_flag("--keep", options.keep,
                     "Keep the work folder of demuxed files after the Matroska file is made");
}

void addOutputOptions(CLI::App& command, OutputOptions& options) {
    addChoiceOption(command, "--color", options.colour,
                    {{"auto", Colour::Auto}, {"always", Colour::Always}, {"never", Colour::Never}},
                    "WHEN", "Mark up the report with ANSI colours");
    addChoiceOption(command, "--format", options.format,
                    {{"text", Format::Text}, {"json", Format::Json}}, "FORMAT",
                    "The report's format");
    command.add_flag("-q,--quiet", options.quiet, "Show no progress");
}

// The report as JSON text. Paths and names are bytes that need not be UTF-8: a byte that is
// not is written as U+FFFD rather than ending the run.
std::string dumpJson(const nlohmann::ordered_json& report) {
    return report.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

// A command's run on the command line: the jobs' log printed on stdout as it grows (unless
// the report is JSON), the progress line on stderr when it is a terminal, errors on stderr.
class Session : public Reporter, public JobPort {
public:
    Session(const OutputOptions& output, std::ostream& out, std::ostream& err,
            bool stdoutIsTerminal, bool stderrIsTerminal)
        : json(output.format == Format::Json),
          warnings(err), context{state, *this, *this, {}, files, programs}, err_(err),
          showProgress_(!output.quiet && stderrIsTerminal) {
        const bool colour =
            output.colour == Colour::Always || (output.colour == Colour::Auto && stdoutIsTerminal);
        if (!json)
            log_.appended.connect([this, &out, colour](std::size_t index) {
                const LogLine& line = log_.lines()[index];
                out << (colour ? ansiLine(line) : plainLine(line)) << '\n';
                out.flush();
            });
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Reporter: the log; status panel 1 is the progress line.
    void log(std::string_view message) override { log_.append(message); }
    void slog(std::string_view text, int panel) override {
        if (panel != 1 || !showProgress_) return;
        err_ << "\r\x1b[K" << text;
        err_.flush();
        progressShown_ = !text.empty();
    }
    // JobPort: nothing to process and nobody to press Cancel.
    double nowDays() override { return clock_.nowDays(); }

    const MessageLog& messages() const { return log_; }

    void clearProgress() {
        if (progressShown_) err_ << "\r\x1b[K";
        progressShown_ = false;
    }

    // Ends a command with an error: the message on stderr, exit status 1.
    int fail(const std::string& message) {
        clearProgress();
        err_ << "tessary-cli: " << message << '\n';
        return kExitFailure;
    }

    // Prints the report, with the run's warnings, as one JSON document.
    void printJson(std::ostream& out, nlohmann::ordered_json report) const {
        report["warnings"] = warnings.texts();
        out << dumpJson(report) << '\n';
    }

    RunState state;
    DiskOutputFiles files;
    SystemPrograms programs;
    const bool json;
    Warnings warnings;
    JobContext context;

private:
    std::ostream& err_;
    const bool showProgress_;
    bool progressShown_ = false;
    MessageLog log_;
    SystemClock clock_;
};

// Runs a job; an error it raises ends the command (exit status 1), its message on stderr.
template <typename Job> std::optional<int> runJob(Session& session, Job job) {
    try {
        job();
    } catch (const std::exception& error) {
        return session.fail(error.what());
    }
    session.clearProgress();
    return std::nullopt;
}

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
    job.extensions = {options.demux.videoExt, options.demux.audioExt, options.demux.subExt};
    job.lpcmAsWav = options.demux.lpcmWav;
    return job;
}

// Creates the output folder when it is missing. The error text when it cannot be, else empty.
std::string makeOutputFolder(const std::string& folder) {
    if (folder.empty() || folderExists(folder)) return {};
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!error && folderExists(folder)) return {};
    return "Cannot create folder \"" + folder + "\". " +
           (error ? error.message() : std::string("Not a folder"));
}

// A Read that met no pack header found no MPEG program stream (a text file, zeros). That is
// warned of, and a script that reads many files goes on, unless --strict stops the command
// there: then this is false.
bool programStreamFound(const ReadOptions& options, const ReadResult& read, Session& session) {
    if (read.programStreamFound) return true;
    session.warnings.add("no MPEG program stream found in " + namePart(options.source));
    return !options.strict;
}

// Reads the source. Nothing when the command goes on; else the exit status it stops with (a
// failed Read, or no program stream under --strict, which takes back the folders made for its
// outputs and reports the Read).
std::optional<int> readChosenSource(const ReadOptions& options, Session& session,
                                    const std::vector<std::string>& newFolders, ReadResult& read,
                                    std::ostream& out) {
    if (const auto stop =
            runJob(session, [&] { read = readSource(readJobOptions(options), session.context); }))
        return stop;
    if (programStreamFound(options, read, session)) return std::nullopt;
    removeEmptyFolders(newFolders);
    if (session.json) session.printJson(out, readReport(read, read.summary, session.messages()));
    return kExitNoProgramStream;
}

// The run state after a writing pass, for the streams the Read found.
RunSummary summaryAfter(const ReadResult& read, const ReadOptions& options,
                        const Session& session) {
    const std::vector<int> slots = slotsOf(read.summary.streams);
    return summarizeRun(session.state, read.source, !options.noCountFrames, &slots);
}

// Reads the source and then, for demux and rebuild, writes the chosen streams. Nothing chosen:
// the pass is skipped with a warning.
int runSource(const Options& options, Pass pass, Session& session, std::ostream& out) {
    const std::vector<std::string> newFolders =
        pass == Pass::None ? std::vector<std::string>() : missingFolders(options.write.outputDir);
    if (pass != Pass::None)
        if (const std::string error = makeOutputFolder(options.write.outputDir); !error.empty())
            return session.fail(error);
    ReadResult read;
    if (const auto stop = readChosenSource(options.read, session, newFolders, read, out))
        return *stop;
    if (pass == Pass::None) {
        if (session.json)
            session.printJson(out, readReport(read, read.summary, session.messages()));
        return kExitOk;
    }

    const std::vector<ChosenStream> chosen =
        chosenStreams(options.write.select, read, session.warnings);
    const bool demux = pass == Pass::Demux;
    if (chosen.empty())
        session.warnings.add(std::string("no stream to ") + (demux ? "demux" : "rebuild") + " in " +
                             namePart(options.read.source));
    std::vector<WrittenFile> demuxed;
    std::optional<RebuildResult> rebuilt;
    if (!chosen.empty()) {
        const auto stop = runJob(session, [&] {
            if (demux) {
                demuxed = demuxStreams(demuxJobOptions(options, chosen), session.context).files;
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
    // Packets of streams the Read did not find lose their identifier in the rebuilt file.
    if (rebuilt && !rebuilt->unnumbered.empty()) {
        std::string text = "streams the Read did not find were written with the identifier FF:";
        for (int id : rebuilt->unnumbered)
            text += ' ' + hex2(static_cast<uint32_t>(id));
        session.warnings.add(text + " (read the whole file with --full to find every stream)");
    }
    if (session.json) {
        const RunSummary summary = summaryAfter(read, options.read, session);
        session.printJson(out, demux ? demuxReport(read, summary, session.messages(), demuxed)
                                     : rebuildReport(read, summary, session.messages(),
                                                     rebuilt ? &*rebuilt : nullptr));
    }
    return kExitOk;
}

// Reads the playlist (for names, languages and chapters) and the source, demuxes the chosen
// streams into a work folder, and has mkvmerge make DIR/NAME.mkv of them. The work folder
// goes once the file is made, unless it is to be kept.
int runMkv(const Options& options, Session& session, std::ostream& out, std::ostream& err) {
    const std::string& folder = options.write.outputDir;
    const std::vector<std::string> newFolders = missingFolders(folder);
    if (const std::string error = makeOutputFolder(folder); !error.empty())
        return session.fail(error);

    const std::string playlistPath =
        options.mkv.playlist.empty() ? discPlaylistOf(options.read.source) : options.mkv.playlist;
    PlaylistResult playlist;
    if (!playlistPath.empty()) {
        MediaAttributes attributes;
        if (const auto stop = runJob(session, [&] {
                readPlaylistTitle({playlistPath, options.read.source}, attributes, session,
                                  playlist);
            }))
            return *stop;
        for (const std::string& warning : playlist.warnings)
            session.warnings.add(warning + ": no names, languages or chapters");
    }
    ReadResult read;
    if (const auto stop = readChosenSource(options.read, session, newFolders, read, out))
        return *stop;

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
    if (matroska.outcome.made)
        for (const std::string& file : matroska.subpictures)
            err << "tessary-cli: subpicture stream not in the Matroska file, kept as " << file
                << '\n';
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
        if (const std::string error = makeOutputFolder(folder); !error.empty())
            return session.fail(error);
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

// Said in every command's help: a name that begins with "-" is read as an option unless "--"
// comes before it.
constexpr const char* kDashNote =
    "A file name that begins with \"-\" is taken for an option: put \"--\" before it, as in "
    "tessary-cli read -- -x.EVO";

// The commands of the parser, to tell which one was given (none of these: read).
struct Commands {
    CLI::App* demux;
    CLI::App* rebuild;
    CLI::App* playlist;
    CLI::App* mkv;
};

// Defines tessary-cli's commands and options on `app`, each bound to its field of `options`.
Commands defineCommandLine(CLI::App& app, Options& options) {
    app.formatter(std::make_shared<HelpFormatter>());
    app.set_help_flag("-h,--help", "Print this help and exit");
    app.set_version_flag("--version", std::string("tessary-cli ") + TESSARY_VERSION,
                         "Print the version and exit");
    app.require_subcommand(0, 1);
    app.footer("Run \"tessary-cli COMMAND --help\" for the options of a command.\n" +
               std::string(kDashNote));
    // Hidden from the help: the build runs it to make the completion scripts it installs.
    app.add_option("--completion", options.completionShell,
                   "Print the completion script for bash or zsh")
        ->check(oneOf({"bash", "zsh"}))
        ->option_text("SHELL")
        ->group(kHiddenGroup);

    CLI::App* readCommand =
        app.add_subcommand("read", "Find the streams of a source file and report on them");
    addReadOptions(*readCommand, options.read);
    addOutputOptions(*readCommand, options.output);

    CLI::App* demuxCommand = app.add_subcommand(
        "demux", "Read a source file, then write the streams chosen to one file each");
    addReadOptions(*demuxCommand, options.read);
    addWriteOptions(*demuxCommand, options.write, "demux", "demuxed files");
    addDemuxOptions(*demuxCommand, options.demux);
    addOutputOptions(*demuxCommand, options.output);

    CLI::App* rebuildCommand = app.add_subcommand(
        "rebuild", "Read an EVO file, then write a new EVO holding only the streams chosen");
    CLI::Option* rebuildSource = addReadOptions(*rebuildCommand, options.read);
    addWriteOptions(*rebuildCommand, options.write, "keep", "rebuilt file");
    addRebuildOptions(*rebuildCommand, *rebuildSource, options.rebuild);
    addOutputOptions(*rebuildCommand, options.output);

    CLI::App* playlistCommand = app.add_subcommand(
        "playlist", "Read a playlist for the title that plays a source file, and its chapters");
    addPlaylistOptions(*playlistCommand, options.playlist, options.write.outputDir);
    addOutputOptions(*playlistCommand, options.output);
    CLI::App* mkvCommand = app.add_subcommand(
        "mkv", "Read a source file and its playlist, demux the streams chosen and make one "
               "Matroska file of them with mkvmerge");
    addReadOptions(*mkvCommand, options.read);
    addWriteOptions(*mkvCommand, options.write, "put into the Matroska file",
                    "Matroska file (a work folder NAME.work is made there)");
    addMkvOptions(*mkvCommand, options.mkv);
    addOutputOptions(*mkvCommand, options.output);

    for (CLI::App* command :
         {readCommand, demuxCommand, rebuildCommand, playlistCommand, mkvCommand})
        command->footer(kDashNote);
    return {demuxCommand, rebuildCommand, playlistCommand, mkvCommand};
}

constexpr const char* kAbout = "Tessary: reports, extracts and rebuilds the streams of HD DVD "
                               "EVO files (and DVD VOB/AOB files).";

} // namespace

void withCommandLine(const std::function<void(const CLI::App&)>& use) {
    CLI::App app{kAbout, "tessary-cli"};
    Options options;
    defineCommandLine(app, options);
    use(app);
}

int runCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
           bool stdoutIsTerminal, bool stderrIsTerminal) {
    CLI::App app{kAbout, "tessary-cli"};
    Options options;
    const Commands commands = defineCommandLine(app, options);
    if (refuseWithoutCommand(app, argc, argv, err)) return kExitUsage;
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return kExitOk;
    } catch (const CLI::CallForVersion&) {
        out << app.version() << '\n';
        return kExitOk;
    } catch (const CLI::ParseError& error) {
        printUsageError(app, error, argc, argv, err);
        return kExitUsage;
    }
    if (!options.completionShell.empty()) {
        out << completionScript(app, options.completionShell);
        return kExitOk;
    }
    if (app.get_subcommands().empty()) {
        printShortUsage(app, err);
        return kExitUsage;
    }

    Session session(options.output, out, err, stdoutIsTerminal, stderrIsTerminal);
    if (*commands.playlist) return runPlaylist(options, session, out);
    if (*commands.mkv) return runMkv(options, session, out, err);
    const Pass pass = *commands.demux     ? Pass::Demux
                      : *commands.rebuild ? Pass::Rebuild
                                          : Pass::None;
    return runSource(options, pass, session, out);
}

} // namespace tessary::cli
