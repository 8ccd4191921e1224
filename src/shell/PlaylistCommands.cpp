// Read XPL and Write chapters: the playlist's title for the source, its streams on the boxes,
// and its chapter list written to a file.
#include "ops/OutputNames.h"
#include "platform/OutputFile.h"
#include "platform/Paths.h"
#include "shell/FileNames.h"
#include "shell/Main.h"

namespace tessary {

void TfMain::bReadXPLClick() {
    const bool readEvoWasEnabled = bReadEVO.enabled();
    runCommand(
        {&bReadXPL, &bReadEVO, &bbEVO, &bbXPL}, [this] { readXpl(); },
        [this, readEvoWasEnabled] {
            mXPL.setVisible(true);
            bReadXPL.setEnabled(true);
            bReadEVO.setEnabled(readEvoWasEnabled);
            // Only a read that ended gives a whole chapter list to write.
            bWriteChaps.setEnabled(!mChapter.lines().empty() &&
                                   mChapter.lines().back() == "Footer=");
            bbEVO.setEnabled(true);
            bbXPL.setEnabled(true);
            cbVideoClick();
        });
}

void TfMain::readXpl() {
    Resetcbs();
    showPage(Page::Xpl);
    mXPL.setVisible(false);
    mXPL.setLines({});
    std::vector<std::string> chapters = {"Preset=!OGG", "Format="};
    mChapter.setLines(chapters);

    PlaylistRead read;
    lastPlaylist_ = {};
    lastPlaylistSource_ = CutExt(namePart(eEVOfile.text()));
    try {
        readPlaylist(eXPLfile.text(), PlaylistName, lastPlaylistSource_, mediaAttributes_, *this,
                     read);
    } catch (...) {
        mXPL.setLines(std::move(read.tagLines));
        throw;
    }
    mXPL.setLines(std::move(read.tagLines));
    lastPlaylist_.titleFound = read.titleFound;
    lastPlaylist_.streams = read.streams;
    lastPlaylist_.chapters = read.chapters;
    if (read.titleFound) {
        tvXPL.setNodes(std::move(read.tree));
        // The stream codes of the last Read stay in the stream table: the boxes alone show
        // what the playlist declares, so Demux and Rebuild keep working on real codes.
        for (const DeclaredStream& stream : read.streams) {
            if (stream.kind == StreamKind::Video && stream.number != 0) continue;
            CheckBox* box = boxOfSlot(slotOf({stream.kind, stream.number}));
            if (!box) continue;
            box->setEnabled(true);
            box->setChecked(true);
            box->setCaption(stream.text);
            if (stream.kind != StreamKind::Video) box->setHint(stream.text);
        }
    }
    chapters.insert(chapters.end(), read.chapters.begin(), read.chapters.end());
    chapters.push_back("Header=");
    chapters.push_back("Footer=");
    mChapter.setLines(std::move(chapters));
    log("Done.");
    log("");
    slog("Ready", 0);
    slog("", 1);
}

void TfMain::bWriteChapsClick() {
    runCommand(
        {&bWriteChaps}, [this] { writeChapters(); }, [this] { bWriteChaps.setEnabled(true); });
}

// Every line as it is, followed by CR LF: the bytes of the names are the playlist's.
void TfMain::writeChapters() {
    lastChaptersPath_ =
        outputPrefix(eWorkdir.text(), eEVOfile.text(), state.outputBaseName) + ".chapters.txt";
    // A name that leads to the source or the playlist (through a link) is refused.
    refuseInputAsOutput(lastChaptersPath_, {eEVOfile.text(), eXPLfile.text()},
                        "It is a file being read");
    const std::unique_ptr<OutputFile> file = outputFiles_->create(lastChaptersPath_);
    static constexpr uint8_t kLineEnd[2] = {13, 10};
    try {
        for (const std::string& line : mChapter.lines()) {
            file->append(reinterpret_cast<const uint8_t*>(line.data()), line.size());
            file->append(kLineEnd, sizeof kLineEnd);
        }
    } catch (...) {
        closeAfterError(*file);
        throw;
    }
    file->close();
}

} // namespace tessary
