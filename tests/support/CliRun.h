#pragma once

// Runs tessary-cli in the test's own process (for the suites that link the command-line
// library): its exit status and what it wrote to stdout and stderr.

#include <sstream>
#include <string>
#include <vector>

#include "CliApp.h"

namespace tessary::test {

struct CliResult {
    int status;
    std::string out;
    std::string err;
};

// `terminal`: whether stdout counts as a terminal (colour by default).
inline CliResult runCliArgs(std::vector<std::string> args, bool terminal = false) {
    args.insert(args.begin(), "tessary-cli");
    std::vector<const char*> argv;
    for (const auto& a : args)
        argv.push_back(a.c_str());
    std::ostringstream out, err;
    const int status =
        cli::runCli(static_cast<int>(argv.size()), argv.data(), out, err, terminal, false);
    return {status, out.str(), err.str()};
}

} // namespace tessary::test
