#pragma once

// Shell completion scripts for tessary-cli, made from its parser so that they always know the
// commands and options it knows: the commands, each command's options, the words of choice
// options (`--color auto|always|never`), file names for files and folder names for folders.

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "OptionValues.h"

namespace tessary::cli {

// What a completion script needs to know of an option or an argument.
struct CompletedOption {
    std::vector<std::string> names; // "-o", "--output-dir"; empty for an argument
    std::string description;
    std::string valueName; // "DIR"; empty for a flag
    ValueKind kind = ValueKind::None;
    std::vector<std::string> choices;
    bool repeats = false; // may be given more than once
};

struct CompletedCommand {
    std::string name;
    std::string description;
    std::vector<CompletedOption> options;
    std::vector<CompletedOption> arguments;
};

// The program's own options, then its commands, as the help shows them (hidden ones left out).
struct CompletedProgram {
    std::string name;
    std::vector<CompletedOption> options;
    std::vector<CompletedCommand> commands;
};

CompletedProgram completionModel(const CLI::App& app);

// `text` as one single-quoted shell word.
std::string shellWord(const std::string& text);

std::string bashCompletion(const CompletedProgram& program);
std::string zshCompletion(const CompletedProgram& program);

// The script for `shell` ("bash" or "zsh") made from `app`.
std::string completionScript(const CLI::App& app, const std::string& shell);

} // namespace tessary::cli
