#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/PackEngine.h"

namespace tessary {

class OutputFiles;

// One file of a Demux: the stream slot it takes and its full name.
struct DemuxTarget {
    int slot;
    std::string path;
};

// The engine side of the Demux command: open the source, create one output per target (in
// the order given), run a Demux pass over the source and, when the continue option still
// holds and a second feature file was found, over that file too, then close everything.
// Raises FileError when a file cannot be opened, created, read or written; the outputs are
// closed then too and keep what was written.
class DemuxOperation {
public:
    DemuxOperation(RunState& state, PassHost& host, Reporter& out, const LocaleSettings& locale,
                   OutputFiles& files)
        : state_(state), host_(host), out_(out), locale_(locale), files_(files) {}

    void run(const std::string& sourcePath, const std::string& secondPath,
             const std::function<bool()>& continueOption, const std::vector<DemuxTarget>& targets);

private:
    RunState& state_;
    PassHost& host_;
    Reporter& out_;
    LocaleSettings locale_;
    OutputFiles& files_;
};

} // namespace tessary
