#include "CommandBench.h"

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>

namespace tessary::bench {

namespace {

using SteadyClock = std::chrono::steady_clock;

// The commands keep memory low whatever the size of the source: this is the limit they are
// held to.
constexpr long kRssLimitKb = 30 * 1000;

// No window: no questions, errors printed and remembered.
class BenchUi : public Ui {
public:
    explicit BenchUi(const char* tool) : tool_(tool) {}
    bool confirm(const std::string&) override { return false; }
    void showError(const std::string& message) override {
        failed = true;
        std::fprintf(stderr, "%s: %s\n", tool_, message.c_str());
    }
    bool failed = false;

private:
    const char* tool_;
};

// A size in /proc/self/status ("VmHWM:", given in KiB) in kB, -1 when it is not there.
long statusKb(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.starts_with(field)) return std::atol(line.c_str() + field.size()) * 1024 / 1000;
    return -1;
}

void usage(const BenchCommand& command, std::FILE* to) {
    std::fprintf(to, "usage: %s SOURCE OUTDIR [REPEATS]\n%s", command.tool(),
                 command.description());
}

} // namespace

long peakRssKb() {
    if (const long kb = statusKb("VmHWM:"); kb >= 0) return kb;
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) == 0) return usage.ru_maxrss * 1024 / 1000;
    return -1;
}

long rssKb() {
    return statusKb("VmRSS:");
}

int checkedStreams(TfMain& main) {
    int streams = 0;
    for (int slot = 1; slot < kStreamSlotCount; ++slot)
        if (const CheckBox* box = main.boxOfSlot(slot); box && box->checked()) ++streams;
    return streams;
}

int runBench(BenchCommand& command, int argc, char** argv) {
    if (argc >= 2 && (std::string(argv[1]) == "-h" || std::string(argv[1]) == "--help")) {
        usage(command, stdout);
        return 0;
    }
    if (argc < 3 || argc > 4) {
        usage(command, stderr);
        return 2;
    }
    const std::string source = argv[1];
    const std::string outdir = argv[2];
    const int repeats = argc == 4 ? std::atoi(argv[3]) : 3;
    if (repeats < 1) {
        usage(command, stderr);
        return 2;
    }

    try {
        std::filesystem::create_directories(outdir);
        const uint64_t sourceBytes = std::filesystem::file_size(source);

        BenchUi ui(command.tool());
        SystemClock clock;
        TfMain main(ui, clock);
        main.Resetcbs();
        main.cbAutoClear.setChecked(false);
        main.rbNoAuto.setChecked(true);
        main.cbContinue.setChecked(false);
        main.cbFastCheck.setChecked(true);
        main.eEVOfile.setText(source);
        main.EVOadj();
        main.bReadEVOClick();
        if (ui.failed) return 1;

        const int streams = checkedStreams(main);
        if (streams == 0) {
            std::fprintf(stderr, "%s: the Read found no stream in %s\n", command.tool(),
                         source.c_str());
            return 1;
        }
        std::printf("source: %s, %llu bytes, %d streams\n", source.c_str(),
                    static_cast<unsigned long long>(sourceBytes), streams);
        if (const std::string selection = command.select(main); !selection.empty())
            std::printf("%s\n", selection.c_str());

        main.eWorkdir.setText(outdir);
        double best = 0;
        uint64_t written = 0;
        for (int run = 1; run <= repeats; ++run) {
            for (const std::string& path : command.outputs(main))
                std::filesystem::remove(path);
            const auto start = SteadyClock::now();
            command.run(main);
            const std::chrono::duration<double> elapsed = SteadyClock::now() - start;
            if (ui.failed) return 1;
            if (main.state.cancelFlag) {
                std::fprintf(stderr, "%s: the command was cancelled\n", command.tool());
                return 1;
            }
            const std::vector<std::string> outputs = command.outputs(main);
            written = 0;
            for (const std::string& path : outputs)
                written += std::filesystem::file_size(path);
            const double seconds = elapsed.count();
            best = best == 0 ? seconds : std::min(best, seconds);
            std::printf("run %d: %llu bytes read in %.3f s = %.2f GB/s, %llu bytes written to "
                        "%zu %s%s\n",
                        run, static_cast<unsigned long long>(sourceBytes), seconds,
                        static_cast<double>(sourceBytes) / 1e9 / seconds,
                        static_cast<unsigned long long>(written), outputs.size(),
                        outputs.size() == 1 ? "file" : "files", command.runDetails(main).c_str());
        }
        std::printf("bytes read: %llu\n", static_cast<unsigned long long>(sourceBytes));
        std::printf("best: %.3f s, %.2f GB/s\n", best,
                    static_cast<double>(sourceBytes) / 1e9 / best);
        std::printf("bytes written: %llu\n", static_cast<unsigned long long>(written));
        const long rss = peakRssKb();
        std::printf("peak RSS: %.1f MB%s\n", static_cast<double>(rss) / 1000,
                    rss > kRssLimitKb ? " (over the 30 MB limit)" : "");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", command.tool(), e.what());
        return 1;
    }
    return 0;
}

} // namespace tessary::bench
