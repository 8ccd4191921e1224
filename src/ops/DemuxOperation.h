#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/FeatureRun.h"
#include "ops/OperationContext.h"

namespace tessary {

// One file of a Demux: the stream slot it takes, its full name and, for an LPCM audio
// stream, whether it is written as WAV; for a DVD-Audio stream, whether each packet's whole
// header is left out (DemuxOutputs::withoutHeaderRest).
struct DemuxTarget {
    int slot;
    std::string path;
    bool wav = false;
    bool withoutHeaderRest = false;
};

// The writer side of the Demux command: open the source, create one output per target (in
// the order given), run a Demux pass over the feature's files, then close everything.
// Raises FileError when a file cannot be opened, created, read or written; the outputs are
// closed then too and keep what was written (a WAV with its header's sizes).
class DemuxOperation {
public:
    explicit DemuxOperation(const OperationContext& context) : context_(context) {}

    void run(const FeatureFiles& feature, const std::function<bool()>& stillContinue,
             const std::vector<DemuxTarget>& targets);

private:
    OperationContext context_;
};

} // namespace tessary
