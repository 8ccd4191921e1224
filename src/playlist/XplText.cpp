#include "playlist/XplText.h"

#include <charconv>
#include <cstdint>

#include "platform/Text.h"

namespace tessary {

std::string upperLine(std::string_view text) {
    return upperCase(text);
}

std::optional<std::string> GetAttr(std::string_view line, std::string_view name) {
    const std::string upper = upperLine(line);
    const std::size_t at = upper.find(upperLine(name));
    if (name.empty() || at == std::string::npos) return std::nullopt;
    std::string_view rest = line.substr(at + name.size(), 255);
    // A missing "=" or opening quote drops nothing; a missing closing quote leaves nothing.
    if (const auto equals = rest.find('='); equals != std::string_view::npos)
        rest.remove_prefix(equals + 1);
    if (const auto open = rest.find('"'); open != std::string_view::npos)
        rest.remove_prefix(open + 1);
    const auto close = rest.find('"');
    if (close == std::string_view::npos) return std::string();
    return std::string(rest.substr(0, close));
}

std::optional<int> toInteger(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (!text.empty() && text.front() == '$') {
        base = 16;
        text.remove_prefix(1);
    } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return std::nullopt;
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (negative) value = -value;
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<int>(value);
}

int integerOrThrow(std::string_view text) {
    const auto value = toInteger(text);
    if (!value) throw ConversionError(std::string(text));
    return *value;
}

int GetAttrInt(std::string_view line, std::string_view name) {
    const auto value = GetAttr(line, name);
    if (!value) return 0;
    return toInteger(*value).value_or(0);
}

std::string ZeroPad(int number, int width) {
    std::string text = std::to_string(number);
    if (static_cast<int>(text.size()) < width)
        text.insert(0, static_cast<std::size_t>(width) - text.size(), '0');
    return text;
}

} // namespace tessary
