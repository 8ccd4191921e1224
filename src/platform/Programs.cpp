#include "platform/Programs.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tessary {

namespace {

// Lines kept for the message of a failure.
constexpr std::size_t kKeptLines = 8;
// A line longer than this is handed on in pieces, so a program that writes no line break
// cannot make the buffer grow without bound.
constexpr std::size_t kLongestLine = 65536;

bool isExecutableFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

// Collects what the child writes into lines and keeps the last few.
class LineSplitter {
public:
    LineSplitter(const std::function<bool(std::string_view)>& onLine, ProgramResult& result)
        : onLine_(onLine), result_(result) {}

    // False once the receiver asked to stop.
    bool add(const char* data, std::size_t length) {
        for (std::size_t i = 0; i < length; ++i) {
            const char c = data[i];
            if (c == '\n' || c == '\r') {
                if (!flush()) return false;
            } else {
                pending_ += c;
                if (pending_.size() >= kLongestLine && !flush()) return false;
            }
        }
        return true;
    }

    bool flush() {
        if (pending_.empty()) return true;
        result_.lastLines.push_back(pending_);
        if (result_.lastLines.size() > kKeptLines)
            result_.lastLines.erase(result_.lastLines.begin());
        const bool goOn = onLine_(pending_);
        pending_.clear();
        return goOn;
    }

private:
    const std::function<bool(std::string_view)>& onLine_;
    ProgramResult& result_;
    std::string pending_;
};

} // namespace

std::string SystemPrograms::find(const std::string& name) {
    if (name.find('/') != std::string::npos) return isExecutableFile(name) ? name : std::string();
    const char* path = std::getenv("PATH");
    const std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        std::size_t end = folders.find(':', start);
        if (end == std::string::npos) end = folders.size();
        const std::string folder = end == start ? "." : folders.substr(start, end - start);
        const std::string candidate = folder + "/" + name;
        if (isExecutableFile(candidate)) return candidate;
        start = end + 1;
    }
    return {};
}

ProgramResult SystemPrograms::run(const std::string& path,
                                  const std::vector<std::string>& arguments,
                                  const std::function<bool(std::string_view)>& onLine) {
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        throw std::runtime_error("Cannot run \"" + path + "\". " + std::strerror(errno));

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(path.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    pid_t child = 0;
    const int spawned = posix_spawn(&child, path.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (spawned != 0) {
        close(pipeEnds[0]);
        throw std::runtime_error("Cannot run \"" + path + "\". " + std::strerror(spawned));
    }

    ProgramResult result;
    LineSplitter lines(onLine, result);
    bool stopped = false;
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(pipeEnds[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        if (!stopped && !lines.add(buffer, static_cast<std::size_t>(got))) {
            stopped = true;
            kill(child, SIGTERM);
        }
    }
    if (!stopped) lines.flush();
    close(pipeEnds[0]);

    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

} // namespace tessary
