#pragma once

#include <CLI/CLI.hpp>
#include <vector>

namespace tessary::cli {

// The group of the options that the help and the completion scripts leave out. (The parser's
// own way to hide one, no group, would also take its name out of error messages.)
inline constexpr const char* kHiddenGroup = "Hidden";

// The commands and options a person is shown, in the order they were defined.
inline std::vector<const CLI::App*> visibleCommands(const CLI::App& app) {
    return app.get_subcommands(
        [](const CLI::App* command) { return !command->get_group().empty(); });
}

inline std::vector<const CLI::Option*> visibleOptions(const CLI::App& app) {
    return app.get_options([](const CLI::Option* option) {
        return !option->get_group().empty() && option->get_group() != kHiddenGroup;
    });
}

} // namespace tessary::cli
