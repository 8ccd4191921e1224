#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/FrameCounter.h"
#include "engine/PackScanner.h"
#include "engine/PassOptions.h"
#include "engine/StreamReport.h"

namespace tessary {

class Reporter;

// One pass of the pack engine, fed from memory block by block. It runs the resumable byte
// scanner and hands what it finds to its listeners in order: frame counting, the stream
// report (discovery and details in a Read pass; navigation data in both passes), then the
// listeners added, such as the Demux writer. `demux` is the file loop around it; tests and
// fuzzers feed it directly.
class Pass : private PassListener {
public:
    // Sets up the run state for a new pass: flags cleared, stream table and report flags
    // reset, WritingPass set for a Demux pass.
    Pass(RunMode mode, RunState& state, SourceType source, Reporter& out,
         const LocaleSettings& locale = {});
    Pass(const Pass&) = delete;
    Pass& operator=(const Pass&) = delete;

    void addListener(PassListener& listener) { listeners_.push_back(&listener); }
    // The video streams whose frames are counted; a Read pass counts every one, a Demux pass
    // the ones it writes.
    void setCountedVideo(const std::array<bool, kVideoStreams>& counted) { counted_ = counted; }
    void setOptions(const PassOptions& options) { options_ = options; }

    // Scans one block; `position` is the file offset of its first byte. A Read pass checks the
    // fast-check limit and, in the first whole block, the system header.
    void feed(const uint8_t* block, std::size_t length, uint64_t position);

private:
    void streamEntered(StreamKind kind, int number, int code) override;
    void payload(const PayloadChunk& chunk) override;
    bool dataSearchInformation(const uint8_t* data, std::size_t available) override;
    bool generalControlInformation(const uint8_t* data, std::size_t available) override;

    RunMode mode_;
    RunState& state_;
    SourceType source_;
    PassOptions options_;
    std::array<bool, kVideoStreams> counted_{true, true};
    FrameCounter frames_;
    StreamReport report_;
    std::vector<PassListener*> listeners_;
    PackScanner scanner_;
};

} // namespace tessary
