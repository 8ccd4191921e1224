#pragma once

// What tessary-cli answers to a command line it cannot run (exit status 2): no command, an
// unknown one, or an option or value that the command does not take. Each answer ends by
// saying where the help is.

#include <CLI/CLI.hpp>
#include <iosfwd>

namespace tessary::cli {

// The usage line, the commands, and where the help is.
void printShortUsage(const CLI::App& app, std::ostream& err);

// When the command line names no command, prints the short usage; when its first word is no
// option and no command, says that the command is unknown and lists the commands. True when
// it did either.
bool refuseWithoutCommand(const CLI::App& app, int argc, const char* const* argv,
                          std::ostream& err);

// What the parser found wrong, the "--" form when a word taken for an option looks like a
// file name, and where the command's help is.
void printUsageError(const CLI::App& app, const CLI::ParseError& error, int argc,
                     const char* const* argv, std::ostream& err);

} // namespace tessary::cli
