#include "FieldAgreement.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <utility>

namespace tessary::test {

namespace {

// The scales a unit is shown in and the words that follow the number ("" for none).
std::vector<std::pair<double, std::string_view>> shownUnits(const std::string& unit) {
    if (unit == "Hz") return {{1000, "kHz"}, {1, "Hz"}};
    if (unit == "bit/s") return {{1000, "kbit/s"}, {1000, "kbps"}};
    if (unit == "bit") return {{1, "bit"}};
    if (unit == "byte") return {{1, "byte"}, {1, ""}};
    if (unit == "frame/s") return {{1, "fps"}, {1, ""}};
    if (unit == "dB") return {{1, "dB"}};
    return {{1, ""}};
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The number at the start of `text` as decimal (with '.' or ',') and, when its characters allow,
// as hexadecimal, with the characters each reading takes.
struct Reading {
    std::optional<double> decimal, hex;
    std::size_t decimalLength = 0, hexLength = 0;
};

Reading readNumber(std::string_view text) {
    Reading reading;
    std::string decimal;
    std::size_t i = 0;
    if (i < text.size() && text[i] == '-') decimal += text[i++];
    while (i < text.size() && (isDigit(text[i]) || ((text[i] == '.' || text[i] == ',') &&
                                                    i + 1 < text.size() && isDigit(text[i + 1]))))
        decimal += text[i] == ',' ? '.' : text[i], ++i;
    double value = 0;
    if (std::from_chars(decimal.data(), decimal.data() + decimal.size(), value).ec == std::errc())
        reading.decimal = value;
    reading.decimalLength = i;
    std::size_t h = 0;
    while (h < text.size() && std::isxdigit(static_cast<unsigned char>(text[h])))
        ++h;
    unsigned long long hex = 0;
    if (h > 0 && std::from_chars(text.data(), text.data() + h, hex, 16).ec == std::errc()) {
        reading.hex = static_cast<double>(hex);
        reading.hexLength = h;
    }
    return reading;
}

bool same(double a, double b) {
    return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(b));
}

// Whether the number at `text`, shown in `scale`, is `expected`; moves `text` behind it.
bool readsAs(std::string_view& text, double expected, double scale) {
    const Reading reading = readNumber(text);
    if (reading.decimal && same(*reading.decimal * scale, expected)) {
        text.remove_prefix(reading.decimalLength);
        return true;
    }
    if (scale == 1 && reading.hex && same(*reading.hex, expected)) {
        text.remove_prefix(reading.hexLength);
        return true;
    }
    return false;
}

bool skipOneOf(std::string_view& text, std::initializer_list<std::string_view> words) {
    for (const std::string_view word : words)
        if (text.starts_with(word)) {
            text.remove_prefix(word.size());
            return true;
        }
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
        } else {
            const auto& pair = std::get<std::vector<double>>(field.value);
            read = pair.size() == 2 && readsAs(rest, pair[0], scale) &&
                   skipOneOf(rest, {"x", ", ", " dB .. "}) && readsAs(rest, pair[1], scale);
        }
        if (!read || (!rest.empty() && (isDigit(rest.front()) || rest.front() == '.'))) continue;
        while (rest.starts_with(' '))
            rest.remove_prefix(1);
        if (rest.starts_with(word)) return true;
    }
    return false;
}

// Finds the field at or behind `from` in the line; moves `from` behind its label.
bool lineShows(const std::string& line, std::size_t& from, const ReportField& field) {
    const std::size_t label = line.find(field.name + " =", from);
    if (label == std::string::npos) return false;
    std::size_t value = label + field.name.size() + 2;
    if (value < line.size() && line[value] == ' ') ++value;
    if (!showsValue(std::string_view(line).substr(value), field)) return false;
    from = value;
    return true;
}

} // namespace

std::string fieldDisagreement(const std::vector<std::string>& lines,
                              const std::vector<ReportField>& fields) {
    std::size_t next = 0;
    for (const std::string& line : lines) {
        std::size_t from = 0;
        const std::size_t first = next;
        while (next < fields.size() && lineShows(line, from, fields[next]))
            ++next;
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
