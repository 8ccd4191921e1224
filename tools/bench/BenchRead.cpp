// tessary-bench-read: times the engine's Read pass over a file, the way the Read command runs
// it with fast check off (frame counting and stream details on). Prints the throughput of
// every run and the best, and the frames counted so that the work can be checked.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "engine/PackEngine.h"
#include "engine/Pass.h"
#include "engine/RunState.h"
#include "platform/InputFile.h"
#include "platform/Reporter.h"

namespace {

using Clock = std::chrono::steady_clock;

class BenchHost : public tessary::PassHost {
public:
    explicit BenchHost(const tessary::PassOptions& options) : options_(options) {}
    tessary::PassOptions passOptions() override { return options_; }
    void setCancelEnabled(bool) override {}
    void processMessages() override {}
    void repaint() override {}
    double nowDays() override {
        const std::chrono::duration<double> seconds = Clock::now().time_since_epoch();
        return seconds.count() / tessary::kSecondsPerDay;
    }

private:
    tessary::PassOptions options_;
};

// Keeps the report lines; status-bar text is dropped.
class BenchReporter : public tessary::Reporter {
public:
    void log(std::string_view message) override { lines.emplace_back(message); }
    void slog(std::string_view, int) override {}
    std::vector<std::string> lines;
};

// The time of the scan alone: each block is read into one buffer, which the scan then finds
// in the cache.
std::chrono::duration<double> scanAlone(tessary::RunState& state, tessary::InputFile& source,
                                        const std::string& path,
                                        const tessary::PassOptions& options,
                                        tessary::Reporter& out) {
    tessary::Pass pass(tessary::RunMode::Read, state, tessary::sourceTypeOf(path), out);
    pass.setOptions(options);
    std::vector<uint8_t> block(tessary::kBlockSize);
    std::chrono::duration<double> scanning{};
    for (;;) {
        const uint64_t start = source.position();
        const std::size_t length = source.read(block.data(), block.size());
        if (length == 0) break;
        const auto before = Clock::now();
        pass.feed(block.data(), length, start);
        scanning += Clock::now() - before;
    }
    return scanning;
}

void usage(std::FILE* to) {
    std::fprintf(
        to, "usage: tessary-bench-read FILE [--runs N] [--expect-frames N] [--no-count-frames]"
            " [--no-details] [--log] [--scan-only]\n"
            "Runs the Read pass (fast check off) over FILE N times (default 5) and prints\n"
            "MB/s (10^6 bytes per second) per run and the best. --log prints the report of\n"
            "the first run; --expect-frames fails when the frame count differs. --scan-only times\n"
            "the scan alone: each block is read first, then scanned from the cache.\n");
}

} // namespace

int main(int argc, char** argv) {
    std::string path;
    int runs = 5;
    long long expectFrames = -1;
    bool showLog = false;
    bool scanOnly = false;
    tessary::PassOptions options;
    options.fastCheck = false;
    options.countFrames = true;
    options.details = true;

    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> const char* {
            if (i + 1 >= argc) {
                usage(stderr);
                std::exit(2);
            }
            return argv[++i];
        };
        if (arg == "--runs") {
            runs = std::atoi(value());
        } else if (arg == "--expect-frames") {
            expectFrames = std::atoll(value());
        } else if (arg == "--no-count-frames") {
            options.countFrames = false;
        } else if (arg == "--no-details") {
            options.details = false;
        } else if (arg == "--scan-only") {
            scanOnly = true;
        } else if (arg == "--log") {
            showLog = true;
        } else if (arg == "-h" || arg == "--help") {
            usage(stdout);
            return 0;
        } else if (path.empty() && !arg.starts_with("-")) {
            path = arg;
        } else {
            usage(stderr);
            return 2;
        }
    }
    if (path.empty() || runs < 1) {
        usage(stderr);
        return 2;
    }

    try {
        double best = 0;
        uint64_t frames = 0;
        for (int run = 1; run <= runs; ++run) {
            tessary::RunState state;
            BenchHost host(options);
            BenchReporter out;
            tessary::InputFile source(path);
            std::chrono::duration<double> elapsed{};
            if (scanOnly) {
                elapsed = scanAlone(state, source, path, options, out);
            } else {
                const auto start = Clock::now();
                tessary::demux(tessary::RunMode::Read, state, source, path, host, out);
                elapsed = Clock::now() - start;
            }
            const double mbps = static_cast<double>(source.size()) / 1e6 / elapsed.count();
            best = std::max(best, mbps);
            frames = uint64_t{state.frameCounts[0]} + state.frameCounts[1];
            std::printf("run %d: %llu bytes in %.3f s = %.0f MB/s, frames %u + %u, %zu report "
                        "lines\n",
                        run, static_cast<unsigned long long>(source.size()), elapsed.count(), mbps,
                        state.frameCounts[0], state.frameCounts[1], out.lines.size());
            if (showLog && run == 1)
                for (const auto& line : out.lines)
                    std::printf("  | %s\n", line.c_str());
        }
        std::printf("best: %.0f MB/s (%.2f GB/s)\n", best, best / 1000);
        std::printf("frames: %llu\n", static_cast<unsigned long long>(frames));
        if (expectFrames >= 0 && frames != static_cast<uint64_t>(expectFrames)) {
            std::fprintf(stderr, "frame count %llu, expected %lld\n",
                         static_cast<unsigned long long>(frames), expectFrames);
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tessary-bench-read: %s\n", e.what());
        return 1;
    }
    return 0;
}
