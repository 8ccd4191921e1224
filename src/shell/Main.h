#pragma once

#include <array>
#include <string>
#include <string_view>

#include "engine/PackEngine.h"
#include "engine/RunState.h"
#include "platform/Format.h"
#include "platform/Reporter.h"
#include "platform/Ui.h"
#include "shell/Controls.h"
#include "shell/MessageLog.h"
#include "shell/StatusBar.h"

namespace tessary {

// The tab pages in their order.
enum class Page { Status = 0, Video, Audio, Subpicture, Xpl, Options, About };

// The main window as a model: every control the program reads or writes, the shared run state
// and the handlers. A face (the Qt window, the command line) shows the controls and calls the
// handlers; everything the program decides happens here.
class TfMain : public Reporter, public PassHost {
public:
    TfMain(Ui& ui, Clock& clock);
    TfMain(const TfMain&) = delete;
    TfMain& operator=(const TfMain&) = delete;

    // Source and playlist rows.
    TextField eEVOfile{"", "Drop here the source EVO file|You cannot write here directly"};
    Button bbEVO{"", "Browse an EVO (AOB, VOB) file", true};
    Button bReadEVO{"Read EVO", "Read the source EVO file to detect streams", false};
    TextField eXPLfile{"VPLST000.XPL", "Drop here the VPLST000.XPL"};
    Button bbXPL{"", "Browse the HD DVD disc's VPLST000.XPL", true};
    Button bReadXPL{"Read XPL", "Read the XPL file to detect stream infos", false};

    // Command buttons at the bottom.
    Button bDemux{"Demux", "Demux the source EVO to streams", false};
    Button bRebuild{"Rebuild", "", false};
    Button bCancel{"Cancel", "You can stop the actual process", false};

    // "Status" tab.
    Button bClear{"Clear", "", true};
    CheckBox cbAutoClear{"Auto clear", "", false};
    MessageLog reMessage;

    // The stream boxes of the "Video", "Audio" and "Subpicture" tabs.
    std::array<CheckBox, 8> cbVideo;
    std::array<CheckBox, 16> cbAudio;
    std::array<CheckBox, 32> cbSub;

    // "Options" tab.
    TextField eVideoExt{"mpv", "", 5};
    TextField eAudioExt{"mpa", "", 5};
    TextField eSubExt{"sup", "This is real .sup format, don't change!", 5};
    TextField eWorkdir{"", "Destination directory for the demuxed streams"};
    Button bbWorkdir{"", "Browse folder", true};
    CheckBox cbContinue{"Continue with second  EVO",
                        "Demux continues with FEATURE_2.EVO (if it exists) after finishing "
                        "FEATURE_1.EVO",
                        true};
    CheckBox cbFastCheck{"Fast EVO checking", "Read EVO checks only the first part of the file",
                         true};
    IntField ieFastSize{300, "Size of the fast check (in MBs)", 3};
    CheckBox cbCountFr{"Count frames",
                       "Works only if the process hasn't cancelled (even by Fast EVO checking)",
                       true};
    CheckBox cbDetails{"Detailed info", "Detailed information about streams", true};
    CheckBox cbAutoRead{"Auto read", "Read the file automatically after browse", true};
    CheckBox cbRBAdvanced{"Rebuild ADV_PCKs", "Rebuild the Adcanced packs", false};
    RadioButton rbNoAuto{"No auto process", "", true};
    RadioButton rbAutoDemux{"Auto Demux", "Demux starts automatically after Read EVO", false};
    RadioButton rbAutoRebuild{"Auto Rebuild", "Rebuild starts automatically after Read EVO", false};

    StatusBar statusBar;

    Page activePage() const { return activePage_; }
    void showPage(Page page);
    Signal<Page> pageChanged;

    // Shared state of the runs and of source selection.
    RunState state;
    std::string EVOdir;
    std::string XPLdir;
    std::string PlaylistName;
    LocaleSettings locale;

    // Handlers.
    void bReadEVOClick();
    void bCancelClick();
    void bClearClick() { reMessage.clear(); }
    void cbFastCheckClick() { ieFastSize.setEnabled(cbFastCheck.checked()); }
    void cbVideoClick();
    void Resetcbs();
    void EVOadj();
    void XPLadj();

    // The stream box of a slot of the stream table (nullptr for slots without one).
    CheckBox* boxOfSlot(int slot);

    // Reporter: the message log and the status bar.
    void log(std::string_view message) override { reMessage.append(message); }
    void slog(std::string_view text, int panel) override { statusBar.slog(text, panel); }

    // PassHost.
    PassOptions passOptions() override;
    void setCancelEnabled(bool enabled) override { bCancel.setEnabled(enabled); }
    void processMessages() override { ui_.processMessages(); }
    void repaint() override { ui_.repaint(); }
    double nowDays() override { return clock_.nowDays(); }

    // Whether the last Read continued onto a second feature file.
    bool lastReadContinued() const { return lastReadContinued_; }

private:
    void readEvo();
    void selectRadio(RadioButton& chosen);

    Ui& ui_;
    Clock& clock_;
    Page activePage_ = Page::Status;
    bool lastReadContinued_ = false;
};

} // namespace tessary
