#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace tessary {

// ASCII upper case, as the program compares extensions.
inline std::string upperCase(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    });
    return out;
}

} // namespace tessary
