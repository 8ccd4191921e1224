#include "CliApp.h"

#include <CLI/CLI.hpp>
#include <ostream>
#include <string>

#include "JsonReport.h"
#include "TerminalOutput.h"
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

int runRead(const ReadOptions& options, const OutputOptions& output, std::ostream& out,
            std::ostream& err, bool stdoutIsTerminal, bool stderrIsTerminal) {
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

    main.Resetcbs();
    applyReadOptions(main, options);
    main.eEVOfile.setText(options.source);
    main.EVOadj();
    main.bReadEVOClick();
    if (progressShown) err << "\r\x1b[K";

    if (ui.failed) return kExitFailure;
    if (json) out << readReport(main).dump(2) << '\n';
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
    readCommand->add_option("SOURCE", read.source, "The .EVO, .VOB or .AOB file to read")
        ->required();
    readCommand->add_flag("--no-continue", read.noContinue,
                          "Do not continue onto the second feature file (FEATURE_2.EVO)");
    readCommand->add_flag("--full", read.full, "Read the whole file (fast check off)");
    readCommand
        ->add_option("--fast-size", read.fastSize, "Fast check: read only the first MB megabytes")
        ->check(CLI::Range(0, 999))
        ->default_val(300);
    readCommand->add_flag("--no-count-frames", read.noCountFrames, "Do not count video frames");
    readCommand->add_flag("--no-details", read.noDetails, "Report no stream details");
    addOutputOptions(*readCommand, output);

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

    if (*readCommand) return runRead(read, output, out, err, stdoutIsTerminal, stderrIsTerminal);
    return kExitUsage;
}

} // namespace tessary::cli
