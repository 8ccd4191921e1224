#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tessary {

// What the window toolkit provides to the program. The faces implement it; tests fake it.
class Ui {
public:
    virtual ~Ui() = default;
    // Let the window handle pending events (a long pass calls this every 4 MiB).
    virtual void processMessages() {}
    virtual void repaint() {}
    // A modal Yes/No question with No preselected; true for Yes.
    virtual bool confirm(const std::string& question) = 0;
    // Shows an error that ended an operation.
    virtual void showError(const std::string& message) = 0;
    // The system's warning sound (a key the integer field does not take).
    virtual void beep() {}

    // An open-file dialog; nullopt when the user cancels.
    struct FileFilter {
        std::string name;     // "EVOB files (HD DVD)"
        std::string patterns; // "*.evo"; several separated by "; "
    };
    struct OpenFileRequest {
        std::string title; // empty: the platform's default
        std::vector<FileFilter> filters;
        std::string startFolder;
        std::string presetName;
        std::string defaultExtension;
        bool mustExist = false;
    };
    virtual std::optional<std::string> openFile(const OpenFileRequest&) { return std::nullopt; }
    // A folder chooser starting at `start` (empty: no folder selected).
    virtual std::optional<std::string> chooseFolder(const std::string& caption,
                                                    const std::string& start) {
        (void)caption;
        (void)start;
        return std::nullopt;
    }
};

// The local clock, as a date-time value in days.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double nowDays() = 0;
};

// The system clock.
class SystemClock : public Clock {
public:
    double nowDays() override;
};

} // namespace tessary
