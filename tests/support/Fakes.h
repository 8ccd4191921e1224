#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/PackEngine.h"
#include "platform/Reporter.h"
#include "platform/Ui.h"

namespace tessary::test {

// Collects what an operation reports, markup included, and the named values of its lines.
class RecordingReporter : public Reporter {
public:
    void log(std::string_view message) override { lines.emplace_back(message); }
    void slog(std::string_view text, int panel) override {
        panels.emplace_back(panel, std::string(text));
    }
    void report(const ReportLine& line) override {
        fields.insert(fields.end(), line.fields().begin(), line.fields().end());
        log(line.markup());
    }
    std::vector<std::string> lines;
    std::vector<std::pair<int, std::string>> panels;
    std::vector<ReportField> fields;
};

// A clock that advances by `step` days at every reading.
class FakeClock : public Clock {
public:
    double nowDays() override {
        const double t = now;
        now += step;
        return t;
    }
    double now = 46000.0;
    double step = 0;
};

// A window toolkit without a window: answers questions as told and records errors.
class FakeUi : public Ui {
public:
    void processMessages() override {
        ++messagesProcessed;
        if (onProcessMessages) onProcessMessages();
    }
    bool confirm(const std::string& question) override {
        questions.push_back(question);
        return answer;
    }
    void showError(const std::string& message) override { errors.push_back(message); }
    void showWarning(const std::string& message) override { warnings.push_back(message); }
    void beep() override { ++beeps; }
    std::optional<SaveFileChoice> saveFile(const FileRequest& request) override {
        saveRequests.push_back(request);
        return saveAnswer;
    }

    std::function<void()> onProcessMessages;
    std::optional<SaveFileChoice> saveAnswer; // nullopt: the dialog is cancelled
    std::vector<FileRequest> saveRequests;
    bool answer = false;
    int messagesProcessed = 0;
    int beeps = 0;
    std::vector<std::string> questions;
    std::vector<std::string> errors;
    std::vector<std::string> warnings;
};

// A pass host with fixed options.
class FakeHost : public PassHost {
public:
    PassOptions passOptions() override { return options; }
    void setCancelEnabled(bool enabled) override { cancelEnabled = enabled; }
    void processMessages() override {
        if (onProcessMessages) onProcessMessages();
    }
    void repaint() override {}
    double nowDays() override { return clock.nowDays(); }

    PassOptions options;
    FakeClock clock;
    bool cancelEnabled = false;
    std::function<void()> onProcessMessages;
};

} // namespace tessary::test
