#include "CliApp.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <ostream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "JsonReport.h"
#include "Selection.h"
#include "TerminalOutput.h"
#include "platform/Paths.h"
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
};

struct DemuxOptions {
    std::vector<std::string> select; // lists of stream keys, checked while parsing
    std::string outputDir;
    std::string videoExt = "mpv";
    std::string audioExt = "mpa";
    std::string subExt = "sup";
};

void addReadOptions(CLI::App& command, ReadOptions& options) {
    command.add_option("SOURCE", options.source, "The .EVO, .VOB or .AOB file to read")->required();
    command.add_flag("--no-continue", options.noContinue,
                     "Do not continue onto the second feature file (FEATURE_2.EVO)");
    command.add_flag("--full", options.full, "Read the whole file (fast check off)");
    command
        .add_option("--fast-size", options.fastSize, "Fast check: read only the first MB megabytes")
        ->check(CLI::Range(0, 999))
        ->default_val(300);
    command.add_flag("--no-count-frames", options.noCountFrames, "Do not count video frames");
    command.add_flag("--no-details", options.noDetails, "Report no stream details");
}

void addDemuxOptions(CLI::App& command, DemuxOptions& options) {
    const CLI::Validator keys(
        [](std::string& list) {
            try {
                parseSelection(list);
            } catch (const std::invalid_argument& error) {
                return std::string(error.what());
            }
            return std::string();
        },
        "KEYS");
    command
        .add_option("-s,--select", options.select,
                    "Streams to demux, e.g. v0,a0,s1 (default: every stream found)")
        ->check(keys)
        ->allow_extra_args(false);
    command.add_option("-o,--output-dir", options.outputDir,
                       "Folder for the demuxed files, created when missing (default: the "
                       "source's folder)");
    // The option fields hold five characters; a longer extension would be cut.
    const CLI::Validator extension(
        [](std::string& text) {
            return text.size() > 5 ? "\"" + text + "\" is longer than 5 characters" : std::string();
        },
        "EXT");
    command.add_option("--video-ext", options.videoExt, "Extension of the video files")
        ->check(extension)
        ->default_str("mpv");
    command.add_option("--audio-ext", options.audioExt, "Extension of the audio files")
        ->check(extension)
        ->default_str("mpa");
    command.add_option("--sub-ext", options.subExt, "Extension of the subpicture files")
        ->check(extension)
        ->default_str("sup");
}

void addOutputOptions(CLI::App& command, OutputOptions& options) {
    const std::map<std::string, Colour> colours{
        {"auto", Colour::Auto}, {"always", Colour::Always}, {"never", Colour::Never}};
    const std::map<std::string, Format> formats{{"text", Format::Text}, {"json", Format::Json}};
    command.add_option("--color", options.colour, "Mark up the report with ANSI colours")
        ->transform(CLI::CheckedTransformer(colours, CLI::ignore_case))
        ->default_str("auto");
    command.add_option("--format", options.format, "Print the report as text or as JSON")
        ->transform(CLI::CheckedTransformer(formats, CLI::ignore_case))
        ->default_str("text");
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
void applySelection(TfMain& main, const std::vector<std::string>& lists, std::ostream& err) {
    if (lists.empty()) return; // the Read checked every stream it found
    for (int slot = 1; slot < kStreamSlotCount; ++slot)
        if (CheckBox* box = main.boxOfSlot(slot)) box->setChecked(false);
    for (const std::string& list : lists)
        for (const StreamKey key : parseSelection(list)) {
            CheckBox* box = main.boxOfSlot(slotOfKey(key));
            if (box->enabled())
                box->setChecked(true);
            else
                err << "tessary-cli: warning: no stream " << keyName(key) << " in "
                    << namePart(main.eEVOfile.text()) << ", skipped\n";
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

// Reads the source and, with `demux`, demuxes the selected streams.
int runSource(const ReadOptions& options, const DemuxOptions* demux, const OutputOptions& output,
              std::ostream& out, std::ostream& err, bool stdoutIsTerminal, bool stderrIsTerminal) {
    CliUi ui(err);
    SystemClock clock;
    TfMain main(ui, clock);
    const bool colour =
        output.colour == Colour::Always || (output.colour == Colour::Auto && stdoutIsTerminal);
    const bool json = output.format == Format::Json;
    const bool progress = !output.quiet && stderrIsTerminal;

    if (!json)
        main.reMessage.appended.connect([&](std::size_t index) {
            const LogLine& line = main.reMessage.lines()[index];
            out << (colour ? ansiLine(line) : plainLine(line)) << '\n';
            out.flush();
        });
    bool progressShown = false;
    if (progress)
        main.statusBar.changed.connect([&](int panel) {
            if (panel != 1) return;
            const std::string& text = main.statusBar.hint();
            err << "\r\x1b[K" << text;
            err.flush();
            progressShown = !text.empty();
        });

    auto clearProgress = [&] {
        if (progressShown) err << "\r\x1b[K";
        progressShown = false;
    };

    if (demux && !makeOutputFolder(demux->outputDir, ui)) return kExitFailure;
    main.Resetcbs();
    applyReadOptions(main, options);
    main.eEVOfile.setText(options.source);
    main.EVOadj();
    main.bReadEVOClick();
    clearProgress();
    if (ui.failed) return kExitFailure;

    if (demux) {
        applySelection(main, demux->select, err);
        main.eWorkdir.setText(demux->outputDir);
        main.eVideoExt.setText(demux->videoExt);
        main.eAudioExt.setText(demux->audioExt);
        main.eSubExt.setText(demux->subExt);
        // As in the window, Demux needs at least one stream box checked.
        if (main.bDemux.enabled())
            main.bDemuxClick();
        else
            err << "tessary-cli: warning: no stream to demux in " << namePart(main.eEVOfile.text())
                << '\n';
        clearProgress();
        if (ui.failed) return kExitFailure;
    }

    if (json) out << (demux ? demuxReport(main) : readReport(main)).dump(2) << '\n';
    return kExitOk;
}

} // namespace

int runCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
           bool stdoutIsTerminal, bool stderrIsTerminal) {
    CLI::App app{"Tessary: reports, extracts and rebuilds the streams of HD DVD EVO files "
                 "(and DVD VOB/AOB files).",
                 "tessary-cli"};
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string("tessary-cli ") + TESSARY_VERSION);

    OutputOptions output;
    ReadOptions read;
    CLI::App* readCommand =
        app.add_subcommand("read", "Find the streams of a source file and report on them");
    addReadOptions(*readCommand, read);
    addOutputOptions(*readCommand, output);

    DemuxOptions demux;
    CLI::App* demuxCommand = app.add_subcommand(
        "demux", "Read a source file, then write the streams chosen to one file each");
    addReadOptions(*demuxCommand, read);
    addDemuxOptions(*demuxCommand, demux);
    addOutputOptions(*demuxCommand, output);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return kExitOk;
    } catch (const CLI::CallForAllHelp&) {
        out << app.help("", CLI::AppFormatMode::All);
        return kExitOk;
    } catch (const CLI::CallForVersion&) {
        out << app.version() << '\n';
        return kExitOk;
    } catch (const CLI::ParseError& error) {
        err << "tessary-cli: " << error.what() << '\n';
        err << "Run with --help for more information.\n";
        return kExitUsage;
    }

    if (*readCommand)
        return runSource(read, nullptr, output, out, err, stdoutIsTerminal, stderrIsTerminal);
    if (*demuxCommand)
        return runSource(read, &demux, output, out, err, stdoutIsTerminal, stderrIsTerminal);
    return kExitUsage;
}

} // namespace tessary::cli
