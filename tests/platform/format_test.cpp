#include <gtest/gtest.h>

#include "platform/Format.h"

namespace tessary {
namespace {

std::string time(double seconds, std::string_view pattern, const LocaleSettings& locale = {}) {
    return formatTime(seconds / kSecondsPerDay, pattern, locale);
}

TEST(Format, Hex) {
    EXPECT_EQ(hex8(0x1a2b), "00001A2B");
    EXPECT_EQ(hex8(0xFFFFFFFF), "FFFFFFFF");
    EXPECT_EQ(hex2(0x5), "05");
    EXPECT_EQ(hex2(0x1AB), "AB");
}

TEST(Format, TimePatternsRoundToTheMillisecond) {
    EXPECT_EQ(time(7209.6, "h:mm:ss:zzzz"), "2:00:09:600");
    EXPECT_EQ(time(7209.6, "h:mm:ss"), "2:00:09");
    EXPECT_EQ(time(45296.789, "h:mm:ss.zzz"), "12:34:56.789");
    EXPECT_EQ(time(1.0004, "h:mm:ss.zzz"), "0:00:01.000");
    EXPECT_EQ(time(1.0006, "h:mm:ss.zzz"), "0:00:01.001");
    EXPECT_EQ(time(3599.9996, "h:mm:ss.zzz"), "1:00:00.000"); // carries into the hour
    EXPECT_EQ(formatTime(1.0 / 24, "h:mm:ss.zzz"), "1:00:00.000");
}

TEST(Format, TimeWrapsPastADay) {
    EXPECT_EQ(time(25 * 3600, "h:mm:ss.zzz"), "1:00:00.000");
    EXPECT_EQ(time(86399.999, "h:mm:ss.zzz"), "23:59:59.999");
    EXPECT_EQ(time(86399.9999, "h:mm:ss.zzz"), "0:00:00.000");
}

TEST(Format, TimeSeparatorFromTheLocale) {
    EXPECT_EQ(time(7209.6, "h:mm:ss:zzzz", {',', '.'}), "2.00.09.600");
    EXPECT_EQ(time(7209.6, "h:mm:ss.zzz", {'.', '-'}), "2-00-09.600");
}

TEST(Format, ShortestDecimal) {
    EXPECT_EQ(formatDecimal(24.082 - 30.103 - 4.6161), "-10.6371");
    EXPECT_EQ(formatDecimal(48), "48");
    EXPECT_EQ(formatDecimal(24000.0 / 1001), "23.976023976024");
    EXPECT_EQ(formatDecimal(0.1 + 0.2), "0.3");
    EXPECT_EQ(formatDecimal(-0.0), "0");
    EXPECT_EQ(formatDecimal(-10.6371, {',', ':'}), "-10,6371");
    EXPECT_EQ(formatDecimal(48, {',', ':'}), "48");
}

} // namespace
} // namespace tessary
