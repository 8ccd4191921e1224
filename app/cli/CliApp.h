#pragma once

#include <functional>
#include <iosfwd>

namespace CLI {
class App;
}

namespace tessary::cli {

// Exit statuses of tessary-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1; // a file could not be opened, read or written
inline constexpr int kExitUsage = 2;
inline constexpr int kExitMuxerMissing = 3; // mkv: mkvmerge was not found; its files are ready
// --strict: the source holds no program stream, or is encrypted
inline constexpr int kExitNoProgramStream = 4;
inline constexpr int kExitInterrupted = 130; // Ctrl+C: the unfinished files are removed

// Runs the command line. `stdoutIsTerminal` and `stderrIsTerminal` decide the defaults of
// colour and progress.
int runCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
           bool stdoutIsTerminal, bool stderrIsTerminal);

// Hands tessary-cli's parser, with every command and option defined, to `use`: for tests that
// hold the help and the completion scripts against it.
void withCommandLine(const std::function<void(const CLI::App&)>& use);

} // namespace tessary::cli
