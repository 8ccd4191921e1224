#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace tessary {

// Cuts a playlist into tag lines, one per tag, each indented by two blanks per nesting level.
// It is not an XML parser: "<" opens a tag and a level, "</" goes back two levels (the closing
// tag stands one level left of its content), ">" ends the line, and "/>", "?>" and "-->" end
// the level they opened. Bytes of a tag below 32 (line breaks, tabs) become one blank; bytes
// of 128 and more pass unchanged. Text between tags is not kept. A line is bounded: the rest
// of an overlong tag is dropped,
// and so is indentation beyond 128 levels.
class TagScanner {
public:
    static constexpr std::size_t kMaxLine = 65536;
    // Indentation stops growing here: deeper levels are written at this one.
    static constexpr int kMaxIndentLevels = 128;

    explicit TagScanner(std::function<void(std::string&&)> line) : line_(std::move(line)) {}

    void scan(const uint8_t* data, std::size_t length);

private:
    // One byte that may open, close or end a tag.
    void step(uint8_t c);
    void append(char c);
    void append(const uint8_t* bytes, std::size_t count);

    std::function<void(std::string&&)> line_;
    std::string current_;
    bool inTag_ = false;
    int depth_ = 0;
    uint8_t before_ = 0;    // the byte before the one at hand
    uint8_t twoBefore_ = 0; // and the one before that
};

} // namespace tessary
