// tessary-bench-rebuild: times the Rebuild command over a file, the way the window runs it:
// the source is read first (untimed), then half of the streams it found are unticked and the
// Rebuild of the rest into OUTDIR is timed REPEATS times (tools/bench/CommandBench.h tells the
// rest).
//
// Half: of each kind, the streams numbered 0, 2, 4 ... stay ticked and the others are
// unticked; so a source with one video, five audio and two subpicture streams keeps the video,
// audio 0, 2 and 4 and subpicture 0. The advanced packs are dropped (the option's default).

#include <string>
#include <vector>

#include "CommandBench.h"

namespace {

using tessary::CheckBox;

class RebuildBench : public tessary::bench::BenchCommand {
public:
    const char* tool() const override { return "tessary-bench-rebuild"; }
    const char* description() const override {
        return "Reads SOURCE (fast check), unticks every other stream of each kind (numbers 1,\n"
               "3, 5 ...), then rebuilds the rest into OUTDIR/BASE.rebuilt.EVO REPEATS times\n"
               "(default 3), advanced packs dropped, and prints the speed of each run and the\n"
               "best (GB: 10^9 bytes), the bytes written and the peak RSS (MB: 10^6 bytes).\n"
               "The file of the last run stays in OUTDIR.\n";
    }
    std::string select(tessary::TfMain& main) override {
        main.cbRBAdvanced.setChecked(false);
        std::string kept;
        for (int slot = 1; slot < tessary::kStreamSlotCount; ++slot) {
            CheckBox* box = main.boxOfSlot(slot);
            if (!box || !box->checked()) continue;
            const tessary::StreamRef stream = *tessary::streamOfSlot(slot);
            if (stream.number % 2 == 1) {
                box->setChecked(false);
                continue;
            }
            kept += std::string(kept.empty() ? "kept: " : ", ") + tessary::kindName(stream.kind) +
                    " " + std::to_string(stream.number) + " (" + box->caption() + ")";
        }
        return kept + "; " + std::to_string(tessary::bench::checkedStreams(main)) +
               " streams, advanced packs dropped";
    }
    void run(tessary::TfMain& main) override { main.bRebuildClick(); }
    std::vector<std::string> outputs(const tessary::TfMain& main) const override {
        if (main.lastRebuildPath().empty()) return {};
        return {main.lastRebuildPath()};
    }
};

} // namespace

int main(int argc, char** argv) {
    RebuildBench command;
    return tessary::bench::runBench(command, argc, argv);
}
