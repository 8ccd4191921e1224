// Read XPL and Write chapters: the playlist's title for the source, its streams on the boxes,
// and its chapter list written to a file.
#include <cctype>
#include <exception>

#include "platform/LogText.h"
#include "platform/Paths.h"
#include "shell/Main.h"

namespace tessary {

void TfMain::bReadXPLClick() {
    if (!passRunning() && eXPLfile.text() != adjustedPlaylist_) XPLadj();
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
            streamsChanged.emit();
        });
}

// The streams the title declares take the playlist's captions and tooltips, ticked; of the
// video streams only the first is offered unless the Read found another. Streams the Read
// found that the title does not declare keep their boxes as they were.
void TfMain::showDeclaredStreams(const std::vector<DeclaredStream>& streams) {
    for (const DeclaredStream& stream : streams) {
        if (stream.number >= streamCount(stream.kind)) continue;
        CheckBox* box = boxOfSlot(slotOf({stream.kind, stream.number}));
        if (!box) continue;
        if (stream.kind == StreamKind::Video && stream.number != 0 && !box->enabled()) continue;
        box->setEnabled(true);
        box->setChecked(true);
        box->setCaption(stream.text);
        if (stream.kind != StreamKind::Video) box->setHint(stream.text);
    }
}

void TfMain::readXpl() {
    showPage(Page::Xpl);
    mXPL.setVisible(false);
    mXPL.setLines({});
    mChapter.setLines({"Preset=!OGG", "Format="});

    // A playlist that cannot be read, holds no tag or no title that plays the source leaves
    // the boxes as they were, and says why (a failure: its error ends the log).
    try {
        const int title = eEVOfile.text() == chosenTitleSource_ ? chosenTitle_ : 0;
        readPlaylistTitle({eXPLfile.text(), eEVOfile.text(), title}, mediaAttributes_, *this,
                          lastPlaylist_);
    } catch (const std::exception&) {
        mXPL.setLines(std::move(lastPlaylist_.read.tagLines));
        throw;
    }
    PlaylistRead& read = lastPlaylist_.read;
    mXPL.setLines(read.tagLines);
    if (read.titleFound) {
        tvXPL.setNodes(read.tree);
        showDeclaredStreams(read.streams);
    }
    mChapter.setLines(presetChapterList(read.chapters));
    listPlaylistTitles();
    for (const std::string& warning : lastPlaylist_.warnings)
        log("Warning: " + literal(warning));
    if (read.tagLines.empty() || read.titleFound) return;
    ui_.showWarning("No title of " + namePart(eXPLfile.text()) + " plays " +
                    namePart(eEVOfile.text()));
}

void TfMain::listPlaylistTitles() {
    lastTitles_ = {};
    try {
        SilentReporter silent;
        lastTitles_ = listTitles(eXPLfile.text(), silent);
    } catch (const std::exception&) {
        // The title was read from the same file: a list that cannot be had stays empty.
    }
    std::vector<std::string> lines;
    for (const DiscTitle& title : lastTitles_.titles)
        lines.push_back(titleLine(title));
    cobTitles.setItems(std::move(lines), titleIndexRead());
}

int TfMain::titleIndexRead() const {
    if (!lastPlaylist_.read.titleFound) return -1;
    for (std::size_t i = 0; i < lastTitles_.titles.size(); ++i)
        if (lastTitles_.titles[i].read.title.number == lastPlaylist_.read.title.number)
            return static_cast<int>(i);
    return -1;
}

void TfMain::cobTitlesChange() {
    const int index = cobTitles.index();
    if (passRunning() || index < 0 || index >= static_cast<int>(lastTitles_.titles.size())) return;
    const DiscTitle& title = lastTitles_.titles[static_cast<std::size_t>(index)];
    const std::string playlist = lastTitles_.paths.playlist;
    try {
        playableTitle(lastTitles_, title.read.title.number);
    } catch (const DiscError& error) {
        std::string message = error.what();
        message.front() =
            static_cast<char>(std::toupper(static_cast<unsigned char>(message.front())));
        ui_.showWarning(message);
        cobTitles.setItems(cobTitles.items(), titleIndexRead());
        return;
    }
    chosenTitle_ = title.read.title.number;
    chosenTitleSource_ = title.files.front().path;
    eEVOfile.setText(chosenTitleSource_);
    EVOadj();
    // The list's playlist stays the one read, wherever the disc keeps it.
    eXPLfile.setText(playlist);
    XPLadj();
    Resetcbs();
    bReadEVOClick();
    if (!lastRead_.source.empty()) bReadXPLClick();
}

void TfMain::bWriteChapsClick() {
    runCommand(
        {&bWriteChaps}, [this] { writeIntoOutputFolder([this] { writeChapters(); }); },
        [this] { bWriteChaps.setEnabled(true); });
}

void TfMain::writeChapters() {
    ChaptersJobOptions options;
    options.source = eEVOfile.text();
    options.playlist = eXPLfile.text();
    options.outputFolder = eWorkdir.text();
    options.baseName = state.outputBaseName;
    options.chapters = lastPlaylist_.read.chapters;
    options.format = static_cast<ChapterFormat>(cobChapters.index());
    options.language = titleLanguage(lastPlaylist_.read);
    writeChapterList(options, *outputFiles_);
}

} // namespace tessary
