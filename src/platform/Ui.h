#pragma once

#include <cstddef>
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
    // Shows a warning about an operation that went on.
    virtual void showWarning(const std::string& message) { (void)message; }
    // The system's warning sound (a key the integer field does not take).
    virtual void beep() {}

    // File dialogs.
    struct FileFilter {
        std::string name;     // "EVOB files (HD DVD)"
        std::string patterns; // "*.evo"; several separated by "; "
    };
    struct FileRequest {
        std::string title; // empty: the platform's default
        std::vector<FileFilter> filters;
        std::string startFolder;
        std::string presetName;
        std::string defaultExtension;
    };
    struct OpenFileRequest : FileRequest {
        bool mustExist = false;
    };
    // An open-file dialog; nullopt when the user cancels.
    virtual std::optional<std::string> openFile(const OpenFileRequest&) { return std::nullopt; }
    // A save-file dialog, which asks before an existing file is replaced. A name typed without
    // an extension gets that of the filter shown. `filter` is the index of that filter.
    struct SaveFileChoice {
        std::string path;
        std::size_t filter = 0;
    };
    virtual std::optional<SaveFileChoice> saveFile(const FileRequest&) { return std::nullopt; }
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
