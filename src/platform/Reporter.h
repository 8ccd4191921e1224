#pragma once

#include <string_view>

namespace tessary {

// Where the operations report: one line of the message log (with markup) or the text of a
// status-bar panel (0 = activity, 1 = progress).
class Reporter {
public:
    virtual ~Reporter() = default;
    virtual void log(std::string_view message) = 0;
    virtual void slog(std::string_view text, int panel) = 0;
};

} // namespace tessary
