#include "HelpFormatter.h"

#include <sstream>
#include <vector>

#include "OptionValues.h"
#include "VisibleParts.h"

namespace tessary::cli {

namespace {

constexpr std::size_t kWidth = 80;
constexpr std::size_t kIndent = 2;
constexpr std::size_t kTermColumn = 24; // where descriptions start

// The words of `text` in lines of at most `width - indent` characters (a longer word gets a
// line of its own), each line after the first indented by `indent` spaces.
std::string wrap(const std::string& text, std::size_t indent, std::size_t firstColumn = 0) {
    std::istringstream words(text);
    std::string wrapped, word;
    std::size_t column = firstColumn;
    bool lineStart = true;
    while (words >> word) {
        if (!lineStart && column + 1 + word.size() > kWidth) {
            wrapped += '\n' + std::string(indent, ' ');
            column = indent;
            lineStart = true;
        }
        if (!lineStart) {
            wrapped += ' ';
            ++column;
        }
        wrapped += word;
        column += word.size();
        lineStart = false;
    }
    return wrapped;
}

// One row of a list: the term, then its description from column 24, or on the next line when
// the term is too long.
std::string row(const std::string& term, const std::string& description) {
    std::string line = std::string(kIndent, ' ') + term;
    if (line.size() + 2 > kTermColumn)
        line += '\n' + std::string(kTermColumn, ' ');
    else
        line += std::string(kTermColumn - line.size(), ' ');
    return line + wrap(description, kTermColumn, kTermColumn) + '\n';
}

std::string optionTerm(const CLI::Option& option) {
    std::string term;
    for (const std::string& name : option.get_snames())
        term += (term.empty() ? "-" : ", -") + name;
    for (const std::string& name : option.get_lnames())
        term += (term.empty() ? "--" : ", --") + name;
    if (option.get_positional()) term = option.get_name();
    const std::string value = valueName(option);
    if (!option.get_positional() && !value.empty()) term += ' ' + value;
    return term;
}

// "tessary-cli read", from the command's parents.
std::string commandPath(const CLI::App& app) {
    const CLI::App* parent = app.get_parent();
    return parent ? commandPath(*parent) + ' ' + app.get_name() : app.get_name();
}

std::string section(const std::string& heading, const std::string& rows) {
    return rows.empty() ? std::string() : '\n' + heading + ":\n" + rows;
}

} // namespace

std::string wrapText(const std::string& text) {
    std::istringstream lines(text);
    std::string wrapped;
    for (std::string line; std::getline(lines, line);)
        wrapped += wrap(line, 0) + '\n';
    return wrapped;
}

std::string commandList(const CLI::App& app) {
    std::string rows;
    for (const CLI::App* command : visibleCommands(app))
        rows += row(command->get_name(), command->get_description());
    return "Commands:\n" + rows;
}

std::string usageLine(const CLI::App& app) {
    std::string usage = "Usage: " + commandPath(app);
    if (!visibleCommands(app).empty()) return usage + " COMMAND [OPTIONS] FILE\n";
    usage += " [OPTIONS]";
    for (const CLI::Option* option : app.get_options())
        if (option->get_positional()) usage += ' ' + option->get_name();
    for (const CLI::Option* option : app.get_options())
        if (!option->get_positional() && option->get_required()) usage += ' ' + optionTerm(*option);
    return usage + '\n';
}

std::string HelpFormatter::make_usage(const CLI::App* app, std::string) const {
    return usageLine(*app);
}

std::string HelpFormatter::make_help(const CLI::App* app, std::string, CLI::AppFormatMode) const {
    std::string arguments, options;
    for (const CLI::Option* option : visibleOptions(*app))
        (option->get_positional() ? arguments : options) +=
            row(optionTerm(*option), option->get_description());
    std::string help = make_usage(app, {}) + '\n' + wrapText(app->get_description());
    help += section("Arguments", arguments);
    if (!visibleCommands(*app).empty()) help += '\n' + commandList(*app);
    help += section("Options", options);
    if (!app->get_footer().empty()) help += '\n' + wrapText(app->get_footer());
    return help;
}

} // namespace tessary::cli
