#include "CliApp.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "Commands.h"
#include "Completion.h"
#include "HelpFormatter.h"
#include "OptionValues.h"
#include "UsageErrors.h"
#include "VisibleParts.h"
#include "jobs/StreamKeys.h"
#include "platform/Paths.h"
#include "platform/Text.h"

namespace tessary::cli {

namespace {

// Returns the SOURCE option, for a command that takes fewer kinds of source.
CLI::Option* addReadOptions(CLI::App& command, ReadOptions& options) {
    CLI::Option* source =
        command
            .add_option("SOURCE", options.source,
                        "The .EVO, .VOB or .AOB file to read; with --title, the disc")
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
                     "Stop with exit status 4 when the source holds no MPEG program stream "
                     "or is encrypted");
    describeValue(command
                      .add_option("--title", options.title,
                                  "Read title N of the disc given as SOURCE (its folder, its "
                                  "HVDVD_TS folder or its playlist): its first EVO file, with "
                                  "the title's names, languages and chapters")
                      ->check(CLI::PositiveNumber),
                  "N", ValueKind::Text);
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
    command.add_flag("--codec-ext", options.codecExt,
                     "Name each audio and video file by its codec (.264, .vc1, .m2v, .ac3, "
                     ".eac3, .dts, .thd, .pcm, .mlp) instead of the extensions above");
    command.add_flag("--lpcm-wav", options.lpcmWav,
                     "Write LPCM audio of EVO and VOB sources as .wav files");
}

// Rebuild writes HD DVD packs: its source must be an EVO file, refused before it is read.
void addRebuildOptions(CLI::App& command, CLI::Option& source, RebuildOptions& options) {
    source.description("The .EVO file to read and rebuild");
    // A disc (a folder or its playlist) stands for the EVO file of the title that --title names.
    source.check(CLI::Validator(
        [](std::string& path) {
            const std::string extension = upperCase(extensionPart(path));
            return extension == ".EVO" || extension == ".XPL" || folderExists(path)
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
    addChoiceOption(
        command, "--chapters-format", options.chaptersFormat,
        {{"preset", ChapterFormat::Preset},
         {"ogm", ChapterFormat::Ogm},
         {"xml", ChapterFormat::Xml}},
        "FORMAT",
        "The chapters file's form: the preset list, plain OGM lines (CHAPTER01, CHAPTER01NAME) "
        "or Matroska XML (NAME.chapters.xml); only with --chapters")
        ->needs(chapters);
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

void addTitlesOptions(CLI::App& command, TitlesOptions& options) {
    describeValue(command
                      .add_option("DISC", options.disc,
                                  "The disc: its folder, its HVDVD_TS folder or its playlist "
                                  "(VPLST000.XPL)")
                      ->required(),
                  "DISC", ValueKind::File);
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
    CLI::App* titles;
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

    CLI::App* titlesCommand = app.add_subcommand(
        "titles", "List the titles of a disc's playlist: their files, streams and chapters");
    addTitlesOptions(*titlesCommand, options.titles);
    addOutputOptions(*titlesCommand, options.output);

    for (CLI::App* command :
         {readCommand, demuxCommand, rebuildCommand, playlistCommand, mkvCommand, titlesCommand})
        command->footer(kDashNote);
    return {demuxCommand, rebuildCommand, playlistCommand, mkvCommand, titlesCommand};
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
    if (*commands.titles) return runTitles(options, session, out);
    if (*commands.playlist) return runPlaylist(options, session, out);
    if (*commands.mkv) return runMkv(options, session, out, err);
    const Pass pass = *commands.demux     ? Pass::Demux
                      : *commands.rebuild ? Pass::Rebuild
                                          : Pass::None;
    return runSource(options, pass, session, out);
}

} // namespace tessary::cli
