// Choosing the source and the playlist: browse buttons, dropped files and the disc layout that
// links the two folders (feature files in HVDVD_TS, the playlist in ADV_OBJ beside it).
#include "jobs/FileNames.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "shell/Main.h"

namespace tessary {

namespace {
const char* const kDiscFolder = "HVDVD_TS";
const char* const kPlaylistFolder = "ADV_OBJ";
const char* const kPlaylistName = "VPLST000.XPL";
} // namespace

// Whether `path` ends in the folder name followed by the platform's separator (exact case).
bool TfMain::endsWithFolder(const std::string& path, const char* folder) const {
    const std::string tail = std::string(folder) + kPathSeparator;
    return path.size() >= tail.size() &&
           path.compare(path.size() - tail.size(), tail.size(), tail) == 0;
}

void TfMain::EVOadj() {
    const std::string& path = eEVOfile.text();
    adjustedSource_ = path;
    bReadEVO.setEnabled(!path.empty());
    state.sourceName = namePart(path);
    state.outputBaseName = CutExt(state.sourceName);
    EVOdir = folderPart(path);
    eXPLfile.setText(kPlaylistName);
    // The disc's playlist fills the field only when it is there.
    if (endsWithFolder(EVOdir, kDiscFolder)) {
        XPLdir = EVOdir.substr(0, EVOdir.size() - std::char_traits<char>::length(kDiscFolder) - 1) +
                 kPlaylistFolder + kPathSeparator;
        if (fileExists(XPLdir + kPlaylistName)) {
            PlaylistName = kPlaylistName;
            eXPLfile.setText(XPLdir + PlaylistName);
        }
    }
    bReadXPL.setEnabled(!PlaylistName.empty());
}

void TfMain::XPLadj() {
    const std::string& path = eXPLfile.text();
    adjustedPlaylist_ = path;
    PlaylistName = namePart(path);
    XPLdir = folderPart(path);
    bReadXPL.setEnabled(!PlaylistName.empty());
    if (endsWithFolder(XPLdir, kPlaylistFolder))
        EVOdir =
            XPLdir.substr(0, XPLdir.size() - std::char_traits<char>::length(kPlaylistFolder) - 1) +
            kDiscFolder + kPathSeparator;
}

void TfMain::bbEVOClick() {
    if (passRunning()) return;
    Ui::OpenFileRequest request;
    request.title = "Choose the EVO file to demux";
    request.filters = {{"All supported file", "*.aob; *.evo; *.vob"},
                       {"EVOB files (HD DVD)", "*.evo"},
                       {"AOB files (DVD Audio)", "*.aob"},
                       {"VOB files (DVD Video)", "*.vob"}};
    request.startFolder = EVOdir;
    request.defaultExtension = "EVO; VOB; AOB";
    request.mustExist = true;
    const auto chosen = ui_.openFile(request);
    if (!chosen) return;
    eEVOfile.setText(*chosen);
    EVOadj();
    if (bReadEVO.enabled()) focusRequested.emit(&bReadEVO);
    Resetcbs();
    if (cbAutoRead.checked()) bReadEVOClick();
}

void TfMain::bbXPLClick() {
    if (passRunning()) return;
    Ui::OpenFileRequest request;
    request.filters = {{"XPL", kPlaylistName}};
    request.startFolder = XPLdir;
    request.presetName = PlaylistName;
    request.defaultExtension = "*.xpl";
    const auto chosen = ui_.openFile(request);
    if (!chosen) return;
    eXPLfile.setText(*chosen);
    XPLadj();
    if (cbAutoRead.checked()) bReadXPLClick();
}

void TfMain::eEVOfileEdited() {
    if (!passRunning()) bReadEVO.setEnabled(!eEVOfile.text().empty());
}

void TfMain::eEVOfileEnter() {
    if (passRunning()) return;
    EVOadj();
    Resetcbs();
    if (bReadEVO.enabled()) bReadEVOClick();
}

void TfMain::eXPLfileEdited() {
    if (!passRunning()) bReadXPL.setEnabled(!eXPLfile.text().empty());
}

void TfMain::eXPLfileEnter() {
    if (passRunning()) return;
    XPLadj();
    if (bReadXPL.enabled()) bReadXPLClick();
}

void TfMain::bbWorkdirClick() {
    const std::string start = folderExists(eWorkdir.text()) ? eWorkdir.text() : std::string();
    const auto chosen = ui_.chooseFolder("Select a directory", start);
    if (chosen)
        eWorkdir.setText(*chosen);
    else if (start.empty())
        eWorkdir.setText("");
}

void TfMain::WMDropFiles(const std::vector<std::string>& paths) {
    if (paths.empty() || passRunning()) return;
    const std::string& path = paths.front();
    const std::string extension = upperCase(extensionPart(path));
    if (extension == ".EVO" || extension == ".VOB") {
        eEVOfile.setText(path);
        EVOadj();
        if (cbAutoRead.checked()) bReadEVOClick();
    } else if (extension == ".XPL") {
        eXPLfile.setText(path);
        XPLadj();
        if (cbAutoRead.checked()) bReadXPLClick();
    }
}

} // namespace tessary
