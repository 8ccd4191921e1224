#include "shell/MessageLog.h"

#include <algorithm>

#include "platform/LogText.h"

namespace tessary {

namespace {

struct Group {
    std::size_t open;  // position of '['
    std::size_t close; // position of the first ']' behind it
};

std::optional<Group> nextGroup(std::string_view text, std::size_t from) {
    const auto open = text.find('[', from);
    if (open == std::string_view::npos) return std::nullopt;
    const auto close = text.find(']', open + 1);
    if (close == std::string_view::npos) return std::nullopt;
    return Group{open, close};
}

// The text with every bracket group removed.
std::string withoutGroups(std::string_view text) {
    std::string out;
    std::size_t pos = 0;
    while (const auto group = nextGroup(text, pos)) {
        out.append(text.substr(pos, group->open - pos));
        pos = group->close + 1;
    }
    out.append(text.substr(pos));
    return out;
}

// Hexadecimal digits in any case; other characters are skipped and only the last eight
// digits count. The value is laid out 0x00BBGGRR.
Rgb parseColour(std::string_view digits) {
    uint32_t value = 0;
    for (const char c : digits) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        if (digit < 0) continue;
        value = value * 16u + static_cast<uint32_t>(digit);
    }
    return Rgb{static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>(value >> 8 & 0xFF),
               static_cast<uint8_t>(value >> 16 & 0xFF)};
}

RunAttributes attributesOf(std::string_view tag) {
    RunAttributes attributes;
    if (tag == "b")
        attributes.bold = true;
    else if (tag == "i")
        attributes.italic = true;
    else if (tag == "u")
        attributes.underline = true;
    else if (tag == "s1")
        attributes.pointSize = 10;
    else if (tag == "s2")
        attributes.pointSize = 12;
    else if (tag.starts_with("c:"))
        attributes.colour = parseColour(tag.substr(2));
    else if (tag == "bl")
        attributes.colour = Rgb{0, 0, 255};
    else if (tag == "re")
        attributes.colour = Rgb{255, 0, 0};
    return attributes;
}

void addRun(LogLine& line, std::string_view text, const RunAttributes& attributes) {
    if (text.empty()) return;
    std::string shown(text);
    std::replace(shown.begin(), shown.end(), kLiteralBracket, '[');
    if (!line.runs.empty() && line.runs.back().attributes == attributes) {
        line.runs.back().text.append(shown);
        return;
    }
    line.runs.push_back(Run{std::move(shown), attributes});
}

} // namespace

std::string LogLine::plainText() const {
    std::string text;
    for (const auto& run : runs)
        text += run.text;
    return text;
}

LogLine renderMarkup(std::string_view message) {
    LogLine line;
    std::size_t pos = 0;
    while (const auto group = nextGroup(message, pos)) {
        addRun(line, message.substr(pos, group->open - pos), RunAttributes{});
        const auto tag = message.substr(group->open + 1, group->close - group->open - 1);
        const std::size_t body = group->close + 1;
        const std::string closing = "[/" + std::string(tag) + "]";
        const auto end = message.find(closing, body);
        if (end == std::string_view::npos) {
            // Without its closing tag the opening tag changes nothing.
            pos = body;
            continue;
        }
        addRun(line, withoutGroups(message.substr(body, end - body)), attributesOf(tag));
        pos = end + closing.size();
    }
    addRun(line, message.substr(pos), RunAttributes{});
    return line;
}

void MessageLog::append(std::string_view message) {
    lines_.push_back(renderMarkup(message));
    appended.emit(lines_.size() - 1);
}

void MessageLog::clear() {
    lines_.clear();
    cleared.emit();
}

} // namespace tessary
