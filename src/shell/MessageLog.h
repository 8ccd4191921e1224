#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/Signal.h"

namespace tessary {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// Character attributes of a run. The defaults are those of the log: no style, the window-text
// colour (nullopt) and 8 points.
struct RunAttributes {
    bool bold = false, italic = false, underline = false;
    std::optional<Rgb> colour;
    int pointSize = 8;
    bool operator==(const RunAttributes&) const = default;
};

struct Run {
    std::string text;
    RunAttributes attributes;
    bool operator==(const Run&) const = default;
};

// One line of the log: its runs in order, never an empty run, never two neighbours with equal
// attributes. A line without runs is an empty line.
struct LogLine {
    std::vector<Run> runs;
    std::string plainText() const;
    bool operator==(const LogLine&) const = default;
};

// Turns a message with inline markup into a line of runs. A tagged run is "[name]text[/name]";
// the names are "b", "i", "u" (style), "s1", "s2" (10 and 12 points), "c:" + hexadecimal digits
// (colour 0x00BBGGRR), "bl" (blue) and "re" (red); any other name gives the default
// attributes. A bracket group is the text from a '[' to the first ']' behind it and never
// shows; a group inside a tagged run is dropped from its text. A tag without its closing tag
// has no effect. A '[' without a ']' behind it and a ']' outside a group are ordinary text,
// and so is the stand-in for a literal '[' (kLiteralBracket, see platform/LogText.h).
LogLine renderMarkup(std::string_view message);

// The message log: the lines appended since the start or the last clear.
class MessageLog {
public:
    // Appends one line; an empty message (or one of tags only) appends an empty line.
    void append(std::string_view message);
    void clear();
    const std::vector<LogLine>& lines() const { return lines_; }

    Signal<std::size_t> appended; // index of the new line
    Signal<> cleared;

private:
    std::vector<LogLine> lines_;
};

} // namespace tessary
