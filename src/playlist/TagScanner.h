#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tessary {

// Cuts a playlist into tag lines, one per tag, each indented by two blanks per nesting level.
// It is not an XML parser: "<" opens a tag and a level, "</" goes back two levels (the closing
// tag stands one level left of its content), ">" ends the line, and "/>", "?>" and "-->" end
// the level they opened. Bytes of a tag below 32 (line breaks, tabs) become one blank; bytes
// of 128 and more pass unchanged. Text between tags is not kept. A line is bounded: the rest
// of an overlong tag is dropped, and so is indentation beyond 128 levels.
//
// Each line goes to the sink as its indentation (a number of blanks) and its text, so that a
// reader that keeps few of them pays nothing for the blanks of the others.
class TagScanner {
public:
    static constexpr std::size_t kMaxLine = 65536;
    // Indentation stops growing here: deeper levels are written at this one.
    static constexpr int kMaxIndentLevels = 128;

    using LineSink = std::function<void(std::size_t indent, std::string_view text)>;

    explicit TagScanner(LineSink line) : line_(std::move(line)) {}

    void scan(const uint8_t* data, std::size_t length);

    // A line as it is shown: `indent` blanks, then `text`.
    static std::string lineText(std::size_t indent, std::string_view text) {
        std::string line(indent, ' ');
        line += text;
        return line;
    }

private:
    // The tag that starts at data[0] ("<") when it ends within `length` bytes and holds no "<"
    // or control byte: its line goes out from the block itself. The bytes taken, else 0.
    std::size_t wholeTag(const uint8_t* data, std::size_t length);
    // One byte that may open, close or end a tag.
    void step(uint8_t c);
    void append(char c);
    void append(const uint8_t* bytes, std::size_t count);

    LineSink line_;
    std::string current_; // the line's text after its indentation
    std::size_t indent_ = 0;
    bool inTag_ = false;
    int depth_ = 0;
    uint8_t before_ = 0;    // the byte before the one at hand
    uint8_t twoBefore_ = 0; // and the one before that
};

} // namespace tessary
