#include "platform/Utf8.h"

#include <cstdint>

namespace tessary {

std::string validUtf8(std::string_view text) {
    static constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<uint8_t>(text[i]);
        if (lead < 0x80) {
            out += text[i++];
            continue;
        }
        // The bytes that follow the lead, and the range of the first of them (which rules out
        // overlong forms, surrogates and code points past U+10FFFF).
        std::size_t follow = 0;
        uint8_t low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            follow = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            follow = 2;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            follow = 3;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        }
        std::size_t end = i + 1;
        bool whole = follow > 0;
        for (std::size_t n = 0; n < follow; ++n, ++end) {
            const int byte = end < text.size() ? static_cast<uint8_t>(text[end]) : 0;
            if (byte < (n == 0 ? low : 0x80) || byte > (n == 0 ? high : 0xBF)) {
                whole = false;
                break;
            }
        }
        if (whole)
            out.append(text.substr(i, end - i));
        else
            out += kReplacement;
        i = end;
    }
    return out;
}

} // namespace tessary
