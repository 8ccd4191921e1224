#pragma once

#include <functional>
#include <string>

#include "ops/OperationContext.h"
#include "ops/PackFilter.h"

namespace tessary {

// The engine side of the Rebuild command: open the source, create the rebuilt file, copy the
// source into it pack by pack through the pack filter and, when the continue option still
// holds and a second feature file was found, append that file's packs with the same
// numbering; then close both. Raises FileError when a file cannot be opened, created, read or
// written; the rebuilt file is closed then too and keeps the packs written so far.
class RebuildOperation {
public:
    explicit RebuildOperation(const OperationContext& context) : context_(context) {}

    // Returns the stream identifiers written without a new number (PackFilter::unnumbered).
    std::bitset<256> run(const std::string& sourcePath, const std::string& secondPath,
                         const std::function<bool()>& continueOption, const std::string& outputPath,
                         const RebuildSelection& selection);

private:
    OperationContext context_;
};

} // namespace tessary
