#pragma once

#include <array>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "engine/RunState.h"
#include "jobs/JobContext.h"
#include "jobs/MatroskaJob.h"
#include "jobs/PlaylistJobs.h"
#include "jobs/ReadJob.h"
#include "jobs/TitlesJob.h"
#include "jobs/WriteJobs.h"
#include "platform/Format.h"
#include "platform/OutputFile.h"
#include "platform/Programs.h"
#include "platform/Reporter.h"
#include "platform/SettingsStore.h"
#include "platform/Ui.h"
#include "shell/Controls.h"
#include "shell/MessageLog.h"
#include "shell/StatusBar.h"

namespace tessary {

// The window's placement as the settings keep it: state 0 normal, 1 minimised, 2 maximised;
// the normal position and size of the window's own area, without the frame the window system
// adds, in pixels (width and height 0: the first size).
struct WindowPlacement {
    int state = 0;
    int top = 0;
    int left = 0;
    int width = 0;
    int height = 0;
    bool operator==(const WindowPlacement&) const = default;
};

// The tab pages in their order. The status page shows the table of streams above the log.
enum class Page { Status = 0, Xpl, Options, About };

// The main window as a model: every control the program reads or writes, the shared run state
// and the handlers. The Qt face shows the controls and calls the handlers; each handler turns
// the controls into a job's options, runs the job and shows its result in the controls.
class TfMain : public Reporter, public JobPort {
public:
    TfMain(Ui& ui, Clock& clock);
    TfMain(const TfMain&) = delete;
    TfMain& operator=(const TfMain&) = delete;

    // Source and playlist rows.
    TextField eEVOfile{"", "Drop here the source EVO file|or type its path and press Enter"};
    Button bbEVO{"", "Browse an EVO (AOB, VOB) file", true};
    Button bReadEVO{"Read EVO", "Read the source EVO file to detect streams", false};
    TextField eXPLfile{"VPLST000.XPL",
                       "Drop here the VPLST000.XPL|or type its path and press Enter"};
    Button bbXPL{"", "Browse the HD DVD disc's VPLST000.XPL", true};
    Button bReadXPL{"Read XPL", "Read the XPL file to detect stream infos", false};

    // Command buttons at the bottom.
    Button bDemux{"Demux", "Demux the source EVO to streams", false};
    Button bRebuild{"Rebuild", "", false};
    Button bMakeMkv{"Make MKV",
                    "mkvmerge puts the ticked streams into one MKV file, with the playlist's "
                    "names, languages and chapters",
                    false};
    Button bCancel{"Cancel", "You can stop the actual process", false};

    // "Status" tab.
    Button bClear{"Clear", "", true};
    CheckBox cbAutoClear{"Auto clear", "", false};
    MessageLog reMessage;

    // The stream boxes: the rows of the "Streams" tab's table tick them.
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
    CheckBox cbMakeMkv{"Make a Matroska file after Demux",
                       "mkvmerge puts the demuxed streams into one MKV file, with the playlist's "
                       "names, languages and chapters",
                       false};
    CheckBox cbCodecExt{"Extensions by codec",
                        "Demux names each audio and video file by its codec (.264, .vc1, .m2v, "
                        ".ac3, .eac3, .dts, .thd, .pcm, .mlp) instead of the extensions above",
                        false};
    CheckBox cbLpcmWav{"LPCM as WAV",
                       "Demux writes LPCM audio of EVO and VOB files as playable .wav files",
                       false};
    // The form of the file Write chapters writes, in the order of `ChapterFormat`.
    Choice cobChapters{{"Preset list", "OGM (mkvmerge, ffmpeg)", "Matroska XML"},
                       0,
                       "The form of the chapters file: the preset list, plain OGM lines that "
                       "mkvmerge, ffmpeg and most players read, or Matroska chapter XML"};
    RadioButton rbNoAuto{"No auto process", "", true};
    RadioButton rbAutoDemux{"Auto Demux", "Demux starts automatically after Read EVO", false};
    RadioButton rbAutoRebuild{"Auto Rebuild", "Rebuild starts automatically after Read EVO", false};

    StatusBar statusBar;

