#include "ops/FrameReport.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace tessary {

namespace {

// A whole number, rounded to the nearest integer with halves to the even neighbour.
std::string roundedHalfEven(double value) {
    double rounded = std::floor(value);
    const double fraction = value - rounded;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0)) rounded += 1;
    if (rounded == 0) rounded = 0; // no "-0"
    char text[400];
    std::snprintf(text, sizeof text, "%.0f", rounded);
    return text;
}

void reportStream(const RunState& state, int stream, bool continued, Reporter& out,
                  const LocaleSettings& locale) {
    const uint32_t counted = state.frameCounts[static_cast<std::size_t>(stream)];
    const double rate = state.frameRates[static_cast<std::size_t>(stream)];
    const std::string streamText = " in video stream " + std::to_string(stream) + ".";

    if (counted > 0) {
        if (rate > 0) {
            const double seconds = counted / rate;
            out.log(std::to_string(counted) + " counted frames ([b]" +
                    formatTime(seconds / kSecondsPerDay, "h:mm:ss.zzz", locale) + "[/b])" +
                    streamText);
        } else {
            out.log(std::to_string(counted) + " frames count" + streamText);
        }
    }
    if (rate > 0) {
        std::string duration;
        if (continued)
            duration = " ([b]" +
                       formatTime(state.totalSeconds / kSecondsPerDay, "h:mm:ss:zzzz", locale) +
                       "[/b])";
        out.log(roundedHalfEven(state.totalSeconds * rate) + " calculated frames" + duration +
                streamText);
    }
}

} // namespace

void logframes(const RunState& state, bool continued, Reporter& out, const LocaleSettings& locale) {
    for (int stream = 0; stream < kVideoStreams; ++stream)
        reportStream(state, stream, continued, out, locale);
    if (static_cast<uint64_t>(state.frameCounts[0]) + state.frameCounts[1] > 0) out.log("");
}

} // namespace tessary
