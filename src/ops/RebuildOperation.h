#pragma once

#include <functional>
#include <string>

#include "engine/FeatureRun.h"
#include "ops/OperationContext.h"
#include "ops/PackFilter.h"

namespace tessary {

// The writer side of the Rebuild command: open the source, create the rebuilt file, copy the
// feature's files into it pack by pack through the pack filter (the second file's packs with
// the numbering of the first's); then close both. Raises FileError when a file cannot be opened,
// created, read or written; the rebuilt file is closed then too and keeps the packs written so far.
class RebuildOperation {
public:
    explicit RebuildOperation(const OperationContext& context) : context_(context) {}

    // Returns the identifiers of the streams the Read did not list, whose packets were left
    // out (PackFilter::leftOut).
    std::bitset<256> run(const FeatureFiles& feature, const std::function<bool()>& stillContinue,
                         const std::string& outputPath, const RebuildSelection& selection);

private:
    OperationContext context_;
};

} // namespace tessary
