#pragma once

#include <string>

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
