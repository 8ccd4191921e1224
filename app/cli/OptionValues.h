#pragma once

// The values that options take, described on the parser itself so that the help and the
// completion scripts read the same description: the word the help shows for the value
// (`--color WHEN`, kept as the option text) and what kind of word it is (kept as the type
// name: FILE, DIR, TEXT, or the choices joined by "|").

#include <CLI/CLI.hpp>
#include <string>
#include <utility>
#include <vector>

namespace tessary::cli {

enum class ValueKind { None, Text, File, Folder, Choice };

// Names the value of `option` in the help and says what kind it is (not for Choice).
CLI::Option* describeValue(CLI::Option* option, const std::string& name, ValueKind kind);

ValueKind valueKind(const CLI::Option& option);
// The words a choice option takes; none for another option.
std::vector<std::string> choicesOf(const CLI::Option& option);
// The word the help shows for the value; empty for a flag.
std::string valueName(const CLI::Option& option);

// "auto (default), always or never": the choices as the help lists them, the first being the
// default.
std::string choiceList(const std::vector<std::string>& words);

// A check that the value is one of `words` (in any case; the value becomes the word).
CLI::Validator oneOf(std::vector<std::string> words);
// A check that the value is a whole number from `low` to `high`.
CLI::Validator wholeNumberIn(int low, int high);

// Adds an option that takes one of a few words, each standing for a value of `target`. The
// first is the default: `target` takes its value now. The help reads
// "DESCRIPTION: first (default), second or third".
template <typename T>
CLI::Option* addChoiceOption(CLI::App& command, const std::string& names, T& target,
                             const std::vector<std::pair<std::string, T>>& choices,
                             const std::string& valueName, const std::string& description) {
    std::vector<std::string> words;
    for (const auto& choice : choices)
        words.push_back(choice.first);
    std::string kinds;
    for (const std::string& word : words)
        kinds += (kinds.empty() ? "" : "|") + word;
    target = choices.front().second;
    return command
        .add_option_function<std::string>(
            names,
            [&target, choices](const std::string& word) {
                for (const auto& [name, value] : choices)
                    if (name == word) target = value;
            },
            description + ": " + choiceList(words))
        ->check(oneOf(words))
        ->option_text(valueName)
        ->type_name(kinds);
}

} // namespace tessary::cli
