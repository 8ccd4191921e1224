#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace tessary::cli {

// The help of tessary-cli and of each of its commands, in the words a person types: the usage
// line, the description, the arguments, the commands, each option with the name of its value
// (`--color WHEN`) and a description wrapped to 80 columns, then the footer. None of the
// parser's type or check names are shown.
class HelpFormatter : public CLI::Formatter {
public:
    std::string make_help(const CLI::App* app, std::string name,
                          CLI::AppFormatMode mode) const override;
    std::string make_usage(const CLI::App* app, std::string name) const override;
};

// "Usage: tessary-cli read [OPTIONS] SOURCE": the arguments, and the options that must be
// given.
std::string usageLine(const CLI::App& app);

// The commands of `app` with their descriptions, under the heading "Commands:".
std::string commandList(const CLI::App& app);

// `text` wrapped to 80 columns, line by line.
std::string wrapText(const std::string& text);

} // namespace tessary::cli
