#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tessary {

// The user's locale settings that the report uses.
struct LocaleSettings {
    char decimalSeparator = '.';
    char timeSeparator = ':';
};

inline constexpr double kSecondsPerDay = 86400.0;

// Eight (two) upper-case hexadecimal digits.
std::string hex8(uint32_t value);
std::string hex2(uint32_t value);

// A date-time value in days written with a time pattern: "h" hours without leading zero
// (within one day), "mm" and "ss" two digits, "zzz" (also "zzzz") milliseconds with three
// digits, rounded to the nearest millisecond; ":" is the locale's time separator, every other
// character is copied. Used with "h:mm:ss.zzz", "h:mm:ss:zzzz" and "h:mm:ss".
std::string formatTime(double days, std::string_view pattern, const LocaleSettings& locale = {});

// Shortest general decimal form: at most 15 significant digits, trailing zeros dropped, the
// locale's decimal separator (24.082 - 30.103 - 4.6161 gives "-10.6371").
std::string formatDecimal(double value, const LocaleSettings& locale = {});

} // namespace tessary
