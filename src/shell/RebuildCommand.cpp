// The Rebuild command: a new EVO with only the ticked streams, renumbered, written by a pass
// over the source and, when the feature continues, its second file.
#include "ops/OutputNames.h"
#include "ops/RebuildOperation.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "shell/Main.h"

namespace tessary {

bool TfMain::evoSource() const {
    return upperCase(extensionPart(eEVOfile.text())) == ".EVO";
}

void TfMain::bRebuildClick() {
    runCommand(
        {&bDemux, &bRebuild}, [this] { rebuildEvo(); },
        [this] {
            bDemux.setEnabled(true);
            // Rebuild writes HD DVD packs: it is offered for an EVO source only.
            bRebuild.setEnabled(evoSource());
        });
}

void TfMain::rebuildEvo() {
    showPage(Page::Status);
    state.writingPass = true;
    const std::string path = eEVOfile.text();
    const std::string second = secondFeatureFile();
    state.outputBaseName = featureBaseName(second);
    lastRebuildPath_ = outputPrefix(eWorkdir.text(), path, state.outputBaseName) + ".rebuilt.EVO";

    // The selection is taken once: a box ticked or cleared during the pass changes nothing.
    RebuildSelection selection;
    for (int slot = 1; slot < kStreamSlotCount; ++slot) {
        const CheckBox* box = boxOfSlot(slot);
        selection.kept[static_cast<std::size_t>(slot)] = box && box->checked();
    }
    selection.advancedPacks = cbRBAdvanced.checked();

    lastRebuildUnnumbered_.clear();
    const auto unnumbered =
        RebuildOperation({state, *this, *this, locale, *outputFiles_})
            .run(
                path, second, [this] { return cbContinue.checked(); }, lastRebuildPath_, selection);
    for (int id = 0; id < 256; ++id)
        if (unnumbered[static_cast<std::size_t>(id)]) lastRebuildUnnumbered_.push_back(id);
    log("Done.");
    log("");
    slog("Ready", 0);
    slog("", 1);
}

} // namespace tessary
