#include "playlist/TagScanner.h"

#include <algorithm>

namespace tessary {

namespace {

// Bytes that a tag line takes as they are and that change no level: no control byte, no "<"
// and no ">". A "/" is one of them unless it follows a "<".
bool plainInTag(uint8_t c) {
    return c >= 32 && c != '<' && c != '>';
}

// Between tags only "<" and ">" do anything.
bool plainBetweenTags(uint8_t c) {
    return c != '<' && c != '>';
}

} // namespace

void TagScanner::append(char c) {
    if (current_.size() < kMaxLine) current_ += c;
}

void TagScanner::append(const uint8_t* bytes, std::size_t count) {
    if (current_.size() < kMaxLine)
        current_.append(reinterpret_cast<const char*>(bytes),
                        std::min(count, kMaxLine - current_.size()));
}

void TagScanner::scan(const uint8_t* data, std::size_t length) {
    std::size_t i = 0;
    while (i < length) {
        // A run of plain bytes at once: into the line inside a tag, passed over between tags.
        // The run starts after a "<" only through step(), which handles "</".
        if (before_ != '<' && (inTag_ ? plainInTag(data[i]) : plainBetweenTags(data[i]))) {
            std::size_t end = i + 1;
            if (inTag_) {
                while (end < length && plainInTag(data[end]))
                    ++end;
                append(data + i, end - i);
            } else {
                while (end < length && plainBetweenTags(data[end]))
                    ++end;
            }
            twoBefore_ = end - i >= 2 ? data[end - 2] : before_;
            before_ = data[end - 1];
            i = end;
            continue;
        }
        step(data[i]);
        ++i;
    }
}

void TagScanner::step(uint8_t c) {
    if (c == '<') {
        inTag_ = true;
        ++depth_;
    }
    if (inTag_) {
        if (c >= 32)
            append(static_cast<char>(c));
        else if (current_.empty() || current_.back() != ' ')
            append(' ');
    }
    if (c == '/' && before_ == '<') {
        depth_ -= 2;
        current_.erase(0, 2);
    }
    if (c == '>') {
        inTag_ = false;
        // A copy of the exact size: the line is kept, and current_ keeps its buffer for the
        // next one.
        line_(std::string(current_));
        current_.clear();
        if (before_ == '/') --depth_;
        if (before_ == '?') --depth_;
        if (before_ == '-' && twoBefore_ == '-') --depth_;
        if (depth_ > 0)
            current_.assign(2 * static_cast<std::size_t>(std::min(depth_, kMaxIndentLevels)), ' ');
    }
    twoBefore_ = before_;
    before_ = c;
}

} // namespace tessary
