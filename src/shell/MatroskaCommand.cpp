// Making a Matroska file of the ticked streams: the Demux with the Matroska option on.
#include <filesystem>
#include <system_error>

#include "platform/LogText.h"
#include "platform/Paths.h"
#include "shell/Main.h"

namespace tessary {

void TfMain::setPrograms(Programs* programs) {
    programs_ = programs ? programs : &systemPrograms_;
    updateMatroskaOption();
}

void TfMain::updateMatroskaOption() {
    const bool found = !programs_->find(kMuxerName).empty();
    muxerFound_ = found;
    cbMakeMkv.setEnabled(found);
    bMakeMkv.setHint(found ? "mkvmerge puts the ticked streams into one MKV file, with the "
                             "playlist's names, languages and chapters"
                           : "mkvmerge was not found: install MKVToolNix to make Matroska files");
    cbVideoClick();
    cbMakeMkv.setHint(found ? "mkvmerge puts the demuxed streams into one MKV file, with the "
                              "playlist's names, languages and chapters"
                            : "mkvmerge was not found: install MKVToolNix to make Matroska files");
}

void TfMain::bMakeMkvClick() {
    runCommand(
        {&bDemux, &bRebuild},
        [this] {
            writeIntoOutputFolder([this] {
                showPage(Page::Status);
                makeMatroskaFile();
            });
        },
        [this] {
            bDemux.setEnabled(true);
            bRebuild.setEnabled(evoSource());
        });
}

// The playlist gives the tracks their names and languages and the file its chapters: the
// playlist field when it names a file, else the disc's beside the source, when there is one.
void TfMain::makeMatroskaFile() {
    const std::string source = eEVOfile.text();
    std::error_code error;
    const std::string playlistPath = std::filesystem::is_regular_file(eXPLfile.text(), error)
                                         ? eXPLfile.text()
                                         : discPlaylistOf(source);
    PlaylistResult playlist;
    if (!playlistPath.empty()) {
        readPlaylistTitle({playlistPath, source}, mediaAttributes_, *this, playlist);
        // Without the title nothing of the playlist goes into the MKV.
        for (const std::string& warning : playlist.warnings)
            log("Warning: " + literal(warning) +
                (playlist.titleFound() ? "" : ": no names, languages or chapters"));
    }

    MatroskaJobOptions options;
    options.demux = demuxOptions();
    options.playlist = playlistPath.empty() ? nullptr : &playlist;
    JobContext context = jobContext();
    lastMatroska_ = {};
    lastMatroska_ = makeMatroska(options, context);
    lastDemux_ = lastMatroska_.demux;
    for (const std::string& warning : lastMatroska_.warnings)
        log("Warning: " + literal(warning));
}

} // namespace tessary
