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
    if (indent_ + current_.size() < kMaxLine) current_ += c;
}

void TagScanner::append(const uint8_t* bytes, std::size_t count) {
    if (indent_ + current_.size() < kMaxLine)
        current_.append(reinterpret_cast<const char*>(bytes),
                        std::min(count, kMaxLine - indent_ - current_.size()));
}

std::size_t TagScanner::wholeTag(const uint8_t* data, std::size_t length) {
    std::size_t close = 1;
    while (close < length && plainInTag(data[close]))
        ++close;
    if (close == length || data[close] != '>') return 0;
    // What step() and the runs would do over these bytes, the line taken from the block itself.
    std::string_view text(reinterpret_cast<const char*>(data), close + 1);
    ++depth_;
    if (data[1] == '/') {
        depth_ -= 2;
        const std::size_t blanks = std::min<std::size_t>(indent_, 2);
        indent_ -= blanks;
        text.remove_prefix(2 - blanks);
    }
    line_(indent_, text.substr(0, kMaxLine - indent_));
    // The bytes before the ">" as locals: read back from the members just written, they would
    // stall the store.
    const uint8_t last = data[close - 1];
    const uint8_t beforeLast = close >= 2 ? data[close - 2] : before_;
    if (last == '/' || last == '?' || (last == '-' && beforeLast == '-')) --depth_;
    indent_ = depth_ > 0 ? 2 * static_cast<std::size_t>(std::min(depth_, kMaxIndentLevels)) : 0;
    twoBefore_ = last;
    before_ = '>';
    return close + 1;
}

void TagScanner::scan(const uint8_t* data, std::size_t length) {
    std::size_t i = 0;
    while (i < length) {
        // A tag that ends in this block with no "<" or control byte inside, at once.
        if (!inTag_ && data[i] == '<')
            if (const std::size_t taken = wholeTag(data + i, length - i)) {
                i += taken;
                continue;
            }
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
        // One blank for a run of control bytes: none after a blank, be it of the indentation.
        if (c >= 32)
            append(static_cast<char>(c));
        else if (current_.empty() ? indent_ == 0 : current_.back() != ' ')
            append(' ');
    }
    if (c == '/' && before_ == '<') {
        depth_ -= 2;
        // The line moves two blanks left, into its text when it has no indentation.
        const std::size_t blanks = std::min<std::size_t>(indent_, 2);
        indent_ -= blanks;
        current_.erase(0, 2 - blanks);
    }
    if (c == '>') {
        inTag_ = false;
        line_(indent_, current_);
        current_.clear();
        if (before_ == '/') --depth_;
        if (before_ == '?') --depth_;
        if (before_ == '-' && twoBefore_ == '-') --depth_;
        indent_ = depth_ > 0 ? 2 * static_cast<std::size_t>(std::min(depth_, kMaxIndentLevels)) : 0;
    }
    twoBefore_ = before_;
    before_ = c;
}

} // namespace tessary
