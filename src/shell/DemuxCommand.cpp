// The Demux command: one file per ticked stream box, written by a Demux pass over the source
// and, when the feature continues, its second file.
#include "engine/StreamReport.h"
#include "ops/FrameReport.h"
#include "ops/OutputNames.h"
#include "shell/Main.h"
#include "streams/Codecs.h"

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
    // LPCM as WAV: the DVD-Video style LPCM of EVO and VOB sources; an AOB's LPCM header
    // differs, so its payload stays bare.
    // A Matroska file needs its LPCM as WAV, whatever the option says.
    const bool makeMkv = cbMakeMkv.checked() && cbMakeMkv.enabled();
    const bool lpcmWav = (cbLpcmWav.checked() || makeMkv) && sourceTypeOf(path) != SourceType::Aob;
    std::vector<DemuxTarget> targets;
    for (int slot = 1; slot < kStreamSlotCount; ++slot) {
        const CheckBox* box = boxOfSlot(slot);
        if (!box || !box->checked()) continue;
        const StreamKind kind = streamOfSlot(slot)->kind;
        const bool wav = lpcmWav && kind == StreamKind::Audio &&
                         audioCodecOfSubstream(static_cast<uint32_t>(state.streamTable[slot])) ==
                             AudioCodec::Lpcm;
        std::string extension = eSubExt.text();
        if (kind == StreamKind::Video) extension = eVideoExt.text();
        if (kind == StreamKind::Audio) extension = wav ? "wav" : eAudioExt.text();
        targets.push_back({slot, demuxFileName(prefix, box->caption(), extension), wav});
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
    if (makeMkv && !state.cancelFlag) makeMatroska(prefix + ".mkv");
}

} // namespace tessary
