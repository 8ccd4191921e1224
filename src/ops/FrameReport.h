#pragma once

#include "engine/RunState.h"
#include "platform/Format.h"
#include "platform/Reporter.h"

namespace tessary {

// The frame and duration report that closes a Read and a Demux. For video stream 0 and then 1:
// the counted frames with their playing time (or, without a frame rate, the bare count), and
// with a frame rate the number of frames that the measured video duration amounts to, rounded
// half to even; the duration itself only when the run continued onto a second feature file.
// An empty line follows when any frames were counted.
void logframes(const RunState& state, bool continued, Reporter& out,
               const LocaleSettings& locale = {});

} // namespace tessary