    // Placement and the playlist tree's width: the face keeps them up to date, the settings
    // load and save them. `placementChanged` tells the face to apply loaded values.
    WindowPlacement placement;
    int treeWidth = 96;
    Signal<> placementChanged;

    // "XPL" tab: the playlist's tag lines, its tree, and the chapter list (never shown).
    Button bWriteChaps{"Write chapters", "", false};
    // The titles of the playlist read, one line each; the title read is the one chosen.
    Choice cobTitles{{},
                     -1,
                     "The titles of the disc's playlist: choosing one reads its first EVO file "
                     "and its names, languages and chapters"};
    TreeView tvXPL{{{"Video", {}}, {"Audio", {}}, {"Subpicture", {}}, {"Chapter", {}}},
                   "Infos from your XPL file"};
    TextList mXPL;
    TextList mChapter;

    // How far the running pass has got (position, size in bytes).
    Signal<uint64_t, uint64_t> progressChanged;

    // The face gives this control the keyboard focus.
    Signal<Control*> focusRequested;

    // The window's title: "Tessary VERSION", and once a Read has started "NAME - Tessary
    // VERSION" with the name of its source file.
    std::string title() const;
    Signal<> titleChanged;

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
    void bDemuxClick();
    void bRebuildClick();
    // The Matroska job on the ticked streams, whatever "Make a Matroska file after Demux" says.
    void bMakeMkvClick();
    void bReadXPLClick();
    void bWriteChapsClick();
    // A title chosen in the list: its first EVO file becomes the source and is read, then the
    // playlist for that title.
    void cobTitlesChange();
    void bCancelClick();
    void bClearClick() { reMessage.clear(); }
    // The log's "Save report...": the log to a file chosen in a save dialog, as HTML when its
    // name ends in .html or .htm, as plain text when it ends in .txt, and else as the chosen
    // filter (text, HTML) says. A file being read is refused; an error is shown.
    void miSaveReportClick();
    void cbFastCheckClick() { ieFastSize.setEnabled(cbFastCheck.checked()); }
    void cbVideoClick();
    void Resetcbs();
    void EVOadj();
    void XPLadj();

    // Source selection: the browse buttons and files dropped on the window.
    void bbEVOClick();
    void bbXPLClick();
    void bbWorkdirClick();
    // A path typed into the source or playlist field: each edit offers its Read when the field
    // is not empty; Enter takes the path as a browse would and reads it.
    void eEVOfileEdited();
    void eEVOfileEnter();
    void eXPLfileEdited();
    void eXPLfileEnter();
    void WMDropFiles(const std::vector<std::string>& paths);

    // Start-up (once, at the first activation) and closing.
    void FormActivate(const std::vector<std::string>& arguments);
    bool FormCloseQuery();
    void FormClose();

    // Where Demux creates its files (none given: on disk).
    void setOutputFiles(OutputFiles* files) { outputFiles_ = files ? files : &diskFiles_; }
    // The files of the last Demux, in the order they were created.
    const std::vector<WrittenFile>& lastDemuxTargets() const { return lastDemux_.files; }
    // The file of the last Rebuild.
    const std::string& lastRebuildPath() const { return lastRebuild_.file.path; }
    // The last Matroska file made (or planned) and what became of it.
    const MatroskaResult& lastMatroska() const { return lastMatroska_; }

    // The programs the commands run (none given: those of the system). Setting them checks
    // again whether the Matroska muxer is there.
    void setPrograms(Programs* programs);
    // Offers "Make a Matroska file after Demux" only when the muxer is found.
    void updateMatroskaOption();

    // The settings, through the store the face provides (none: nothing is loaded or saved).
    void setSettingsStore(SettingsStore* store) { settings_ = store; }
    void RegRead();
    void RegWrite();

    // The integer field takes digits, "+", "-", backspace and return (and at most three
    // characters, which the face enforces); any other key is refused with a beep.
    bool numEditKey(char key);

    // True while a command (Read, Demux, Rebuild, ...) runs: source changes are refused then.
    // `runningChanged` tells the face when a command starts and ends, so that it can lock
    // whatever would change the run (source, playlist, ticks, options, dropping).
    bool passRunning() const { return passesRunning_ > 0; }
    Signal<> runningChanged;

