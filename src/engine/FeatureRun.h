#pragma once

#include <functional>
#include <string>

namespace tessary {

class InputFile;
struct RunState;

// The files of a feature that Read, Demux and Rebuild run over: the source and, when the disc
// splits the feature and the run continues, its second file (empty when there is none).
struct FeatureFiles {
    std::string source;
    std::string second;
};

// Runs `pass` over the source, opened for reading, and then, when a second file is given, the
// run was not cancelled and `stillContinue` (asked after the first file, since the user may
// change the option while it is read) holds, over the second file. `pass` gets the file and
// its index (0 for the source, 1 for the second file). The first file is closed before the
// second is opened. Raises FileError when a file cannot be opened or read.
void runOverFeature(const FeatureFiles& files, const RunState& state,
                    const std::function<bool()>& stillContinue,
                    const std::function<void(InputFile& file, int index)>& pass);

} // namespace tessary
