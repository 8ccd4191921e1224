#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ops/FrameReport.h"

namespace tessary {
namespace {

using Lines = std::vector<std::string>;

struct Collect : Reporter {
    Lines lines;
    void log(std::string_view message) override { lines.emplace_back(message); }
    void slog(std::string_view, int) override {}
};

Lines report(std::array<uint32_t, 2> counts, std::array<double, 2> rates, double seconds,
             bool continued, const LocaleSettings& locale = {}) {
    RunState state;
    state.frameCounts = counts;
    state.frameRates = rates;
    state.totalSeconds = seconds;
    Collect out;
    logframes(state, continued, out, locale);
    return out.lines;
}

TEST(FrameReport, CountedAndCalculatedFrames) {
    EXPECT_EQ(report({86400, 0}, {24, 0}, 3600, false),
              (Lines{"86400 counted frames ([b]1:00:00.000[/b]) in video stream 0.",
                     "86400 calculated frames in video stream 0.", ""}));
    // Only the calculated line, with the duration after a continued run, and no empty line.
    EXPECT_EQ(report({0, 0}, {24, 0}, 7209.6, true),
              (Lines{"173030 calculated frames ([b]2:00:09:600[/b]) in video stream 0."}));
    // 25 hours show only the hours beyond the day.
    EXPECT_EQ(report({2160000, 0}, {24, 0}, 0, false).at(0),
              "2160000 counted frames ([b]1:00:00.000[/b]) in video stream 0.");
}

TEST(FrameReport, NothingWithoutCountsAndRates) {
    EXPECT_TRUE(report({0, 0}, {0, 0}, 100, true).empty());
}

TEST(FrameReport, CountWithoutRateAndTheSecondStream) {
    EXPECT_EQ(report({100, 250}, {0, 25}, 10, true, LocaleSettings{',', '.'}),
              (Lines{"100 frames count in video stream 0.",
                     "250 counted frames ([b]0.00.10.000[/b]) in video stream 1.",
                     "250 calculated frames ([b]0.00.10.000[/b]) in video stream 1.", ""}));
}

TEST(FrameReport, CalculatedFramesRoundHalvesToEven) {
    auto calculated = [](double seconds) { return report({0, 0}, {1, 0}, seconds, false).at(0); };
    EXPECT_EQ(calculated(2.5), "2 calculated frames in video stream 0.");
    EXPECT_EQ(calculated(3.5), "4 calculated frames in video stream 0.");
    EXPECT_EQ(calculated(2.51), "3 calculated frames in video stream 0.");
    EXPECT_EQ(calculated(6e10), "60000000000 calculated frames in video stream 0.");
}

} // namespace
} // namespace tessary