    // The stream box of a slot of the stream table (nullptr for slots without one).
    CheckBox* boxOfSlot(int slot);

    // Reporter: the message log and the status bar.
    void log(std::string_view message) override { reMessage.append(message); }
    void slog(std::string_view text, int panel) override { statusBar.slog(text, panel); }

    // JobPort: Cancel, the progress, and the Options tab as it stands while a pass runs.
    std::optional<PassOptions> liveOptions() override { return passOptions(); }
    // Cancel stays enabled from a command's start to its end, through every step of it.
    void setCancelEnabled(bool enabled) override {
        if (!passRunning()) bCancel.setEnabled(enabled);
    }
    void processMessages() override { ui_.processMessages(); }
    void repaint() override { ui_.repaint(); }
    void progress(uint64_t position, uint64_t size) override {
        progressChanged.emit(position, size);
    }
    double nowDays() override { return clock_.nowDays(); }

    // The options of the Options tab that a pass reads.
    PassOptions passOptions() const;

    // Whether the last Read continued onto a second feature file.
    bool lastReadContinued() const { return lastRead_.continued; }

    // The last Read and the last playlist read, and the news that either changed (after the
    // command ended, also by an error).
    const ReadResult& lastRead() const { return lastRead_; }
    const PlaylistResult& lastPlaylist() const { return lastPlaylist_; }
    Signal<> streamsChanged;

private:
    // Runs a command: the buttons in `disabled` are disabled while it runs, and `giveBack`
    // gives them back when it ends, also after an error. An error ends the command, is shown
    // through the Ui and is never followed by "Done."; WritingPass is cleared either way.
    // Returns false after an error, and does nothing while another pass runs.
    bool runCommand(std::initializer_list<Button*> disabled, const std::function<void()>& body,
                    const std::function<void()>& giveBack);
    // Whether the source is an EVO file (Rebuild is offered for those only).
    bool evoSource() const;
    // The context of a job run from the window.
    JobContext jobContext();
    // The ticked stream boxes, with their captions, in slot order.
    std::vector<ChosenStream> chosenStreams();
    // The Demux's options from the controls.
    DemuxJobOptions demuxOptions();
    // Shows a playlist's streams on the boxes, as Read XPL does.
    void showDeclaredStreams(const std::vector<DeclaredStream>& streams);
    void readEvo();
    void demuxEvo();
    void rebuildEvo();
    // Runs a writing command's body with the output folder created when missing; a folder
    // made for it that nothing was written into is taken back at the end, with a log line.
    void writeIntoOutputFolder(const std::function<void()>& write);
    void readXpl();
    // Lists the titles of the playlist just read, the one read chosen.
    void listPlaylistTitles();
    // The place in the list of the title last read; -1 when none.
    int titleIndexRead() const;
    void writeChapters();
    void makeMatroskaFile();
    void writeReport(const Ui::SaveFileChoice& choice);
    void selectRadio(RadioButton& chosen);
    bool endsWithFolder(const std::string& path, const char* folder) const;
    bool anyStreamTicked() const;

    Ui& ui_;
    Clock& clock_;
    SettingsStore* settings_ = nullptr;
    DiskOutputFiles diskFiles_;
    OutputFiles* outputFiles_ = &diskFiles_;
    SystemPrograms systemPrograms_;
    Programs* programs_ = &systemPrograms_;
    ReadResult lastRead_;
    DemuxResult lastDemux_;
    RebuildResult lastRebuild_;
    MatroskaResult lastMatroska_;
    PlaylistResult lastPlaylist_;
    TitlesResult lastTitles_;
    // The title chosen in the list and its first file: while that file is the source, Read
    // XPL reads that title rather than the first one that plays the file.
    int chosenTitle_ = 0;
    std::string chosenTitleSource_;
    std::string titleSource_;
    // The source and playlist paths the folders were last worked out from.
    std::string adjustedSource_;
    std::string adjustedPlaylist_;
    bool muxerFound_ = false;
    MediaAttributes mediaAttributes_;
    Page activePage_ = Page::Status;
    bool activated_ = false;
    int passesRunning_ = 0;
};

} // namespace tessary
