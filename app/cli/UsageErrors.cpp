#include "UsageErrors.h"

#include <filesystem>
#include <ostream>
#include <string>
#include <system_error>

#include "HelpFormatter.h"
#include "OptionValues.h"
#include "VisibleParts.h"

namespace tessary::cli {

namespace {

const CLI::App* commandNamed(const CLI::App& app, const std::string& name) {
    for (const CLI::App* command : visibleCommands(app))
        if (command->get_name() == name) return command;
    return nullptr;
}

// Where the help is: the command's own, when the command line names one.
std::string helpHint(const CLI::App& app, int argc, const char* const* argv) {
    std::string program = app.get_name();
    if (argc > 1 && commandNamed(app, argv[1])) program += std::string(" ") + argv[1];
    return "Run \"" + program + " --help\" for more information.\n";
}

// A word of the command line that no command knows as an option but that could be a file
// name: it begins with "-", and names a file or has a dot or a separator in it.
std::string dashedFileName(const CLI::App& app, int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--") break;
        if (word.size() < 2 || word.front() != '-') continue;
        const std::string name = word.substr(0, word.find('='));
        bool known = app.get_option_no_throw(name) != nullptr;
        for (const CLI::App* command : app.get_subcommands({}))
            known = known || command->get_option_no_throw(name) != nullptr;
        if (known) continue;
        std::error_code error;
        if (std::filesystem::exists(word, error) || word.find('.') != std::string::npos ||
            word.find('/') != std::string::npos)
            return word;
    }
    return {};
}

// The parser's words for an option given without its value ("--color: 1 required
// auto|always|never missing") said with the value's name: "--color: the value WHEN is
// missing". Other messages are kept.
std::string reworded(const CLI::App& app, const CLI::ParseError& error) {
    const std::string message = error.what();
    const std::size_t colon = message.find(": ");
    if (!dynamic_cast<const CLI::ArgumentMismatch*>(&error) || colon == std::string::npos ||
        message.find(" required ") == std::string::npos)
        return message;
    const std::string name = message.substr(0, colon);
    const CLI::Option* option = app.get_option_no_throw(name);
    for (const CLI::App* command : app.get_subcommands({}))
        if (!option) option = command->get_option_no_throw(name);
    return option ? name + ": the value " + valueName(*option) + " is missing" : message;
}

} // namespace

void printShortUsage(const CLI::App& app, std::ostream& err) {
    err << usageLine(app) << '\n' << commandList(app) << '\n' << helpHint(app, 0, nullptr);
}

bool refuseWithoutCommand(const CLI::App& app, int argc, const char* const* argv,
                          std::ostream& err) {
    if (argc < 2) {
        printShortUsage(app, err);
        return true;
    }
    const std::string word = argv[1];
    if (word.rfind('-', 0) == 0 || commandNamed(app, word)) return false;
    err << app.get_name() << ": unknown command '" << word << "'\n\n"
        << commandList(app) << '\n'
        << helpHint(app, argc, argv);
    return true;
}

void printUsageError(const CLI::App& app, const CLI::ParseError& error, int argc,
                     const char* const* argv, std::ostream& err) {
    const std::string program = app.get_name();
    err << program << ": " << reworded(app, error) << '\n';
    if (const std::string word = dashedFileName(app, argc, argv); !word.empty())
        err << program << ": \"" << word << "\" was taken for an option; if it is a file, "
            << "put \"--\" before it: " << program << ' ' << (argc > 1 ? argv[1] : "read")
            << " [OPTIONS] -- " << word << '\n';
    err << helpHint(app, argc, argv);
}

} // namespace tessary::cli
