// The Rebuild command: a new EVO with only the ticked streams, renumbered.
#include "platform/LogText.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "shell/Main.h"

namespace tessary {

bool TfMain::evoSource() const {
    return upperCase(extensionPart(eEVOfile.text())) == ".EVO";
}

void TfMain::bRebuildClick() {
    runCommand(
        {&bDemux, &bRebuild}, [this] { writeIntoOutputFolder([this] { rebuildEvo(); }); },
        [this] {
            bDemux.setEnabled(true);
            // Rebuild writes HD DVD packs: it is offered for an EVO source only.
            bRebuild.setEnabled(evoSource());
        });
}

void TfMain::rebuildEvo() {
    showPage(Page::Status);
    // The selection is taken once: a box ticked or cleared during the pass changes nothing.
    RebuildJobOptions options;
    options.source = eEVOfile.text();
    options.pass = passOptions();
    options.outputFolder = eWorkdir.text();
    for (const ChosenStream& stream : chosenStreams())
        options.keptSlots.push_back(stream.slot);
    options.advancedPacks = cbRBAdvanced.checked();
    JobContext context = jobContext();
    lastRebuild_ = {};
    lastRebuild_ = rebuildSource(options, context);
    if (const std::string warning =
            leftOutWarning(lastRebuild_, "untick Fast EVO checking to find every stream");
        !warning.empty())
        log("Warning: " + literal(warning));
}

} // namespace tessary
