#pragma once

#include <string>
#include <vector>

#include "platform/Programs.h"

namespace tessary::test {

// Stands in for the programs of the system: `path` empty means the program is missing; a run
// hands `lines` to the caller, records its arguments and ends with `exitStatus`.
class FakePrograms : public Programs {
public:
    std::string find(const std::string&) override { return path; }
    ProgramResult run(const std::string& program, const std::vector<std::string>& arguments,
                      const std::function<bool(std::string_view)>& onLine) override {
        runs.push_back({program, arguments});
        ProgramResult result;
        for (const std::string& line : lines) {
            result.lastLines.push_back(line);
            if (!onLine(line)) {
                result.exitStatus = -1;
                return result;
            }
        }
        result.exitStatus = exitStatus;
        return result;
    }

    struct Run {
        std::string program;
        std::vector<std::string> arguments;
    };
    std::string path = "/usr/bin/mkvmerge";
    std::vector<std::string> lines = {"#GUI#progress 50%", "#GUI#progress 100%"};
    int exitStatus = 0;
    std::vector<Run> runs;
};

} // namespace tessary::test
