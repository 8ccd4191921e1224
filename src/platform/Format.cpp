#include "platform/Format.h"

#include <cmath>
#include <cstdio>

namespace tessary {

std::string hex8(uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(value));
    return text;
}

std::string hex2(uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(value & 0xFF));
    return text;
}

std::string formatTime(double days, std::string_view pattern, const LocaleSettings& locale) {
    constexpr int64_t msPerDay = 86400000;
    if (!std::isfinite(days)) days = 0;
    double fraction = std::fabs(days - std::trunc(days));
    int64_t ms = std::llround(fraction * static_cast<double>(msPerDay)) % msPerDay;
    const int64_t hours = ms / 3600000;
    const int64_t minutes = ms / 60000 % 60;
    const int64_t seconds = ms / 1000 % 60;
    const int64_t millis = ms % 1000;

    std::string out;
    char digits[24];
    for (std::size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        std::size_t run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c)
            ++run;
        switch (c) {
        case 'h':
            std::snprintf(digits, sizeof digits, run >= 2 ? "%02lld" : "%lld",
                          static_cast<long long>(hours));
            out += digits;
            break;
        case 'm':
            std::snprintf(digits, sizeof digits, "%02lld", static_cast<long long>(minutes));
            out += digits;
            break;
        case 's':
            std::snprintf(digits, sizeof digits, "%02lld", static_cast<long long>(seconds));
            out += digits;
            break;
        case 'z':
            std::snprintf(digits, sizeof digits, "%03lld", static_cast<long long>(millis));
            out += digits;
            break;
        case ':': out.append(run, locale.timeSeparator); break;
        default: out.append(run, c); break;
        }
        i += run;
    }
    return out;
}

std::string formatDecimal(double value, const LocaleSettings& locale) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    char text[64];
    std::snprintf(text, sizeof text, "%.15G", value);
    std::string out = text;
    // %G may use an exponent; keep it, but drop trailing zeros of the mantissa either way.
    const auto exponent = out.find('E');
    std::string mantissa = out.substr(0, exponent);
    const std::string tail = exponent == std::string::npos ? "" : out.substr(exponent);
    if (mantissa.find('.') != std::string::npos) {
        while (!mantissa.empty() && mantissa.back() == '0')
            mantissa.pop_back();
        if (!mantissa.empty() && mantissa.back() == '.') mantissa.pop_back();
    }
    out = mantissa + tail;
    for (char& c : out)
        if (c == '.') c = locale.decimalSeparator;
    if (out == "-0") out = "0";
    return out;
}

} // namespace tessary
