// The Demux command: one file per ticked stream box, or, with the Matroska option on, one
// Matroska file of them.
#include "platform/LogText.h"
#include "platform/Paths.h"
#include "shell/Main.h"

namespace tessary {

void TfMain::bDemuxClick() {
    runCommand(
        {&bDemux, &bRebuild}, [this] { writeIntoOutputFolder([this] { demuxEvo(); }); },
        [this] {
            bDemux.setEnabled(true);
            bRebuild.setEnabled(evoSource());
        });
}

void TfMain::demuxEvo() {
    showPage(Page::Status);
    if (cbMakeMkv.checked() && cbMakeMkv.enabled()) {
        makeMatroskaFile();
        return;
    }
    JobContext context = jobContext();
    lastDemux_ = {};
    lastDemux_ = demuxStreams(demuxOptions(), context);
    for (const std::string& warning : lastDemux_.warnings)
        log("Warning: " + literal(warning));
}

// The selection is taken once: a box ticked or cleared during the pass opens or closes no file
// and changes nothing that is written.
DemuxJobOptions TfMain::demuxOptions() {
    DemuxJobOptions options;
    options.source = eEVOfile.text();
    options.pass = passOptions();
    options.outputFolder = eWorkdir.text();
    options.streams = chosenStreams();
    options.extensions = {eVideoExt.text(), eAudioExt.text(), eSubExt.text(), cbCodecExt.checked()};
    options.lpcmAsWav = cbLpcmWav.checked();
    return options;
}

} // namespace tessary
