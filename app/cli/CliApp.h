#pragma once

#include <iosfwd>

namespace tessary::cli {

// Exit statuses of tessary-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1; // a file could not be opened, read or written
inline constexpr int kExitUsage = 2;
inline constexpr int kExitMuxerMissing = 3; // mkv: mkvmerge was not found; its files are ready

// Runs the command line. `stdoutIsTerminal` and `stderrIsTerminal` decide the defaults of
// colour and progress.
int runCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
           bool stdoutIsTerminal, bool stderrIsTerminal);

} // namespace tessary::cli
