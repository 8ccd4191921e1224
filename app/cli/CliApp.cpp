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
#include "MkvReport.h"
#include "NewFolders.h"
#include "OptionValues.h"
#include "Selection.h"
#include "TerminalOutput.h"
#include "UsageErrors.h"
#include "VisibleParts.h"
#include "Warnings.h"
#include "platform/Format.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "shell/Main.h"

namespace tessary::cli {

namespace {

// The command line has no window: nothing to process, nobody to ask. Errors are kept for the
// exit status and printed on stderr.
class CliUi : public Ui {
public:
    explicit CliUi(std::ostream& err) : err_(err) {}
    bool confirm(const std::string&) override { return false; }
    void showError(const std::string& message) override {
        failed = true;
        err_ << "tessary-cli: " << message << '\n';
    }
    bool failed = false;

private:
    std::ostream& err_;
};

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

// Applies the options of a Read to the window's controls, as a user would set them.
void applyReadOptions(TfMain& main, const ReadOptions& options) {
    main.cbContinue.setChecked(!options.noContinue);
    main.cbFastCheck.setChecked(!options.full);
    main.ieFastSize.setValue(options.fastSize);
    main.cbCountFr.setChecked(!options.noCountFrames);
    main.cbDetails.setChecked(!options.noDetails);
    main.cbAutoClear.setChecked(false);
    main.rbNoAuto.setChecked(true);
}

// Checks the boxes of the selected streams that the Read found, and clears the others. A key
// whose stream was not found is skipped with a warning. No selection: every stream found.
void applySelection(TfMain& main, const std::vector<std::string>& lists, Warnings& warnings) {
    if (lists.empty()) return; // the Read checked every stream it found
    for (int slot = 1; slot < kStreamSlotCount; ++slot)
        if (CheckBox* box = main.boxOfSlot(slot)) box->setChecked(false);
    for (const std::string& list : lists)
        for (const StreamKey key : parseSelection(list)) {
            CheckBox* box = main.boxOfSlot(slotOfKey(key));
            if (box->enabled())
                box->setChecked(true);
            else
                warnings.add("no stream " + keyName(key) + " in " + namePart(main.eEVOfile.text()) +
                             ", skipped");
        }
    main.cbVideoClick();
}

// Creates the output folder when it is missing. False (the reason shown) when it cannot be.
bool makeOutputFolder(const std::string& folder, Ui& ui) {
    if (folder.empty() || folderExists(folder)) return true;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!error && folderExists(folder)) return true;
    ui.showError("Cannot create folder \"" + folder + "\". " +
                 (error ? error.message() : std::string("Not a folder")));
    return false;
}

// Sets the controls that only the pass uses and starts it as its button does. As in the
// window, the button needs at least one stream box checked: none, and the pass is skipped
// with a warning.
void startPass(TfMain& main, Pass pass, const Options& options, Warnings& warnings) {
    const bool demux = pass == Pass::Demux;
    if (demux) {
        main.eVideoExt.setText(options.demux.videoExt);
        main.eAudioExt.setText(options.demux.audioExt);
        main.eSubExt.setText(options.demux.subExt);
        main.cbLpcmWav.setChecked(options.demux.lpcmWav);
    } else {
        main.cbRBAdvanced.setChecked(options.rebuild.advancedPacks);
    }
    if (!(demux ? main.bDemux : main.bRebuild).enabled()) {
        warnings.add(std::string("no stream to ") + (demux ? "demux" : "rebuild") + " in " +
                     namePart(main.eEVOfile.text()));
        return;
    }
    if (demux) {
        main.bDemuxClick();
        return;
    }
    main.bRebuildClick();
    // Packets of streams the Read did not find lose their identifier in the rebuilt file.
    if (const auto& ids = main.lastRebuildUnnumbered(); !ids.empty()) {
        std::string text = "streams the Read did not find were written with the identifier FF:";
        for (int id : ids)
            text += ' ' + hex2(static_cast<uint32_t>(id));
        warnings.add(text + " (read the whole file with --full to find every stream)");
    }
}

nlohmann::ordered_json report(TfMain& main, Pass pass) {
    switch (pass) {
    case Pass::Demux: return demuxReport(main);
    case Pass::Rebuild: return rebuildReport(main);
    case Pass::None: break;
    }
    return readReport(main);
}

// The report as JSON text. Paths and names are bytes that need not be UTF-8: a byte that is
// not is written as U+FFFD rather than ending the run.
std::string dumpJson(const nlohmann::ordered_json& report) {
    return report.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

// A command's window model with the command line as its face: the log printed on stdout as it
// grows (unless the report is JSON), the progress line on stderr when it is a terminal.
class Session {
public:
    Session(const OutputOptions& output, std::ostream& out, std::ostream& err,
            bool stdoutIsTerminal, bool stderrIsTerminal)
        : ui(err), main(ui, clock), json(output.format == Format::Json), warnings(err), err_(err) {
        const bool colour =
            output.colour == Colour::Always || (output.colour == Colour::Auto && stdoutIsTerminal);
        if (!json)
            main.reMessage.appended.connect([this, &out, colour](std::size_t index) {
                const LogLine& line = main.reMessage.lines()[index];
                out << (colour ? ansiLine(line) : plainLine(line)) << '\n';
                out.flush();
            });
        if (!output.quiet && stderrIsTerminal)
            main.statusBar.changed.connect([this](int panel) {
                if (panel != 1) return;
                const std::string& text = main.statusBar.hint();
                err_ << "\r\x1b[K" << text;
                err_.flush();
                progressShown_ = !text.empty();
            });
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    void clearProgress() {
        if (progressShown_) err_ << "\r\x1b[K";
        progressShown_ = false;
    }

    // Prints the report, with the run's warnings, as one JSON document.
    void printJson(std::ostream& out, nlohmann::ordered_json report) const {
        report["warnings"] = warnings.texts();
        out << dumpJson(report) << '\n';
    }

    CliUi ui;
    SystemClock clock;
    TfMain main;
    const bool json;
    Warnings warnings;

private:
    std::ostream& err_;
    bool progressShown_ = false;
};

// A Read that met no pack header found no MPEG program stream (a text file, zeros). That is
// warned of, and a script that reads many files goes on, unless --strict stops the command
// there: then this is false.
bool programStreamFound(const ReadOptions& options, Session& session) {
    if (session.main.state.packHeaderSeen) return true;
    session.warnings.add("no MPEG program stream found in " + namePart(options.source));
    return !options.strict;
}

// Ends a command that --strict stops after the Read: the folders made for its outputs go
// again, and the report is that of the Read.
int stopWithoutProgramStream(Session& session, const std::vector<std::string>& newFolders,
                             std::ostream& out) {
    removeEmptyFolders(newFolders);
    if (session.json) session.printJson(out, readReport(session.main));
    return kExitNoProgramStream;
}

// Reads the source and then runs the pass on the selected streams.
// Sets the Read's options and its source, as a user would before pressing Read.
void chooseSource(TfMain& main, const ReadOptions& options) {
    main.Resetcbs();
    applyReadOptions(main, options);
    main.eEVOfile.setText(options.source);
    main.EVOadj();
}

// Reads the chosen source. Nothing when the command goes on; else the exit status it stops
// with (a failed Read, or no program stream under --strict).
std::optional<int> readChosenSource(const ReadOptions& options, Session& session,
                                    const std::vector<std::string>& newFolders, std::ostream& out) {
    session.main.bReadEVOClick();
    session.clearProgress();
    if (session.ui.failed) return kExitFailure;
    if (!programStreamFound(options, session))
        return stopWithoutProgramStream(session, newFolders, out);
    return std::nullopt;
}

int runSource(const Options& options, Pass pass, Session& session, std::ostream& out) {
    TfMain& main = session.main;
    const std::vector<std::string> newFolders =
        pass == Pass::None ? std::vector<std::string>() : missingFolders(options.write.outputDir);
    if (pass != Pass::None && !makeOutputFolder(options.write.outputDir, session.ui))
        return kExitFailure;
    chooseSource(main, options.read);
    if (const auto stop = readChosenSource(options.read, session, newFolders, out)) return *stop;

    if (pass != Pass::None) {
        applySelection(main, options.write.select, session.warnings);
        main.eWorkdir.setText(options.write.outputDir);
        startPass(main, pass, options, session.warnings);
        session.clearProgress();
        if (session.ui.failed) return kExitFailure;
    }

    if (session.json) session.printJson(out, report(main, pass));
    return kExitOk;
}

// The disc's playlist for a source in its HVDVD_TS folder: ../ADV_OBJ/VPLST000.XPL beside the
// source's folder; empty when there is none.
std::string discPlaylist(const std::string& source) {
    namespace fs = std::filesystem;
    const fs::path candidate =
        fs::path(source).parent_path().parent_path() / "ADV_OBJ" / "VPLST000.XPL";
    std::error_code error;
    return fs::is_regular_file(candidate, error) ? candidate.string() : std::string();
}

// Moves the subpicture files out of the work folder, beside the Matroska file (the muxer
// cannot take them). Returns where they went.
std::vector<std::string> keepSubpictureFiles(const std::vector<std::string>& files,
                                             const std::string& folder, Warnings& warnings) {
    namespace fs = std::filesystem;
    std::vector<std::string> kept;
    for (const std::string& file : files) {
        const fs::path target = fs::path(folder) / fs::path(file).filename();
        std::error_code error;
        fs::rename(file, target, error);
        if (error) {
            warnings.add("cannot move " + file + ": " + error.message());
            kept.push_back(file);
        } else {
            kept.push_back(target.string());
        }
    }
    return kept;
}

// Reads the playlist (for names, languages and chapters) and the source, demuxes the chosen
// streams into a work folder, and has mkvmerge make DIR/NAME.mkv of them. The work folder
// goes once the file is made, unless it is to be kept.
int runMkv(const Options& options, Session& session, std::ostream& out, std::ostream& err) {
    TfMain& main = session.main;
    const std::string& folder = options.write.outputDir;
    const std::vector<std::string> newFolders = missingFolders(folder);
    if (!makeOutputFolder(folder, session.ui)) return kExitFailure;
    chooseSource(main, options.read);

    const std::string playlist =
        options.mkv.playlist.empty() ? discPlaylist(options.read.source) : options.mkv.playlist;
    if (!playlist.empty()) {
        main.eXPLfile.setText(playlist);
        main.XPLadj();
        main.bReadXPLClick();
        session.clearProgress();
        if (session.ui.failed) return kExitFailure;
        if (!titleFound(main))
            session.warnings.add("no title of " + namePart(playlist) + " plays " +
                                 namePart(options.read.source) +
                                 ": no names, languages or chapters");
    }
    if (const auto stop = readChosenSource(options.read, session, newFolders, out)) return *stop;

    // The Matroska file goes to the output folder, or beside the source.
    const std::string target = folder.empty() ? folderPart(options.read.source) : folder;
    const std::string workFolder =
        (std::filesystem::path(target) / (main.state.outputBaseName + ".work")).string();
    if (!makeOutputFolder(workFolder, session.ui)) return kExitFailure;
    applySelection(main, options.write.select, session.warnings);
    main.eWorkdir.setText(workFolder);
    main.cbMakeMkv.setChecked(false);
    Options demux = options;
    demux.demux.lpcmWav = true; // mkvmerge reads LPCM from WAV files
    startPass(main, Pass::Demux, demux, session.warnings);
    session.clearProgress();
    if (session.ui.failed) return kExitFailure;
    if (main.lastDemuxTargets().empty()) {
        std::error_code ignored;
        std::filesystem::remove(workFolder, ignored); // empty: nothing was demuxed
        session.ui.showError("no stream to put into a Matroska file in " +
                             namePart(options.read.source));
        return kExitFailure;
    }

    const std::string mkvPath =
        (std::filesystem::path(target) / (main.state.outputBaseName + ".mkv")).string();
    if (!main.makeMatroskaFile(mkvPath)) return kExitFailure;
    session.clearProgress();
    std::vector<std::string> subpictures = main.lastMuxPlan().subpictureFiles;
    const MuxOutcome& outcome = main.lastMuxOutcome();
    if (outcome.made) {
        subpictures =
            keepSubpictureFiles(subpictures, target.empty() ? "." : target, session.warnings);
        for (const std::string& file : subpictures)
            err << "tessary-cli: subpicture stream not in the Matroska file, kept as " << file
                << '\n';
        if (!options.mkv.keep) {
            std::error_code error;
            std::filesystem::remove_all(workFolder, error);
            if (error) session.warnings.add("cannot remove " + workFolder + ": " + error.message());
        }
    }
    if (session.json) session.printJson(out, mkvReport(main, subpictures));
    if (outcome.made) return kExitOk;
    err << "tessary-cli: mkvmerge was not found (install mkvtoolnix): the demuxed streams, the "
           "options file and the chapters are in "
        << workFolder << "; to make " << mkvPath << ", run:\n"
        << outcome.command << '\n';
    return kExitMuxerMissing;
}

// Reads the playlist for the source's title, then writes its chapter list when asked to.
int runPlaylist(const Options& options, Session& session, std::ostream& out) {
    TfMain& main = session.main;
    const PlaylistOptions& playlist = options.playlist;
    const std::string& folder = options.write.outputDir;
    if (playlist.chapters && !makeOutputFolder(folder, session.ui)) return kExitFailure;
    main.eEVOfile.setText(playlist.source);
    main.EVOadj();
    main.eXPLfile.setText(playlist.path);
    main.XPLadj();
    main.bReadXPLClick();
    session.clearProgress();
    if (session.ui.failed) return kExitFailure;
    if (!titleFound(main))
        session.warnings.add("no title of " + namePart(playlist.path) + " plays " +
                             namePart(playlist.source));

    if (playlist.chapters) {
        main.eWorkdir.setText(folder);
        main.bWriteChapsClick();
        if (session.ui.failed) return kExitFailure;
    }

    if (session.json)
        session.printJson(out, playlistReport(main));
    else if (playlist.tree)
        printTree(out, main.tvXPL.nodes());
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
