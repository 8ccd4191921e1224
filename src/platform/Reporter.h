#pragma once

#include <string_view>

#include "platform/ReportLine.h"

namespace tessary {

// Where the operations report: one line of the message log (with markup) or the text of a
// status-bar panel (0 = activity, 1 = progress).
class Reporter {
public:
    virtual ~Reporter() = default;
    virtual void log(std::string_view message) = 0;
    virtual void slog(std::string_view text, int panel) = 0;
    // A line with named values: the log shows its markup; a reporter that keeps the values
    // takes them from here.
    virtual void report(const ReportLine& line) { log(line.markup()); }
};

// A reporter that drops what it is given, for a step whose lines nobody is to see.
class SilentReporter : public Reporter {
public:
    void log(std::string_view) override {}
    void slog(std::string_view, int) override {}
};

} // namespace tessary
