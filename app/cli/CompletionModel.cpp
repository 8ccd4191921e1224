#include "Completion.h"
#include "VisibleParts.h"

namespace tessary::cli {

namespace {

CompletedOption completedOption(const CLI::Option& option) {
    CompletedOption completed;
    for (const std::string& name : option.get_snames())
        completed.names.push_back("-" + name);
    for (const std::string& name : option.get_lnames())
        completed.names.push_back("--" + name);
    completed.description = option.get_description();
    completed.valueName = option.get_positional() ? option.get_name() : valueName(option);
    completed.kind = valueKind(option);
    completed.choices = choicesOf(option);
    completed.repeats = option.get_expected_max() > 1;
    return completed;
}

// The options of `app`, and its arguments in order.
void addOptions(const CLI::App& app, std::vector<CompletedOption>& options,
                std::vector<CompletedOption>& arguments) {
    for (const CLI::Option* option : visibleOptions(app))
        (option->get_positional() ? arguments : options).push_back(completedOption(*option));
}

} // namespace

std::string shellWord(const std::string& text) {
    std::string word = "'";
    for (const char c : text)
        word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return word + "'";
}

CompletedProgram completionModel(const CLI::App& app) {
    CompletedProgram program;
    program.name = app.get_name();
    std::vector<CompletedOption> noArguments;
    addOptions(app, program.options, noArguments);
    for (const CLI::App* command : visibleCommands(app)) {
        CompletedCommand& completed = program.commands.emplace_back();
        completed.name = command->get_name();
        completed.description = command->get_description();
        addOptions(*command, completed.options, completed.arguments);
    }
    return program;
}

std::string completionScript(const CLI::App& app, const std::string& shell) {
    const CompletedProgram program = completionModel(app);
    return shell == "zsh" ? zshCompletion(program) : bashCompletion(program);
}

} // namespace tessary::cli
