// tessary-cli's help, its answers to command lines it cannot run, its warning about sources
// that hold no program stream, and the completion scripts made from its parser.
#include <gtest/gtest.h>

#include <CLI/CLI.hpp>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>

#include "CliApp.h"
#include "CliRun.h"
#include "DemoDisc.h"
#include "ShellCommands.h"
#include "TempDir.h"

namespace tessary::test {
namespace {

namespace fs = std::filesystem;

const std::string kCommands = R"(Commands:
  read                  Find the streams of a source file and report on them
  demux                 Read a source file, then write the streams chosen to one
                        file each
  rebuild               Read an EVO file, then write a new EVO holding only the
                        streams chosen
  playlist              Read a playlist for the title that plays a source file,
                        and its chapters
  mkv                   Read a source file and its playlist, demux the streams
                        chosen and make one Matroska file of them with mkvmerge
  titles                List the titles of a disc's playlist: their files,
                        streams and chapters
)";

std::string helpHint(const std::string& command) {
    return "Run \"tessary-cli" + (command.empty() ? "" : " " + command) +
           " --help\" for more information.\n";
}

// Every command with the names of its options, as the parser has them.
std::map<std::string, std::vector<std::string>> parserOptions() {
    std::map<std::string, std::vector<std::string>> options;
    cli::withCommandLine([&](const CLI::App& app) {
        for (const CLI::App* command : app.get_subcommands({})) {
            auto& names = options[command->get_name()];
            for (const CLI::Option* option : command->get_options()) {
                for (const std::string& name : option->get_snames())
                    names.push_back("-" + name);
                for (const std::string& name : option->get_lnames())
                    names.push_back("--" + name);
            }
        }
    });
    return options;
}

TEST(CliUsage, BadCommandLinesAreAnsweredInTheUsersWords) {
    TempDir dir;
    const std::string source = (demoDisc() / "HVDVD_TS" / "FEATURE_1.EVO").string();
    struct Case {
        std::vector<std::string> args;
        std::string err;
    };
    const std::vector<Case> cases{
        {{}, "Usage: tessary-cli COMMAND [OPTIONS] FILE\n\n" + kCommands + '\n' + helpHint("")},
        {{"x", source}, "tessary-cli: unknown command 'x'\n\n" + kCommands + '\n' + helpHint("")},
        {{"read", "--color", "sometimes", source},
         "tessary-cli: --color: \"sometimes\" is not one of auto, always, never\n" +
             helpHint("read")},
        {{"demux", "--format", "xml", source},
         "tessary-cli: --format: \"xml\" is not one of text, json\n" + helpHint("demux")},
        {{"read", "--fast-size", "1000", source},
         "tessary-cli: --fast-size: \"1000\" is not a whole number from 0 to 999\n" +
             helpHint("read")},
        {{"mkv", "--fast-size", "3MB", source},
         "tessary-cli: --fast-size: \"3MB\" is not a whole number from 0 to 999\n" +
             helpHint("mkv")},
        {{"read", source, "--color"},
         "tessary-cli: --color: the value WHEN is missing\n" + helpHint("read")},
        {{"rebuild", "-s", "a0,a16", source},
         "tessary-cli: --select: \"a16\" is not a stream key (v0, v1, a0 to a15, s0 to s31)\n" +
             helpHint("rebuild")},
        {{"demux", "--video-ext", "mpeg2v", source},
         "tessary-cli: --video-ext: \"mpeg2v\" is longer than 5 characters\n" + helpHint("demux")},
        {{"rebuild", "VTS_01_1.VOB"},
         "tessary-cli: SOURCE: \"VTS_01_1.VOB\" is not an .EVO file: only EVO files can be "
         "rebuilt\n" +
             helpHint("rebuild")},
        {{"read", "-x.EVO"},
         "tessary-cli: SOURCE is required\ntessary-cli: \"-x.EVO\" was taken for an option; if "
         "it is a file, put \"--\" before it: tessary-cli read [OPTIONS] -- -x.EVO\n" +
             helpHint("read")},
    };
    for (const Case& c : cases) {
        const CliResult r = runCliArgs(c.args);
        EXPECT_EQ(r.status, cli::kExitUsage) << c.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.err);
    }
}

