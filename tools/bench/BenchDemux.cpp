// tessary-bench-demux: times the Demux command over a file, the way the window runs it. The
// source is read first (untimed; fast check on, as the window's default, since the Read only
// finds the streams), every stream found is selected, and the Demux of all of them into OUTDIR
// is timed REPEATS times, each into new files (those of the run before are removed first).
// Prints each run and the best: the bytes read, the seconds, GB/s of source read, the bytes
// written in all; then the peak resident set size of the process.

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>

#include "shell/Main.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

// The Demux keeps memory low whatever the size of the source: this is the limit it is held to.
constexpr long kRssLimitKb = 30 * 1000;

// No window: no questions, errors printed and remembered.
class BenchUi : public tessary::Ui {
public:
    bool confirm(const std::string&) override { return false; }
    void showError(const std::string& message) override {
        failed = true;
        std::fprintf(stderr, "tessary-bench-demux: %s\n", message.c_str());
    }
    bool failed = false;
};

// The peak resident set size in kB (10^3 bytes): VmHWM, else ru_maxrss (KiB on Linux).
long peakRssKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.starts_with("VmHWM:")) return std::atol(line.c_str() + 6) * 1024 / 1000;
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) == 0) return usage.ru_maxrss * 1024 / 1000;
    return -1;
}

void usage(std::FILE* to) {
    std::fprintf(to, "usage: tessary-bench-demux SOURCE OUTDIR [REPEATS]\n"
                     "Reads SOURCE (fast check), then demuxes every stream it found into OUTDIR\n"
                     "REPEATS times (default 3) and prints the speed of each run and the best\n"
                     "(GB: 10^9 bytes), the bytes written and the peak RSS (MB: 10^6 bytes).\n"
                     "The files of the last run stay in OUTDIR.\n");
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && (std::string(argv[1]) == "-h" || std::string(argv[1]) == "--help")) {
        usage(stdout);
        return 0;
    }
    if (argc < 3 || argc > 4) {
        usage(stderr);
        return 2;
    }
    const std::string source = argv[1];
    const std::string outdir = argv[2];
    const int repeats = argc == 4 ? std::atoi(argv[3]) : 3;
    if (repeats < 1) {
        usage(stderr);
        return 2;
    }

    try {
        std::filesystem::create_directories(outdir);
        const uint64_t sourceBytes = std::filesystem::file_size(source);

        BenchUi ui;
        tessary::SystemClock clock;
        tessary::TfMain main(ui, clock);
        main.Resetcbs();
        main.cbAutoClear.setChecked(false);
        main.rbNoAuto.setChecked(true);
        main.cbContinue.setChecked(false);
        main.cbFastCheck.setChecked(true);
        main.eEVOfile.setText(source);
        main.EVOadj();
        main.bReadEVOClick();
        if (ui.failed) return 1;

        int streams = 0;
        for (int slot = 1; slot < tessary::kStreamSlotCount; ++slot)
            if (const tessary::CheckBox* box = main.boxOfSlot(slot); box && box->checked())
                ++streams;
        if (streams == 0) {
            std::fprintf(stderr, "tessary-bench-demux: the Read found no stream in %s\n",
                         source.c_str());
            return 1;
        }
        std::printf("source: %s, %llu bytes, %d streams\n", source.c_str(),
                    static_cast<unsigned long long>(sourceBytes), streams);

        main.eWorkdir.setText(outdir);
        double best = 0;
        uint64_t written = 0;
        for (int run = 1; run <= repeats; ++run) {
            // Every run creates its files anew, as the first does: writing over the files of
            // the last run would time the file system's truncation as well.
            for (const tessary::DemuxTarget& target : main.lastDemuxTargets())
                std::filesystem::remove(target.path);
            const auto start = SteadyClock::now();
            main.bDemuxClick();
            const std::chrono::duration<double> elapsed = SteadyClock::now() - start;
            if (ui.failed) return 1;
            if (main.state.cancelFlag) {
                std::fprintf(stderr, "tessary-bench-demux: the Demux was cancelled\n");
                return 1;
            }
            written = 0;
            for (const tessary::DemuxTarget& target : main.lastDemuxTargets())
                written += std::filesystem::file_size(target.path);
            const double seconds = elapsed.count();
            best = best == 0 ? seconds : std::min(best, seconds);
            std::printf("run %d: %llu bytes read in %.3f s = %.2f GB/s, %llu bytes written to "
                        "%zu files, frames %u + %u\n",
                        run, static_cast<unsigned long long>(sourceBytes), seconds,
                        static_cast<double>(sourceBytes) / 1e9 / seconds,
                        static_cast<unsigned long long>(written), main.lastDemuxTargets().size(),
                        main.state.frameCounts[0], main.state.frameCounts[1]);
        }
        std::printf("bytes read: %llu\n", static_cast<unsigned long long>(sourceBytes));
        std::printf("best: %.3f s, %.2f GB/s\n", best,
                    static_cast<double>(sourceBytes) / 1e9 / best);
        std::printf("bytes written: %llu\n", static_cast<unsigned long long>(written));
        const long rss = peakRssKb();
        std::printf("peak RSS: %.1f MB%s\n", static_cast<double>(rss) / 1000,
                    rss > kRssLimitKb ? " (over the 30 MB limit)" : "");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tessary-bench-demux: %s\n", e.what());
        return 1;
    }
    return 0;
}
