#include "playlist/TagScanner.h"

#include <algorithm>

namespace tessary {

void TagScanner::append(char c) {
    if (current_.size() < kMaxLine) current_ += c;
}

void TagScanner::scan(const uint8_t* data, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        const uint8_t c = data[i];
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
            std::string line;
            line.swap(current_);
            line_(std::move(line));
            if (before_ == '/') --depth_;
            if (before_ == '?') --depth_;
            if (before_ == '-' && twoBefore_ == '-') --depth_;
            if (depth_ > 0)
                current_.assign(2 * static_cast<std::size_t>(std::min(depth_, kMaxIndentLevels)),
                                ' ');
        }
        twoBefore_ = before_;
        before_ = c;
    }
}

} // namespace tessary
