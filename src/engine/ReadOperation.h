#pragma once

#include <functional>
#include <string>

#include "engine/PackEngine.h"

namespace tessary {

// The engine side of the Read command: reset the run state, open the source, run a Read pass
// over it and, when the continue option still holds after it and a second feature file was
// found, over that file too. Raises FileError when a file cannot be opened or read.
class ReadOperation {
public:
    ReadOperation(RunState& state, PassHost& host, Reporter& out, const LocaleSettings& locale)
        : state_(state), host_(host), out_(out), locale_(locale) {}

    // `secondPath` is the second feature file, or empty; `continueOption` is asked again
    // after the first pass. The caller has set the output base name.
    void run(const std::string& sourcePath, const std::string& secondPath,
             const std::function<bool()>& continueOption);

private:
    // Names the navigation data of the pass that just read `path`.
    void nameNavigation(const std::string& path);

    RunState& state_;
    PassHost& host_;
    Reporter& out_;
    LocaleSettings locale_;
};

} // namespace tessary
