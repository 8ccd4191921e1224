#include "Completion.h"

namespace tessary::cli {

namespace {

// `text` with the characters that _arguments and _describe read as syntax escaped.
std::string escaped(const std::string& text, const std::string& special) {
    std::string result;
    for (const char c : text) {
        if (special.find(c) != std::string::npos) result += '\\';
        result += c;
    }
    return result;
}

// The action after an option's value or an argument: its words, file or folder names, or
// none (the value's name is shown).
std::string action(const CompletedOption& option) {
    switch (option.kind) {
    case ValueKind::Choice: {
        std::string words;
        for (const std::string& word : option.choices)
            words += (words.empty() ? "" : " ") + escaped(word, "() \\");
        return "(" + words + ")";
    }
    case ValueKind::File: return "_files";
    case ValueKind::Folder: return "_files -/";
    default: return " ";
    }
}

// One _arguments spec per name of the option: (-o --output-dir)--output-dir=[...]:DIR:_files -/
void addOptionSpecs(const CompletedOption& option, std::vector<std::string>& specs) {
    std::string exclusions;
    if (option.names.size() > 1 && !option.repeats) {
        for (const std::string& name : option.names)
            exclusions += (exclusions.empty() ? "" : " ") + name;
        exclusions = "(" + exclusions + ")";
    }
    for (const std::string& name : option.names) {
        std::string spec = (option.repeats ? "*" : exclusions) + name;
        // A long option's value may follow it after "=" or as the next word.
        if (option.kind != ValueKind::None && name.rfind("--", 0) == 0) spec += '=';
        spec += "[" + escaped(option.description, "[]\\") + "]";
        if (option.kind != ValueKind::None)
            spec += ":" + escaped(option.valueName, ":\\") + ":" + action(option);
        specs.push_back(spec);
    }
}

// The specs as the continued lines of one command, each a quoted word.
std::string specLines(const std::vector<std::string>& specs, const std::string& indent) {
    std::string lines;
    for (const std::string& spec : specs)
        lines += " \\\n" + indent + shellWord(spec);
    return lines;
}

// The _arguments specs of the program's options, or of a command's options and arguments.
std::string commandSpecs(const std::vector<CompletedOption>& options,
                         const std::vector<CompletedOption>& arguments, const std::string& indent) {
    std::vector<std::string> specs;
    for (const CompletedOption& option : options)
        addOptionSpecs(option, specs);
    for (std::size_t i = 0; i < arguments.size(); ++i)
        specs.push_back(std::to_string(i + 1) + ":" + escaped(arguments[i].valueName, ":\\") + ":" +
                        action(arguments[i]));
    return specLines(specs, indent);
}

} // namespace

std::string zshCompletion(const CompletedProgram& program) {
    const std::string& name = program.name;
    std::string script = "#compdef " + name + "\n# zsh completion for " + name + ", made by \"" +
                         name + " --completion zsh\" from its parser.\n\n";
    script += "_" + name + "() {\n";
    script += "    local curcontext=$curcontext state line ret=1\n";
    script += "    typeset -A opt_args\n";
    script += "    _arguments -C" + commandSpecs(program.options, {}, "        ") +
              specLines({"1: :->command", "*:: :->argument"}, "        ") + " && ret=0\n";
    script += "    case $state in\n    command)\n        local -a commands=(\n";
    for (const CompletedCommand& command : program.commands)
        script += "            " +
                  shellWord(escaped(command.name, ":\\") + ":" + command.description) + "\n";
    script += "        )\n        _describe -t commands '" + name +
              " command' commands && ret=0\n        ;;\n";
    script += "    argument)\n        curcontext=${curcontext%:*:*}:" + name +
              "-$words[1]:\n        case $words[1] in\n";
    for (const CompletedCommand& command : program.commands) {
        script += "        " + shellWord(command.name) + ")\n            _arguments -s -S" +
                  commandSpecs(command.options, command.arguments, "                ") +
                  " && ret=0\n            ;;\n";
    }
    script += "        esac\n        ;;\n    esac\n    return ret\n}\n\n_" + name + " \"$@\"\n";
    return script;
}

} // namespace tessary::cli
