#pragma once

#include "engine/PackEngine.h"

namespace tessary {

class OutputFiles;

// What a writing operation works with: the run state, the window around its passes, where it
// reports, the locale of its times and where it creates its files.
struct OperationContext {
    RunState& state;
    PassHost& host;
    Reporter& out;
    LocaleSettings locale;
    OutputFiles& files;
};

} // namespace tessary
