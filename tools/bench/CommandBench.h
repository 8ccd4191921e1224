#pragma once

// What tessary-bench-demux and tessary-bench-rebuild share: a window model without a window,
// the Read of the source (untimed), the timed runs of a command over it and the report.
//
// A run of a tool: `TOOL SOURCE OUTDIR [REPEATS]`. The source is read with fast check on (the
// window's default: the Read only finds the streams), no automatic process and no second
// file; every stream found is ticked, then the command may change the selection. Before each
// of the REPEATS timed runs the files of the run before are removed, so that every run creates
// its files anew, as the first does (writing over them would time the file system's
// truncation as well). Printed: a line a run, then the lines the scripts read back:
//
//   bytes read: N
//   best: S s, G GB/s
//   bytes written: N
//   peak RSS: M MB
//
// GB and MB are 10^9 and 10^6 bytes.

#include <cstdint>
#include <string>
#include <vector>

#include "shell/Main.h"

namespace tessary::bench {

// One command as a benchmark tool times it.
struct BenchCommand {
    virtual ~BenchCommand() = default;
    // The tool's name, for its usage and errors.
    virtual const char* tool() const = 0;
    // The usage lines behind "usage: TOOL SOURCE OUTDIR [REPEATS]": what a run does.
    virtual const char* description() const = 0;
    // After the Read, every stream found ticked: the selection the command runs with, and a
    // line that tells it (empty: nothing changed).
    virtual std::string select(TfMain& main) = 0;
    // The command, as its button runs it.
    virtual void run(TfMain& main) = 0;
    // The files the last run wrote (none before the first run).
    virtual std::vector<std::string> outputs(const TfMain& main) const = 0;
    // Appended to the line of a run, e.g. ", frames 10 + 0".
    virtual std::string runDetails(const TfMain&) const { return {}; }
};

// The whole tool: parses the arguments, reads, times, reports. Returns the exit status.
int runBench(BenchCommand& command, int argc, char** argv);

// The peak resident set size of the process in kB (10^3 bytes): VmHWM, else ru_maxrss; -1
// when neither can be read.
long peakRssKb();

// The resident set size of the process now in kB, -1 when it cannot be read.
long rssKb();

// The ticked stream boxes.
int checkedStreams(TfMain& main);

} // namespace tessary::bench