TEST(CliUsage, ASourceWithoutProgramStreamIsWarnedOfAndStopsOnlyAStrictCommand) {
    TempDir dir;
    const std::string text = dir.writeFile("notes.txt", "Opening file FEATURE_1.EVO\n").string();
    const std::string zeros = dir.writeFile("ZEROS.EVO", std::string(70000, '\0')).string();
    const std::string out = (dir.path() / "new" / "out").string();
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string named;
    };
    const std::vector<Case> cases{
        {{"read", text}, cli::kExitOk, "notes.txt"},
        {{"read", "--strict", text}, cli::kExitNoProgramStream, "notes.txt"},
        {{"demux", "-o", out, zeros}, cli::kExitOk, "ZEROS.EVO"},
        {{"demux", "--strict", "-o", out, zeros}, cli::kExitNoProgramStream, "ZEROS.EVO"},
        {{"rebuild", "--strict", "-o", out, zeros}, cli::kExitNoProgramStream, "ZEROS.EVO"},
        {{"mkv", "--strict", "-o", out, zeros}, cli::kExitNoProgramStream, "ZEROS.EVO"},
    };
    const std::string warning = "tessary-cli: warning: no MPEG program stream found in ";
    for (const Case& c : cases) {
        fs::remove_all(dir.path() / "new");
        const CliResult r = runCliArgs(c.args);
        EXPECT_EQ(r.status, c.status) << c.args[1];
        EXPECT_EQ(r.err.substr(0, r.err.find('\n') + 1), warning + c.named + "\n") << r.err;
        // Nothing found, nothing written: not even the output folder is left.
        EXPECT_FALSE(fs::exists(dir.path() / "new"));
    }
    const CliResult json = runCliArgs({"read", "--strict", "--format", "json", text});
    EXPECT_EQ(json.status, cli::kExitNoProgramStream);
    EXPECT_EQ(nlohmann::json::parse(json.out)["warnings"],
              nlohmann::json::array({"no MPEG program stream found in notes.txt"}));
    EXPECT_EQ(
        runCliArgs({"read", "--strict", "-q", (demoDisc() / "HVDVD_TS" / "FEATURE_1.EVO").string()})
            .err,
        "");
}

TEST(CliUsage, EveryHelpShowsValuesAsTheyAreTyped) {
    const std::set<std::string> internals{"ENUM", "INT:", "TEXT", "REQUIRED", "Needs", "=", "->"};
    for (const auto& [command, options] : parserOptions()) {
        const CliResult r = runCliArgs({command, "--help"});
        EXPECT_EQ(r.status, 0);
        for (const std::string& word : internals)
            EXPECT_EQ(r.out.find(word), std::string::npos) << command << ": " << word;
        for (const std::string& option : options)
            EXPECT_NE(r.out.find(option), std::string::npos) << command << ": " << option;
        EXPECT_NE(r.out.find("--color WHEN          Mark up the report with ANSI colours: auto "
                             "(default),\n                        always or never\n"),
                  std::string::npos)
            << r.out;
        EXPECT_NE(r.out.find("A file name that begins with \"-\" is taken for an option: put "
                             "\"--\" before it, as\nin tessary-cli read -- -x.EVO\n"),
                  std::string::npos)
            << r.out;
    }
    EXPECT_EQ(runCliArgs({"read", "--help"}).out, R"(Usage: tessary-cli read [OPTIONS] SOURCE

Find the streams of a source file and report on them

Arguments:
  SOURCE                The .EVO, .VOB or .AOB file to read; with --title, the
                        disc

Options:
  -h, --help            Print this help and exit
  --no-continue         Do not continue onto the second feature file
                        (FEATURE_2.EVO)
  --full                Read the whole file (fast check off)
  --fast-size MB        Fast check: read only the first MB megabytes (0 to 999,
                        default 300)
  --no-count-frames     Do not count video frames
  --no-details          Report no stream details
  --strict              Stop with exit status 4 when the source holds no MPEG
                        program stream or is encrypted
  --title N             Read title N of the disc given as SOURCE (its folder,
                        its HVDVD_TS folder or its playlist): its first EVO
                        file, with the title's names, languages and chapters
  --color WHEN          Mark up the report with ANSI colours: auto (default),
                        always or never
  --format FORMAT       The report's format: text (default) or json
  -q, --quiet           Show no progress

A file name that begins with "-" is taken for an option: put "--" before it, as
in tessary-cli read -- -x.EVO
)");
    const std::string usage = "Usage: tessary-cli playlist [OPTIONS] PLAYLIST --source SOURCE\n";
    EXPECT_EQ(runCliArgs({"playlist", "--help"}).out.substr(0, usage.size()), usage);
}

