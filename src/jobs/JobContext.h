#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "engine/PassOptions.h"
#include "engine/RunState.h"
#include "platform/Format.h"

namespace tessary {

class NewFolders;

class OutputFiles;
class Programs;
class Reporter;

// How a job tells the program around it how far it has got, and learns whether to stop. The
// window shows the progress and lets the user press Cancel (which sets the run state's cancel
// flag) while messages are processed; the command line shows a progress line.
class JobPort {
public:
    virtual ~JobPort() = default;
    virtual void setCancelEnabled(bool enabled) { (void)enabled; }
    // Called every 4 MiB of a pass (and per line of the muxer's output).
    virtual void processMessages() {}
    virtual void repaint() {}
    virtual void progress(uint64_t position, uint64_t size) {
        (void)position;
        (void)size;
    }
    virtual double nowDays() = 0;
    // Options that the user may change while a pass runs (the window's Options tab), read
    // again at every block and, for the continue option, after the first file. None: the
    // job's own options hold throughout.
    virtual std::optional<PassOptions> liveOptions() { return std::nullopt; }
};

// What every job works with: the run state it shares with the jobs before and after it (the
// Read's stream table is what Demux and Rebuild write from), its port, where its log lines and
// status go, the locale of the times it shows, where it creates its files and the programs it
// runs.
struct JobContext {
    RunState& state;
    JobPort& port;
    Reporter& out;
    LocaleSettings locale;
    OutputFiles& files;
    Programs& programs;
};

// The lines that end a job that succeeded: "Done." and an empty line in the log, and the
// status bar back at "Ready" without progress.
void logDone(Reporter& out);
// Ends a job's log: "Done.", or "Cancelled." when it was cancelled, then the status Ready.
void logEnd(Reporter& out, bool cancelled);
// Removes the folders a run made that nothing was written into, with a log line for each.
void takeBackFolders(NewFolders& made, Reporter& out);

// The line that ends a job that failed: its error, in red, and the status bar back at
// "Ready" without progress.
void logFailure(Reporter& out, std::string_view error);

} // namespace tessary
