// tessary-bench-demux: times the Demux command over a file, the way the window runs it: the
// source is read first (untimed), every stream found is selected, and the Demux of all of them
// into OUTDIR is timed REPEATS times (tools/bench/CommandBench.h tells the rest).

#include <string>
#include <vector>

#include "CommandBench.h"

namespace {

class DemuxBench : public tessary::bench::BenchCommand {
public:
    const char* tool() const override { return "tessary-bench-demux"; }
    const char* description() const override {
        return "Reads SOURCE (fast check), then demuxes every stream it found into OUTDIR\n"
               "REPEATS times (default 3) and prints the speed of each run and the best\n"
               "(GB: 10^9 bytes), the bytes written and the peak RSS (MB: 10^6 bytes).\n"
               "The files of the last run stay in OUTDIR.\n";
    }
    std::string select(tessary::TfMain&) override { return {}; }
    void run(tessary::TfMain& main) override { main.bDemuxClick(); }
    std::vector<std::string> outputs(const tessary::TfMain& main) const override {
        std::vector<std::string> paths;
        for (const tessary::WrittenFile& target : main.lastDemuxTargets())
            paths.push_back(target.path);
        return paths;
    }
    std::string runDetails(const tessary::TfMain& main) const override {
        return ", frames " + std::to_string(main.state.frameCounts[0]) + " + " +
               std::to_string(main.state.frameCounts[1]);
    }
};

} // namespace

int main(int argc, char** argv) {
    DemuxBench command;
    return tessary::bench::runBench(command, argc, argv);
}
