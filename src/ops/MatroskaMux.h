#pragma once

#include <stdexcept>
#include <string>

#include "ops/MatroskaPlan.h"
#include "ops/OperationContext.h"

namespace tessary {

class Programs;

// The name of the Matroska muxer the operation runs (from MKVToolNix).
inline constexpr const char* kMuxerName = "mkvmerge";

// The muxer ran and failed, or could not be started: the message says how.
class MuxError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What became of a mux: made, or the muxer was not found (its files are written, and
// `command` is what to run by hand).
struct MuxOutcome {
    bool made = false;
    bool cancelled = false; // Cancel stopped the muxer: no file is made
    std::string command;
};

// Makes a Matroska file from a plan: writes the chapters file and the muxer's options file
// (`optionsPath`), then runs the muxer on it, showing its progress as the pass's progress
// line. The muxer writes under a temporary name that takes the Matroska file's name once it
// succeeded. Raises FileError when a file cannot be written and MuxError when the muxer fails
// (its partial output is removed then, and a Matroska file of the name that was there before
// stays). A cancelled mux removes its output the same way and says so in `cancelled`.
class MatroskaMux {
public:
    MatroskaMux(const OperationContext& context, Programs& programs)
        : context_(context), programs_(programs) {}

    MuxOutcome run(const MuxPlan& plan, const std::string& optionsPath);

private:
    OperationContext context_;
    Programs& programs_;
};

// The command line that runs the muxer on an options file, quoted for a POSIX shell.
std::string muxerCommand(const std::string& optionsPath);

} // namespace tessary
