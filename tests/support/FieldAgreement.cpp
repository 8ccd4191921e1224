#include "FieldAgreement.h"

#include <algorithm>
#include <cmath>
#include <regex>
#include <string_view>
#include <utility>

namespace tessary::test {

namespace {

// The scales a unit is shown in and the word behind the number ("" for none).
std::vector<std::pair<double, std::string_view>> shownUnits(const std::string& unit) {
    if (unit == "Hz") return {{1000, "kHz"}, {1, "Hz"}};
    if (unit == "bit/s") return {{1000, "kbit/s"}, {1000, "kbps"}};
    if (unit == "bit") return {{1, "bit"}};
    if (unit == "byte") return {{1, "byte"}, {1, ""}};
    if (unit == "frame/s") return {{1, "fps"}, {1, ""}};
    if (unit == "dB") return {{1, "dB"}};
    return {{1, ""}};
}

// Whether the number at the start of `text` (decimal with either separator, or hexadecimal)
// shown in `scale` is `expected`; moves `text` behind it. A number runs up to a character
// that cannot continue it.
bool readsAs(std::string_view& text, double expected, double scale) {
    static const std::regex decimal(R"(^-?\d+([.,]\d+)?(?![.\dA-F]))"),
        hex(R"(^[0-9A-F]{1,16}(?![.\dA-F]))");
    const auto same = [expected](double value) {
        return std::fabs(value - expected) <= 1e-9 * std::max(1.0, std::fabs(expected));
    };
    std::cmatch match;
    const char* end = text.data() + text.size();
    if (std::regex_search(text.data(), end, match, decimal)) {
        std::string digits = match.str();
        std::replace(digits.begin(), digits.end(), ',', '.');
        if (same(std::stod(digits) * scale)) return text.remove_prefix(match.length()), true;
    }
    if (scale == 1 && std::regex_search(text.data(), end, match, hex) &&
        same(static_cast<double>(std::stoull(match.str(), nullptr, 16))))
        return text.remove_prefix(match.length()), true;
    return false;
}

// Whether `shown` (the text behind "= ") starts with the field's value in one of its units.
bool showsValue(std::string_view shown, const ReportField& field) {
    if (const auto* text = std::get_if<std::string>(&field.value)) return shown.starts_with(*text);
    for (const auto& [scale, word] : shownUnits(field.unit)) {
        std::string_view rest = shown;
        bool read = false;
        if (const auto* number = std::get_if<double>(&field.value)) {
            read = readsAs(rest, *number, scale);
        } else if (const auto& pair = std::get<std::vector<double>>(field.value);
                   pair.size() == 2) {
            read = readsAs(rest, pair[0], scale);
            for (const std::string_view between : {"x", ", ", " dB .. "})
                if (read && rest.starts_with(between)) rest.remove_prefix(between.size());
            read = read && readsAs(rest, pair[1], scale);
        }
        while (read && rest.starts_with(' '))
            rest.remove_prefix(1);
        if (read && rest.starts_with(word)) return true;
    }
    return false;
}

} // namespace

std::string fieldDisagreement(const std::vector<std::string>& lines,
                              const std::vector<ReportField>& fields) {
    std::size_t next = 0;
    for (const std::string& line : lines) {
        const std::size_t first = next;
        for (std::size_t from = 0; next < fields.size(); ++next) {
            const std::size_t label = line.find(fields[next].name + " =", from);
            if (label == std::string::npos) break;
            from = label + fields[next].name.size() + 2;
            if (from < line.size() && line[from] == ' ') ++from;
            if (!showsValue(std::string_view(line).substr(from), fields[next])) break;
        }
        if (next == first && line.find(" =") != std::string::npos)
            return "no value handed over for \"" + line + "\"";
    }
    if (next < fields.size()) return "\"" + fields[next].name + "\" is not shown as its value";
    return {};
}

void printField(const ReportField& field, std::ostream& out) {
    out << '{' << field.name << ", ";
    if (const auto* number = std::get_if<double>(&field.value))
        out << *number;
    else if (const auto* text = std::get_if<std::string>(&field.value))
        out << '"' << *text << '"';
    else
        for (const double number : std::get<std::vector<double>>(field.value))
            out << number << ' ';
    out << ", " << field.unit << ", " << field.group << '}';
}

} // namespace tessary::test