// Completes the last of `words` as bash would, without the bash-completion package: runs the
// script's function in `folder` and returns the words it offers, sorted, on one line.
constexpr const char* kCompleter = R"(source "$1"; shift
COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
_tessary_cli
printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd ' ')";

TEST(CliUsage, CompletionScriptsKnowEveryCommandAndOptionOfTheParser) {
    TempDir dir;
    for (const std::string shell : {"bash", "zsh"}) {
        const CliResult r = runCliArgs({"--completion", shell});
        ASSERT_EQ(r.status, 0) << r.err;
        const fs::path script = dir.writeFile("script." + shell, r.out);
        // Each command has its part of the script ('demux') ... up to the next command), and
        // each of its options is a word of its own there: quoted, in a list, or marked as
        // repeating ("*--select"), and followed by a quote, a blank, "=", "[" or "|".
        const auto options = parserOptions();
        for (const auto& [command, names] : options) {
            const std::size_t start = r.out.find("'" + command + "')");
            ASSERT_NE(start, std::string::npos) << shell << ": " << command;
            std::size_t end = r.out.size();
            for (const auto& other : options)
                end = std::min(end, r.out.find("'" + other.first + "')", start + 1));
            const std::string part = r.out.substr(start, end - start);
            const std::string offered =
                shell == "zsh" ? "'" + command + ":" : "compgen -W '[^']*\\b" + command + "\\b";
            EXPECT_TRUE(std::regex_search(r.out, std::regex(offered))) << shell << ": " << command;
            for (const std::string& name : names)
                EXPECT_TRUE(std::regex_search(part, std::regex("['*)\\s]" + name + "[' =[|]")))
                    << shell << ": " << command << ' ' << name;
        }
        if (shell == "zsh" && !onPath("zsh")) continue; // zsh is optional
        std::string errors;
        EXPECT_EQ(outputOf(shell + " -n '" + script.string() + "' 2>&1", errors), 0) << errors;
    }

    // What bash offers: commands, options, their words, files and folders.
    const fs::path folder = dir.path() / "disc";
    fs::create_directories(folder / "HVDVD_TS");
    for (const char* file : {"VPLST000.XPL", "-x.EVO"})
        dir.writeFile("disc/" + std::string(file), "");
    const std::string completer = dir.writeFile("complete.bash", kCompleter).string();
    const std::string script = (dir.path() / "script.bash").string();
    const std::vector<std::pair<std::string, std::string>> cases{
        {"tessary-cli ''", "--help --version -h demux mkv playlist read rebuild titles\n"},
        {"tessary-cli re", "read rebuild\n"},
        {"tessary-cli demux --v", "--video-ext\n"},
        {"tessary-cli read --color ''", "always auto never\n"},
        {"tessary-cli mkv --format = j", "json\n"},
        {"tessary-cli demux -o ''", "HVDVD_TS\n"},
        {"tessary-cli playlist --source V", "VPLST000.XPL\n"},
        {"tessary-cli read -- -", "-x.EVO\n"},
        {"tessary-cli demux --fast-size ''", "\n"},
    };
    for (const auto& [words, offered] : cases) {
        std::string completed;
        outputOf("cd '" + folder.string() + "' && bash '" + completer + "' '" + script + "' " +
                     words,
                 completed);
        EXPECT_EQ(completed, offered) << words;
    }
}

} // namespace
} // namespace tessary::test
