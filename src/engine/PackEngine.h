#pragma once

#include <array>
#include <string>

#include "engine/PassOptions.h"
#include "engine/RunState.h"
#include "platform/Format.h"

namespace tessary {

class InputFile;
class Reporter;
struct DemuxOutputs;

// What a pass needs from the program around it.
class PassHost {
public:
    virtual ~PassHost() = default;
    virtual PassOptions passOptions() = 0;
    virtual void setCancelEnabled(bool enabled) = 0;
    virtual void processMessages() = 0;
    virtual void repaint() = 0;
    virtual double nowDays() = 0;
    // How far the pass has got, at every progress step (before messages are processed).
    virtual void progress(uint64_t position, uint64_t size) {
        (void)position;
        (void)size;
    }
};

inline constexpr uint64_t kProgressStep = 4194304; // 4 MiB
inline constexpr uint64_t kRepaintStep = 67108864; // 64 MiB
inline constexpr uint64_t kMebibyte = 1048576;

// One pass of the pack engine over `source`, from its position to its end or until Cancel or
// the fast-check limit stops it. `sourcePath` is the path the user chose (its extension
// selects the navigation layout; in a continued run it is still the first file's path).
// A Demux pass writes the selected streams into `outputs` and counts the frames of the video
// streams it writes.
void demux(RunMode mode, RunState& state, InputFile& source, const std::string& sourcePath,
           PassHost& host, Reporter& out, const LocaleSettings& locale = {},
           const DemuxOutputs* outputs = nullptr);

// The progress text of status panel 1.
std::string progressText(uint64_t position, uint64_t size, double elapsedDays,
                         const LocaleSettings& locale);

} // namespace tessary
