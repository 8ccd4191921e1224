#include "shell/Controls.h"

#include <charconv>

namespace tessary {

int IntField::value() const {
    const std::string& t = text();
    const char* begin = t.data();
    const char* end = t.data() + t.size();
    if (begin != end && *begin == '+') ++begin;
    int value = 0;
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || ptr != end || begin == end) return 0;
    return value;
}

} // namespace tessary
