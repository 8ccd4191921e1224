#include <map>

#include "Completion.h"

namespace tessary::cli {

namespace {

std::string joined(const std::vector<std::string>& words, const std::string& separator) {
    std::string text;
    for (const std::string& word : words)
        text += (text.empty() ? "" : separator) + word;
    return text;
}

std::string optionNames(const std::vector<CompletedOption>& options) {
    std::vector<std::string> names;
    for (const CompletedOption& option : options)
        names.insert(names.end(), option.names.begin(), option.names.end());
    return joined(names, " ");
}

// The case pattern of an option's names: '-o'|'--output-dir'.
std::string pattern(const CompletedOption& option) {
    std::vector<std::string> names;
    for (const std::string& name : option.names)
        names.push_back(shellWord(name));
    return joined(names, "|");
}

// What follows an option that takes a value: its words, file or folder names, or nothing.
std::string valueCompletion(const CompletedOption& option) {
    switch (option.kind) {
    case ValueKind::Choice:
        return "COMPREPLY=($(compgen -W " + shellWord(joined(option.choices, " ")) +
               " -- \"$cur\"))";
    case ValueKind::File: return "_tessary_cli_paths";
    case ValueKind::Folder: return "_tessary_cli_paths -d";
    default: return ":";
    }
}

std::string commandCase(const CompletedCommand& command) {
    std::string text = "    " + shellWord(command.name) + ")\n        case $prev in\n";
    for (const CompletedOption& option : command.options)
        if (option.kind != ValueKind::None)
            text += "        " + pattern(option) + ") " + valueCompletion(option) + "; return ;;\n";
    text += "        esac\n        _tessary_cli_word " + shellWord(optionNames(command.options)) +
            (command.arguments.empty() ? "" : " -f") + "\n        ;;\n";
    return text;
}

// The parts of the script that do not depend on the parser. They work with the
// bash-completion package (then its _init_completion and _filedir are used) and without it.
constexpr const char* kHelpers =
    R"(# Files, or folders with -d, whose names begin with the word being completed.
_tessary_cli_paths() {
    if declare -F _filedir >/dev/null; then
        _filedir "$@"
        return
    fi
    local IFS=$'\n'
    COMPREPLY=($(compgen "${1:--f}" -- "$cur"))
    compopt -o filenames 2>/dev/null
}

# A word that is no option's value: an option ($1 lists the command's options) when it
# begins with "-", else a file name when the command takes files (-f as $2). After "--"
# every word is a file name.
_tessary_cli_word() {
    local i
    for ((i = 1; i < cword; i++)); do
        if [[ ${words[i]} == -- ]]; then
            [[ $2 == -f ]] && _tessary_cli_paths
            return
        fi
    done
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$1" -- "$cur"))
    elif [[ $2 == -f ]]; then
        _tessary_cli_paths
    fi
}

)";

constexpr const char* kWords = R"(    local cur prev words cword
    if declare -F _init_completion >/dev/null; then
        _init_completion -s || return
    else
        words=("${COMP_WORDS[@]}")
        cword=$COMP_CWORD
        cur=${words[cword]}
        prev=${words[cword - 1]}
        # "--color=al" comes as "--color" "=" "al"; after "--color=" the word is empty.
        if [[ $cur == = ]]; then
            cur=
        elif [[ $prev == = ]]; then
            prev=${words[cword - 2]}
        fi
    fi
    COMPREPLY=()
    # The command is the first word that is no option.
    local command= i
    for ((i = 1; i < cword; i++)); do
        if [[ ${words[i]} != -* ]]; then
            command=${words[i]}
            break
        fi
    done
)";

} // namespace

std::string bashCompletion(const CompletedProgram& program) {
    std::vector<std::string> commands;
    for (const CompletedCommand& command : program.commands)
        commands.push_back(command.name);
    const std::string topWords = joined(commands, " ") + " " + optionNames(program.options);

    std::string script = "# bash completion for " + program.name + ", made by \"" + program.name +
                         " --completion bash\" from its parser.\n\n";
    script += kHelpers;
    script += "_tessary_cli() {\n";
    script += kWords;
    script += "    case $command in\n    '')\n        COMPREPLY=($(compgen -W " +
              shellWord(topWords) + " -- \"$cur\"))\n        ;;\n";
    for (const CompletedCommand& command : program.commands)
        script += commandCase(command);
    script += "    esac\n}\n\ncomplete -F _tessary_cli " + program.name + "\n";
    return script;
}

} // namespace tessary::cli
