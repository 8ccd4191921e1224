#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/Reporter.h"

namespace tessary {

// Keeps what it is given, in order, until it is passed on to the reporter behind it: for work
// that runs on a thread where the program's log may not be written to.
class HeldReporter : public Reporter {
public:
    explicit HeldReporter(Reporter& out) : out_(out) {}

    void log(std::string_view message) override { held_.emplace_back(std::string(message)); }
    void slog(std::string_view text, int panel) override {
        held_.emplace_back(StatusText{std::string(text), panel});
    }
    void report(const ReportLine& line) override { held_.emplace_back(line); }

    // Passes everything held on, in the order it came.
    void release() {
        for (const Entry& entry : held_) {
            if (const auto* message = std::get_if<std::string>(&entry))
                out_.log(*message);
            else if (const auto* status = std::get_if<StatusText>(&entry))
                out_.slog(status->text, status->panel);
            else
                out_.report(std::get<ReportLine>(entry));
        }
        held_.clear();
    }

private:
    struct StatusText {
        std::string text;
        int panel = 0;
    };
    using Entry = std::variant<std::string, StatusText, ReportLine>;

    Reporter& out_;
    std::vector<Entry> held_;
};

} // namespace tessary
