// The Demux command: one file per ticked stream box, written by a Demux pass over the source
// and, when the feature continues, its second file.
#include "ops/FrameReport.h"
#include "ops/OutputNames.h"
#include "shell/Main.h"

namespace tessary {

void TfMain::bDemuxClick() {
    runCommand(
        {&bDemux, &bRebuild}, [this] { demuxEvo(); },
        [this] {
            bDemux.setEnabled(true);
            bRebuild.setEnabled(evoSource());
        });
}

void TfMain::demuxEvo() {
    showPage(Page::Status);
    state.frameCounts = {0, 0};
    state.totalSeconds = 0;
    state.writingPass = true;
    const std::string path = eEVOfile.text();
    const std::string second = secondFeatureFile();
    const bool secondFound = !second.empty();
    state.outputBaseName = featureBaseName(second);

    // The selection is taken once: a box ticked or cleared during the pass opens or closes
    // no file and changes nothing that is written.
    const std::string prefix = outputPrefix(eWorkdir.text(), path, state.outputBaseName);
    std::vector<DemuxTarget> targets;
    for (int slot = 1; slot < kStreamSlotCount; ++slot) {
        const CheckBox* box = boxOfSlot(slot);
        if (!box || !box->checked()) continue;
        const TextField* extension = &eSubExt;
        if (streamOfSlot(slot)->kind == StreamKind::Video) extension = &eVideoExt;
        if (streamOfSlot(slot)->kind == StreamKind::Audio) extension = &eAudioExt;
        targets.push_back({slot, demuxFileName(prefix, box->caption(), extension->text())});
    }
    lastDemuxTargets_ = targets;

    DemuxOperation({state, *this, *this, locale, *outputFiles_})
        .run(
            path, second, [this] { return cbContinue.checked(); }, targets);
    log("Done.");
    log("");
    slog("Ready", 0);
    slog("", 1);
    logframes(state, secondFound, *this, locale);
    // A cancelled Demux leaves streams cut short: no Matroska file is made of them.
    if (cbMakeMkv.checked() && cbMakeMkv.enabled() && !state.cancelFlag)
        makeMatroska(prefix + ".mkv");
}

} // namespace tessary
