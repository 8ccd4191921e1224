// Start-up, closing and the keys of the integer field.
#include "platform/Paths.h"
#include "platform/Text.h"
#include "shell/Main.h"
#include "shell/Settings.h"

namespace tessary {

void TfMain::FormActivate(const std::vector<std::string>& arguments) {
    // The sequence is needed once, when the window is first shown.
    if (activated_) return;
    activated_ = true;
    try {
        RegRead();
    } catch (const SettingsError& error) {
        // The values loaded so far stay; the rest of the start-up does not run.
        ui_.showError(error.what());
        return;
    }
    updateMatroskaOption();
    Resetcbs();
    if (arguments.size() == 1 && fileExists(arguments.front())) {
        // A playlist (a desktop opens one with the program) goes where a dropped one goes.
        if (upperCase(extensionPart(arguments.front())) == ".XPL") {
            WMDropFiles(arguments);
            return;
        }
        eEVOfile.setText(arguments.front());
        EVOadj();
        bReadEVOClick();
    }
}

bool TfMain::FormCloseQuery() {
    if (state.writingPass) {
        bCancelClick();
        return state.cancelFlag;
    }
    // A Read pass that may be running ends at its next block.
    state.cancelFlag = true;
    return true;
}

void TfMain::FormClose() {
    try {
        RegWrite();
    } catch (const SettingsError& error) {
        ui_.showError(error.what());
    }
}

bool TfMain::numEditKey(char key) {
    const bool accepted = (key >= '0' && key <= '9') || key == '+' || key == '-' || key == '\b' ||
                          key == '\r' || key == '\n';
    if (!accepted) ui_.beep();
    return accepted;
}

} // namespace tessary
