#pragma once

// Runs programs of the system through the shell, for the tests that check what they see.

#include <cstdio>
#include <cstdlib>
#include <string>

namespace tessary::test {

inline bool onPath(const std::string& program) {
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs a shell command: its exit status (as pclose gives it), and its standard output in
// `output`.
inline int outputOf(const std::string& command, std::string& output) {
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return -1;
    for (char chunk[4096]; const std::size_t got = std::fread(chunk, 1, sizeof chunk, pipe);)
        output.append(chunk, got);
    return pclose(pipe);
}

// What a shell command wrote on its standard output.
inline std::string programOutput(const std::string& command) {
    std::string output;
    outputOf(command, output);
    return output;
}

} // namespace tessary::test
