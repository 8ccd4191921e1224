// Making a Matroska file from the streams of the last Demux: the muxer's options and chapters
// files beside the demuxed files, then the muxer itself.
#include "ops/OutputNames.h"
#include "platform/Paths.h"
#include "shell/FileNames.h"
#include "shell/Main.h"
#include "streams/Codecs.h"

namespace tessary {

void TfMain::setPrograms(Programs* programs) {
    programs_ = programs ? programs : &systemPrograms_;
    updateMatroskaOption();
}

void TfMain::updateMatroskaOption() {
    const bool found = !programs_->find(kMuxerName).empty();
    cbMakeMkv.setEnabled(found);
    cbMakeMkv.setHint(found ? "mkvmerge puts the demuxed streams into one MKV file, with the "
                              "playlist's names, languages and chapters"
                            : "mkvmerge was not found: install MKVToolNix to make Matroska files");
}

bool TfMain::makeMatroskaFile(const std::string& mkvPath) {
    return runCommand(
        {&bDemux, &bRebuild}, [this, &mkvPath] { makeMatroska(mkvPath); },
        [this] {
            bDemux.setEnabled(true);
            bRebuild.setEnabled(evoSource());
        });
}

void TfMain::makeMatroska(const std::string& mkvPath) {
    const std::string source = eEVOfile.text();
    const std::string prefix = outputPrefix(eWorkdir.text(), source, state.outputBaseName);
    lastMuxOptionsPath_ = prefix + ".mkvmerge.json";
    lastMuxOutcome_ = {};

    // Streams the Read did not find (a playlist declares more than the file holds) have
    // nothing to mux.
    std::vector<DemuxedStream> streams;
    for (const DemuxTarget& target : lastDemuxTargets_) {
        const int32_t code = state.streamTable[static_cast<std::size_t>(target.slot)];
        if (code == kNoStream) {
            log("Not in the source, left out of the Matroska file: " + namePart(target.path));
            continue;
        }
        // The bare LPCM of a DVD-Audio source is no file format mkvmerge reads.
        if (streamOfSlot(target.slot)->kind == StreamKind::Audio && !target.wav &&
            audioCodecOfSubstream(static_cast<uint32_t>(code)) == AudioCodec::Lpcm) {
            log("LPCM without a WAV header, left out of the Matroska file: " +
                namePart(target.path));
            continue;
        }
        streams.push_back({target.slot, target.path, boxOfSlot(target.slot)->caption()});
    }
    const PlaylistRead* playlist = playlistFor(CutExt(namePart(source)));
    lastMuxPlan_ = planMatroska(state, streams, playlist, mkvPath, prefix + ".mkv-chapters.txt");
    for (const std::string& file : lastMuxPlan_.subpictureFiles)
        log("Left out of the Matroska file (mkvmerge reads no subpictures): " + namePart(file));
    if (lastMuxPlan_.tracks.empty())
        throw MuxError("No video or audio stream to put into " + namePart(mkvPath));

    // None of the files written may lead to a file being read (through a link).
    for (const std::string* output : std::initializer_list<const std::string*>{
             &mkvPath, &lastMuxOptionsPath_, &lastMuxPlan_.chaptersPath})
        refuseInputAsOutput(*output, {source, secondFeatureFile(), eXPLfile.text()},
                            "It is a file being read");
    state.writingPass = true;
    lastMuxOutcome_ = MatroskaMux({state, *this, *this, locale, *outputFiles_}, *programs_)
                          .run(lastMuxPlan_, lastMuxOptionsPath_);
    if (!lastMuxOutcome_.made) {
        log("mkvmerge was not found; to make the Matroska file, run: " + lastMuxOutcome_.command);
        return;
    }
    log("Matroska file: " + mkvPath);
    log("Done.");
    log("");
    slog("Ready", 0);
    slog("", 1);
}

} // namespace tessary
