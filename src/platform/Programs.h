#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tessary {

// How a program that was run ended: its exit status (-1 when a signal ended it, as after a
// cancel) and the last lines it wrote, for the message of a failure.
struct ProgramResult {
    int exitStatus = 0;
    std::vector<std::string> lastLines;
};

// Other programs the operations call on (the Matroska muxer). The port lets tests stand in
// for a program that is missing, fails or reports progress.
class Programs {
public:
    virtual ~Programs() = default;
    // The full path of the program `name` on the search path, empty when there is none.
    virtual std::string find(const std::string& name) = 0;
    // Runs `path` with `arguments` and hands each line it writes (standard output and error
    // together) to `onLine`; when that returns false the program is stopped. Raises
    // std::runtime_error when the program cannot be started.
    virtual ProgramResult run(const std::string& path, const std::vector<std::string>& arguments,
                              const std::function<bool(std::string_view)>& onLine) = 0;
};

// Programs of the system: found on PATH, run as child processes.
class SystemPrograms : public Programs {
public:
    std::string find(const std::string& name) override;
    ProgramResult run(const std::string& path, const std::vector<std::string>& arguments,
                      const std::function<bool(std::string_view)>& onLine) override;
};

} // namespace tessary
