#include "platform/LogText.h"

namespace tessary {

namespace {

std::string shown(std::string_view text, bool bracketsLiteral) {
    static constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte == 0x7F) {
            out += kReplacement;
        } else if (byte == 0xC2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            out += kReplacement; // a C1 control in UTF-8
            ++i;
        } else {
            out += byte == '[' && bracketsLiteral ? kLiteralBracket : text[i];
        }
    }
    return out;
}

} // namespace

std::string printable(std::string_view text) {
    return shown(text, false);
}

std::string literal(std::string_view text) {
    return shown(text, true);
}

} // namespace tessary
