// The desktop window driven through its real widgets (offscreen platform): start-up with and
// without stored settings, closing, the command buttons through passes and errors, Cancel,
// Demux and its files, the command line, dropped files, the layout rules, the playlist tab
// through Read XPL and Write chapters, and the streams table.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyleOptionButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include "AppIcon.h"
#include "DemoDisc.h"
#include "FakePrograms.h"
#include "Fakes.h"
#include "MainWindow.h"
#include "MemorySettingsStore.h"
#include "PackWriter.h"
#include "TempDir.h"
#include "shell/LogReport.h"

using namespace tessary;
using namespace tessary::test;
using tessary::gui::MainWindow;

namespace {

class Window : public ::testing::Test {
protected:
    // Builds and shows the window; start-up runs from the event loop.
    MainWindow& open(QStringList arguments = {}) {
        main.setSettingsStore(&store);
        window = std::make_unique<MainWindow>(main, arguments);
        window->show();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        return *window;
    }
    template <class W> W* widget(const char* name) {
        W* found = window->findChild<W*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    bool enabled(const char* name) { return widget<QWidget>(name)->isEnabled(); }
    QStringList logLines() { return widget<QTextEdit>("reMessage")->toPlainText().split('\n'); }
    // What a drop of these files delivers (the offscreen platform has no drag and drop).
    void drop(const QStringList& paths) {
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls << QUrl::fromLocalFile(path);
        window->dropUrls(urls);
    }
    // Clicks a check box on its indicator, where a click toggles it.
    void clickBox(const char* name) {
        auto* box = widget<QCheckBox>(name);
        QStyleOptionButton option;
        option.initFrom(box);
        const QRect indicator =
            box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
        QTest::mouseClick(box, Qt::LeftButton, {}, indicator.center());
    }
    QTableView* streams() { return widget<QTableView>("tvStreams"); }
    // The view's row of a stream key ("a1"), or -1.
    int rowOf(const QString& key) {
        for (int row = 0; row < streams()->model()->rowCount(); ++row)
            if (streams()->model()->index(row, 1).data().toString() == key) return row;
        return -1;
    }
    // Ticks or unticks a stream's row as the user does: selects its box and presses space.
    void toggleRow(const QString& key) {
        widget<QTabWidget>("PageControl")->setCurrentIndex(static_cast<int>(Page::Status));
        streams()->setCurrentIndex(streams()->model()->index(rowOf(key), 0));
        QTest::keyClick(streams(), Qt::Key_Space);
    }
    bool ticked(const QString& key) {
        return streams()->model()->index(rowOf(key), 0).data(Qt::CheckStateRole) == Qt::Checked;
    }
    QString rowHint(const QString& key) {
        return streams()->model()->index(rowOf(key), 1).data(Qt::ToolTipRole).toString();
    }
    // The frame every pack of bigSource carries, one per pack.
    static Bytes bigSourceFrame() {
        Bytes frame = {0x00, 0x00, 0x01, 0x00};
        frame.resize(2000, 0x31);
        return frame;
    }
    // A source large enough to reach the first progress point (4 MiB): one MPEG-2 video
    // stream of `packs` packs.
    std::string bigSource(const char* name, int packs = 2200) {
        PackWriter w;
        for (int i = 0; i < packs; ++i)
            w.addPayload(Stream::mpeg2Video(0), bigSourceFrame());
        return dir.writeFile(name, w.bytes()).string();
    }
    static Bytes fileBytes(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }

    TempDir dir;
    FakeUi ui;
    FakeClock clock;
    MemorySettingsStore store;
    TfMain main{ui, clock};
    std::unique_ptr<MainWindow> window;
};

} // namespace

TEST_F(Window, FirstStartShowsEveryDefault) {
    open();
    EXPECT_EQ(window->windowTitle(), QString("Tessary ") + TESSARY_VERSION);
    EXPECT_EQ(widget<QLineEdit>("eXPLfile")->text(), "VPLST000.XPL");
    EXPECT_EQ(widget<QLineEdit>("eVideoExt")->text(), "mpv");
    EXPECT_EQ(widget<QLineEdit>("eAudioExt")->text(), "mpa");
    EXPECT_EQ(widget<QLineEdit>("eSubExt")->text(), "sup");
    EXPECT_EQ(widget<QLineEdit>("eWorkdir")->text(), "");
    EXPECT_EQ(widget<QLineEdit>("ieFastSize")->text(), "300");
    EXPECT_TRUE(enabled("ieFastSize"));
    for (const char* name : {"cbContinue", "cbFastCheck", "cbCountFr", "cbDetails", "cbAutoRead"})
        EXPECT_TRUE(widget<QCheckBox>(name)->isChecked()) << name;
    for (const char* name : {"cbAutoClear", "cbRBAdvanced", "cbLpcmWav"})
        EXPECT_FALSE(widget<QCheckBox>(name)->isChecked()) << name;
    EXPECT_TRUE(widget<QRadioButton>("rbNoAuto")->isChecked());
    EXPECT_EQ(widget<QCheckBox>("cbContinue")->text(), "Continue with second  EVO");
    EXPECT_EQ(streams()->model()->rowCount(), 0);
    for (const char* name :
         {"bReadEVO", "bReadXPL", "bDemux", "bRebuild", "bCancel", "bWriteChaps"})
        EXPECT_FALSE(enabled(name)) << name;
    EXPECT_TRUE(enabled("bbEVO"));
    EXPECT_TRUE(enabled("bbXPL"));
    EXPECT_EQ(widget<QLabel>("StatusPanel0")->text(), " Ready");
    EXPECT_EQ(widget<QLabel>("StatusPanel1")->text(), " Select or drop an EVO file to demux");
    EXPECT_EQ(widget<QLineEdit>("eEVOfile")->toolTip(), "Drop here the source EVO file");
    EXPECT_FALSE(widget<QProgressBar>("ProgressBar")->isVisible());
}

TEST_F(Window, ClosingSavesTheSettingsAndAMaximisedCloseKeepsThePlacement) {
    open();
    QTest::mouseClick(widget<QCheckBox>("cbDetails"), Qt::LeftButton);
    widget<QRadioButton>("rbAutoRebuild")->click();
    window->move(40, 30);
    window->close();
    ASSERT_NE(store.integer("Details"), nullptr);
    EXPECT_EQ(*store.integer("Details"), 0);
    EXPECT_EQ(*store.integer("AutoRebuild"), 1);
    EXPECT_EQ(*store.integer("AutoDemux"), 0);
    EXPECT_EQ(*store.integer("FastSize"), 300);
    EXPECT_EQ(*store.string("VideoExt"), "mpv");
    EXPECT_EQ(*store.integer("WindowState"), 0);
    const int width = *store.integer("Width");
    const int left = *store.integer("Left");

    window->showMaximized();
    QCoreApplication::processEvents();
    window->close();
    EXPECT_EQ(*store.integer("WindowState"), 2);
    EXPECT_EQ(*store.integer("Width"), width);
    EXPECT_EQ(*store.integer("Left"), left);
}

// The placement is the window's own area: saved and restored twice it stays where it was,
// and one off every screen comes back onto the screen, whole.
TEST_F(Window, ThePlacementComesBackAsItWasAndOnAScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const struct Row {
        QRect stored, shown;
    } rows[] = {
        {QRect(40, 30, 700, 500), QRect(40, 30, 700, 500)},
        {QRect(5000, -20, 700, 500), QRect(QPoint(), QSize(700, 500))},
    };
    for (const Row& row : rows) {
        store.values["Left"] = int32_t{row.stored.x()};
        store.values["Top"] = int32_t{row.stored.y()};
        store.values["Width"] = int32_t{row.stored.width()};
        store.values["Height"] = int32_t{row.stored.height()};
        QRect expected = row.shown;
        if (expected.topLeft().isNull()) expected.moveCenter(screen.center());
        for (int start = 0; start < 2; ++start) { // a program start each: a model of its own
            TfMain model{ui, clock};
            model.setSettingsStore(&store);
            MainWindow shown(model, {});
            shown.show();
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
            EXPECT_EQ(shown.geometry(), expected) << start;
            shown.close();
        }
    }
}

// The menu's entries carry the usual shortcuts and run the window's commands.
TEST_F(Window, TheMenuEntriesHaveTheirShortcutsAndRunTheirCommands) {
    open();
    const std::map<QString, QKeySequence> shortcuts{
        {"aOpenSource", QKeySequence::Open}, {"aSaveReport", QKeySequence::Save},
        {"aQuit", QKeySequence("Ctrl+Q")},   {"aRead", QKeySequence("F5")},
        {"aDemux", QKeySequence("Ctrl+D")},  {"aRebuild", QKeySequence("Ctrl+R")},
        {"aCancel", QKeySequence("Esc")},    {"aAbout", QKeySequence::HelpContents},
        {"aMakeMkv", QKeySequence("Ctrl+M")}};
    for (const auto& [name, keys] : shortcuts)
        EXPECT_EQ(widget<QAction>(name.toUtf8().constData())->shortcut(), keys)
            << name.toStdString();

    main.eEVOfile.setText((demoDisc() / "HVDVD_TS" / "FEATURE_1.EVO").string());
    main.EVOadj();
    widget<QAction>("aRead")->trigger();
    EXPECT_EQ(logLines().first(), "Opening file FEATURE_1.EVO");
    // A path typed into the source field and Enter read it, with the disc's playlist.
    auto* source = widget<QLineEdit>("eEVOfile");
    source->clear();
    QTest::keyClicks(source,
                     QString::fromStdString((demoDisc() / "HVDVD_TS" / "FEATURE_2.EVO").string()));
    QTest::keyClick(source, Qt::Key_Return);
    EXPECT_TRUE(logLines().contains("Opening file FEATURE_2.EVO"));
    EXPECT_TRUE(widget<QLineEdit>("eXPLfile")->text().endsWith("ADV_OBJ/VPLST000.XPL"));
    widget<QAction>("aAbout")->trigger();
    EXPECT_EQ(widget<QTabWidget>("PageControl")->currentIndex(), static_cast<int>(Page::About));
    widget<QAction>("aQuit")->trigger();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(Window, StoredSettingsAreShownAndAWrongTypeStopsLoading) {
    store.values["AudioExt"] = std::string("ac3");
    store.values["FastCheck"] = int32_t{0};
    store.values["AutoRebuild"] = int32_t{1};
    open();
    EXPECT_EQ(widget<QLineEdit>("eAudioExt")->text(), "ac3");
    EXPECT_FALSE(widget<QCheckBox>("cbFastCheck")->isChecked());
    EXPECT_FALSE(enabled("ieFastSize"));
    EXPECT_TRUE(widget<QRadioButton>("rbAutoRebuild")->isChecked());
    EXPECT_TRUE(ui.errors.empty());

    window.reset();
    TfMain fresh(ui, clock);
    store.values.clear();
    store.values["VideoExt"] = std::string("vc1");
    store.values["Continue"] = std::string("yes"); // a string where an integer belongs
    store.values["CountFrames"] = int32_t{0};
    fresh.setSettingsStore(&store);
    window = std::make_unique<MainWindow>(fresh);
    window->show();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0], "Invalid data type for 'Continue'");
    EXPECT_EQ(widget<QLineEdit>("eVideoExt")->text(), "vc1"); // loaded before it
    EXPECT_TRUE(widget<QCheckBox>("cbCountFr")->isChecked()); // after it: the default
    EXPECT_EQ(fresh.cbVideo[0].caption(), "Video stream");    // start-up stopped
}

TEST_F(Window, CommandButtonsThroughAReadItsCancelAndAnError) {
    open();
    main.cbAutoRead.setChecked(false);
    const std::string source = bigSource("FEATURE_1.EVO");
    drop({QString::fromStdString(source)});
    EXPECT_TRUE(enabled("bReadEVO"));
    std::map<std::string, bool> during;
    bool progressShown = false;
    ui.onProcessMessages = [&] {
        // Whatever would change the run is locked; Cancel and its menu entry are live.
        for (const char* name :
             {"bReadEVO", "bReadXPL", "bbEVO", "bbXPL", "bDemux", "bRebuild", "bMakeMkv", "bCancel",
              "eEVOfile", "eXPLfile", "cbContinue", "eWorkdir", "bAllStreams"})
            during[name] = enabled(name);
        for (const char* name : {"aRead", "aCancel"})
            during[name] = widget<QAction>(name)->isEnabled();
        during["tick"] = rowOf("v0") >= 0 &&
                         streams()->model()->flags(streams()->model()->index(rowOf("v0"), 0)) &
                             Qt::ItemIsEnabled;
        progressShown = widget<QProgressBar>("ProgressBar")->isVisible();
        // Drops are ignored while a pass runs.
        drop({dir.file("OTHER.EVO").c_str()});
    };
    QTest::mouseClick(widget<QPushButton>("bReadEVO"), Qt::LeftButton);
    const std::map<std::string, bool> locked{
        {"bReadEVO", false},    {"bReadXPL", false}, {"bbEVO", false},      {"bbXPL", false},
        {"bDemux", false},      {"bRebuild", false}, {"bMakeMkv", false},   {"bCancel", true},
        {"eEVOfile", false},    {"eXPLfile", false}, {"cbContinue", false}, {"eWorkdir", false},
        {"bAllStreams", false}, {"aRead", false},    {"aCancel", true},     {"tick", false}};
    EXPECT_EQ(during, locked);
    EXPECT_TRUE(progressShown);
    EXPECT_EQ(widget<QLineEdit>("eEVOfile")->text().toStdString(), source);
    EXPECT_TRUE(logLines().contains("Done."));
    for (const char* name : {"bReadEVO", "bbEVO", "bbXPL", "bDemux", "bRebuild", "eEVOfile",
                             "cbContinue", "bAllStreams"})
        EXPECT_TRUE(enabled(name)) << name;
    EXPECT_FALSE(enabled("bCancel"));
    EXPECT_FALSE(widget<QProgressBar>("ProgressBar")->isVisible());
    EXPECT_EQ(rowHint("v0"), "MPEG-2.stream.0");

    // During a Demux too (the tick of the row the Read found is locked as well).
    during.clear();
    QTest::mouseClick(widget<QPushButton>("bDemux"), Qt::LeftButton);
    EXPECT_EQ(during, locked);

    // Cancel during a writing pass asks; No leaves the pass running.
    ui.onProcessMessages = [&] {
        main.state.writingPass = true;
        QTest::mouseClick(widget<QPushButton>("bCancel"), Qt::LeftButton);
    };
    ui.answer = false;
    QTest::mouseClick(widget<QPushButton>("bReadEVO"), Qt::LeftButton);
    EXPECT_EQ(ui.questions, std::vector<std::string>{"Are you sure to stop demuxing?"});
    EXPECT_EQ(main.state.frameCounts[0], 2200u); // not cancelled
    EXPECT_FALSE(logLines().contains("Cancelled."));

    // An error shows its message and gives the buttons back.
    ui.onProcessMessages = nullptr;
    drop({dir.file("MISSING.EVO").c_str()});
    QTest::mouseClick(widget<QPushButton>("bReadEVO"), Qt::LeftButton);
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_NE(ui.errors[0].find("Cannot open file"), std::string::npos);
    EXPECT_TRUE(enabled("bReadEVO"));
    EXPECT_TRUE(enabled("bbEVO"));
    EXPECT_FALSE(enabled("bCancel"));
    EXPECT_FALSE(main.state.writingPass);
}

TEST_F(Window, DemuxOfTheDemoDiscWritesTheTickedStreams) {
    open();
    main.cbAutoRead.setChecked(false);
    drop({QString::fromStdString((demoDisc() / "HVDVD_TS" / "FEATURE_1.EVO").string())});
    QTest::mouseClick(widget<QPushButton>("bReadEVO"), Qt::LeftButton);
    QTest::keyClicks(widget<QLineEdit>("eWorkdir"), QString::fromStdString(dir.path().string()));
    toggleRow("a1");
    ASSERT_FALSE(ticked("a1"));
    ASSERT_FALSE(main.cbAudio[1].checked());
    QTest::mouseClick(widget<QPushButton>("bClear"), Qt::LeftButton);
    QTest::mouseClick(widget<QPushButton>("bDemux"), Qt::LeftButton);

    // Both feature files go into one file per ticked stream, named after the two of them; each
    // file holds its own stream from its first byte.
    const std::string prefix = (dir.path() / "FEATURE_1_FEATURE_2.").string();
    const std::vector<std::pair<std::string, Bytes>> expected = {
        {"H.264.stream.0.mpv", {0x00, 0x00, 0x00, 0x01, 0x09}},
        {"VC-1.stream.1.mpv", {0x00, 0x00, 0x01, 0x0F}},
        {"DD.stream.00.mpa", {0x0B, 0x77}},
        {"DTSHD.stream.02.mpa", {0x7F, 0xFE, 0x80, 0x01}},
        {"MLP.stream.03.mpa", {}},
        {"LPCM.stream.04.mpa", {}},
        {"Subpicture.00.sup", {'S', 'P'}},
        {"Subpicture.01.sup", {'S', 'P'}}};
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        names.insert(entry.path().filename().string());
    std::set<std::string> expectedNames;
    for (const auto& [name, head] : expected) {
        expectedNames.insert("FEATURE_1_FEATURE_2." + name);
        const Bytes bytes = fileBytes(prefix + name);
        ASSERT_GT(bytes.size(), head.size()) << name;
        EXPECT_TRUE(std::equal(head.begin(), head.end(), bytes.begin())) << name;
    }
    EXPECT_EQ(names, expectedNames); // nothing for the unticked E-AC-3 stream

    QStringList log = {"Opening file FEATURE_1.EVO", "File size: 3 Mbytes."};
    for (const auto& [name, head] : expected)
        log << QString::fromStdString("Creating " + prefix + name);
    log << "Demuxing..."
        << "No More Copies"
        << "Type 1 of APS1 is ON"
        << ""
        << "Continue on FEATURE_2.EVO"
        << "Demuxing..."
        << "No More Copies"
        << "Type 1 of APS1 is ON"
        << "Done."
        << ""
        << "276 counted frames (0:00:11.511) in video stream 0."
        << "276 calculated frames (0:00:11:511) in video stream 0."
        << "276 counted frames (0:00:11.511) in video stream 1."
        << "276 calculated frames (0:00:11:511) in video stream 1."
        << "";
    EXPECT_EQ(logLines(), log);
    EXPECT_TRUE(ui.errors.empty());

    EXPECT_EQ(widget<QTabWidget>("PageControl")->currentIndex(), static_cast<int>(Page::Status));
    for (const char* name : {"bDemux", "bRebuild", "bReadEVO", "bbEVO"})
        EXPECT_TRUE(enabled(name)) << name;
    EXPECT_FALSE(enabled("bCancel"));
    EXPECT_FALSE(widget<QProgressBar>("ProgressBar")->isVisible());
    EXPECT_FALSE(main.state.writingPass);
}

TEST_F(Window, DemuxCancelledKeepsNoUnfinishedFile) {
    open();
    main.cbAutoRead.setChecked(false);
    drop({QString::fromStdString(bigSource("FEATURE_1.EVO", 4500))}); // 9 MiB: two steps
    QTest::mouseClick(widget<QPushButton>("bReadEVO"), Qt::LeftButton);
    std::filesystem::create_directory(dir.file("out"));
    const std::string out = dir.file("out").string();
    QTest::keyClicks(widget<QLineEdit>("eWorkdir"), QString::fromStdString(out));
    QTest::mouseClick(widget<QPushButton>("bClear"), Qt::LeftButton);

    std::map<std::string, bool> during;
    bool progressShown = false;
    int progressValue = -1;
    ui.messagesProcessed = 0;
    ui.answer = true;
    ui.onProcessMessages = [&] {
        for (const char* name : {"bDemux", "bRebuild", "bCancel"})
            during[name] = enabled(name);
        during["writingPass"] = main.state.writingPass;
        progressShown = widget<QProgressBar>("ProgressBar")->isVisible();
        progressValue = widget<QProgressBar>("ProgressBar")->value();
        QTest::mouseClick(widget<QPushButton>("bCancel"), Qt::LeftButton);
    };
    QTest::mouseClick(widget<QPushButton>("bDemux"), Qt::LeftButton);
    EXPECT_EQ(ui.questions, std::vector<std::string>{"Are you sure to stop demuxing?"});
    EXPECT_EQ(ui.messagesProcessed, 1); // stopped at the first step
    EXPECT_EQ(
        during,
        (std::map<std::string, bool>{
            {"bDemux", false}, {"bRebuild", false}, {"bCancel", true}, {"writingPass", true}}));
    EXPECT_TRUE(progressShown);
    const auto size = std::filesystem::file_size(dir.file("FEATURE_1.EVO"));
    EXPECT_EQ(progressValue, static_cast<int>(kProgressStep * 1000 / size));

    const std::string file = out + "/FEATURE_1.MPEG-2.stream.0.mpv";
    EXPECT_TRUE(std::filesystem::is_empty(out));
    EXPECT_EQ(
        logLines(),
        (QStringList{"Opening file FEATURE_1.EVO", "File size: 8 Mbytes.",
                     QString::fromStdString("Creating " + file), "Demuxing...",
                     QString::fromStdString("Removed the unfinished file " + file), "Cancelled."}));
    for (const char* name : {"bDemux", "bRebuild", "bReadEVO"})
        EXPECT_TRUE(enabled(name)) << name;
    EXPECT_FALSE(enabled("bCancel"));
    EXPECT_FALSE(widget<QProgressBar>("ProgressBar")->isVisible());
}

TEST_F(Window, RebuildKeepsTheTickedStreamsRenumberedAndACancelKeepsTheFileBefore) {
    open();
    main.cbAutoRead.setChecked(false);
    // 9 MiB: a navigation pack, an advanced pack, video and two AC-3 streams marked A0, A1.
    PackWriter w;
    w.addNavPack({.audioBound = 2});
    w.addPayload(Stream::advanced(), Bytes(1000, 0x0A));
    for (int i = 0; i < 4400; ++i) {
        w.addPayload(Stream::mpeg2Video(0), bigSourceFrame());
        if (i % 50 == 0)
            for (int n : {0, 1})
                w.addPayload(Stream::ac3(n), Bytes{0x0B, 0x77, static_cast<uint8_t>(0xA0 + n)});
    }
    const std::string source = dir.writeFile("FEATURE_1.EVO", w.bytes()).string();
    // The packs of a file (its first `packs`) by kind: audio as substream id and mark,
    // advanced packs as 0xADAD, the others as 0.
    auto kinds = [](const Bytes& bytes, std::size_t packs = SIZE_MAX) {
        std::map<int, int> count;
        for (std::size_t i = 0; i < std::min(packs, bytes.size() / kPackSize); ++i) {
            const uint8_t* p = bytes.data() + i * kPackSize;
            const uint8_t* sub = p + 23 + p[22];
            ++count[p[17] == 0xBD                    ? sub[0] << 8 | sub[6]
                    : p[17] == 0xBF && p[20] == 0x80 ? 0xADAD
                                                     : 0];
        }
        return count;
    };
    drop({QString::fromStdString(source)});
    QTest::mouseClick(widget<QPushButton>("bReadEVO"), Qt::LeftButton);
    toggleRow("a0");
    QTest::mouseClick(widget<QPushButton>("bClear"), Qt::LeftButton);

    std::map<std::string, bool> during;
    QStringList panel1;
    std::vector<int> progress;
    ui.onProcessMessages = [&] {
        for (const char* name : {"bDemux", "bRebuild", "bCancel", "ProgressBar"})
            during[name] = widget<QWidget>(name)->isVisible() && enabled(name);
        during["writingPass"] = main.state.writingPass;
        panel1 << widget<QLabel>("StatusPanel1")->text();
        progress.push_back(widget<QProgressBar>("ProgressBar")->value());
    };
    QTest::mouseClick(widget<QPushButton>("bRebuild"), Qt::LeftButton);
    // Only stream 1's packs, now numbered 0x80; no advanced pack.
    const std::filesystem::path rebuilt = dir.file("FEATURE_1.rebuilt.EVO");
    EXPECT_EQ(kinds(fileBytes(rebuilt)),
              (std::map<int, int>{{0, kinds(fileBytes(source)).at(0)}, {0x80A1, 88}}));
    EXPECT_EQ(during, (std::map<std::string, bool>{{"bDemux", false},
                                                   {"bRebuild", false},
                                                   {"bCancel", true},
                                                   {"ProgressBar", true},
                                                   {"writingPass", true}}));
    EXPECT_EQ(panel1,
              (QStringList{" Rebuilding FEATURE_1.EVO 4/8 Mbytes, Remaining time: 0:00:01",
                           " Rebuilding FEATURE_1.EVO 8/8 Mbytes, Remaining time: 0:00:01"}));
    EXPECT_EQ(progress, (std::vector<int>{static_cast<int>(kProgressStep * 1000 / w.size()),
                                          static_cast<int>(2 * kProgressStep * 1000 / w.size())}));
    const QStringList head = {"Opening file FEATURE_1.EVO", "File size: 8 Mbytes.",
                              QString::fromStdString("Creating " + rebuilt.string()),
                              "Rebuilding..."};
    EXPECT_EQ(logLines(), head + QStringList({"Done.", ""}));

    // Again with the advanced packs, cancelled at the first progress point: the file of the
    // run before stays as it was.
    const Bytes before = fileBytes(rebuilt);
    widget<QTabWidget>("PageControl")->setCurrentIndex(static_cast<int>(Page::Options));
    clickBox("cbRBAdvanced");
    QTest::mouseClick(widget<QPushButton>("bClear"), Qt::LeftButton);
    ui.answer = true;
    ui.onProcessMessages = [&] {
        QTest::mouseClick(widget<QPushButton>("bCancel"), Qt::LeftButton);
    };
    QTest::mouseClick(widget<QPushButton>("bRebuild"), Qt::LeftButton);
    EXPECT_EQ(ui.questions, std::vector<std::string>{"Are you sure to stop demuxing?"});
    EXPECT_TRUE(fileBytes(rebuilt) == before);
    EXPECT_EQ(logLines(),
              head + QStringList(
                         {QString::fromStdString("Removed the unfinished file " + rebuilt.string()),
                          "Cancelled."}));
    for (const char* name : {"bDemux", "bRebuild", "bReadEVO"})
        EXPECT_TRUE(enabled(name)) << name;
    EXPECT_FALSE(enabled("bCancel"));
    EXPECT_FALSE(widget<QProgressBar>("ProgressBar")->isVisible());
}

TEST_F(Window, AFileNamedOnTheCommandLineIsReadAtStart) {
    const std::string source = bigSource("MOVIE.EVO");
    main.cbAutoRead.setChecked(false); // read whatever "Auto read" says
    open({QString::fromStdString(source)});
    EXPECT_TRUE(logLines().contains("Opening file MOVIE.EVO"));
    EXPECT_EQ(main.state.outputBaseName, "MOVIE");

    TfMain other(ui, clock);
    window = std::make_unique<MainWindow>(other, QStringList{QString::fromStdString(source), "x"});
    window->show();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_TRUE(other.reMessage.lines().empty());

    // A playlist goes where a dropped one goes, and is read as one ("Auto read").
    const QString playlist =
        QString::fromStdString((demoDisc() / "ADV_OBJ" / "VPLST000.XPL").string());
    TfMain third(ui, clock);
    window = std::make_unique<MainWindow>(third, QStringList{playlist});
    window->show();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(widget<QLineEdit>("eXPLfile")->text(), playlist);
    EXPECT_EQ(widget<QLineEdit>("eEVOfile")->text(), "");
    ASSERT_FALSE(third.reMessage.lines().empty());
    EXPECT_EQ(third.reMessage.lines().front().plainText(), "Open VPLST000.XPL");
}

TEST_F(Window, AReadNamesItsSourceInTheTitleAndTheLogSavesItsReport) {
    open({QString::fromStdString(bigSource("MOVIE.EVO", 10))});
    EXPECT_EQ(window->windowTitle(), QString("MOVIE.EVO - Tessary ") + TESSARY_VERSION);
    drop({QString::fromStdString(bigSource("OTHER.VOB", 10))});
    EXPECT_EQ(window->windowTitle(), QString("OTHER.VOB - Tessary ") + TESSARY_VERSION);

    // The log's context menu saves what the log shows, as HTML for a name ending in .html.
    auto* save = window->findChild<QAction*>("miSaveReport");
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->text(), "Save report...");
    EXPECT_TRUE(widget<QTextEdit>("reMessage")->actions().contains(save));
    const std::string report = dir.file("report.html").string();
    ui.saveAnswer = Ui::SaveFileChoice{report, 0};
    save->trigger();
    const Bytes written = fileBytes(report);
    EXPECT_EQ(std::string(written.begin(), written.end()),
              logReportHtml(main.reMessage.lines(), main.title()));
    EXPECT_TRUE(ui.errors.empty());

    // The icon compiled in, in every size the desktop theme has it.
    EXPECT_EQ(tessary::gui::applicationIcon().availableSizes(),
              (QList<QSize>{{16, 16}, {32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}}));
}

TEST_F(Window, DroppedFilesAndTheDiscLayout) {
    open();
    main.cbAutoRead.setChecked(false);
    const QString disc = QString::fromStdString((dir.path() / "DISC").string());
    // The disc's playlist fills the playlist field only when it is there.
    drop({disc + "/HVDVD_TS/FEATURE_1.EVO"});
    EXPECT_EQ(widget<QLineEdit>("eXPLfile")->text(), "VPLST000.XPL");
    std::filesystem::create_directories(dir.path() / "DISC" / "ADV_OBJ");
    std::ofstream(dir.path() / "DISC" / "ADV_OBJ" / "VPLST000.XPL") << "<Playlist/>";
    drop({disc + "/HVDVD_TS/FEATURE_1.EVO", disc + "/HVDVD_TS/FEATURE_2.EVO",
          disc + "/ADV_OBJ/VPLST000.XPL"});
    EXPECT_EQ(widget<QLineEdit>("eEVOfile")->text(), disc + "/HVDVD_TS/FEATURE_1.EVO");
    EXPECT_EQ(widget<QLineEdit>("eXPLfile")->text(), disc + "/ADV_OBJ/VPLST000.XPL");
    EXPECT_TRUE(enabled("bReadEVO"));
    EXPECT_TRUE(enabled("bReadXPL"));

    drop({disc + "/hvdvd_ts/movie.evo"}); // lower case: accepted, but no disc layout
    EXPECT_EQ(widget<QLineEdit>("eEVOfile")->text(), disc + "/hvdvd_ts/movie.evo");
    EXPECT_EQ(widget<QLineEdit>("eXPLfile")->text(), "VPLST000.XPL");

    drop({disc + "/AUDIO_TS/ATS_01_1.AOB"}); // not taken by a drop
    EXPECT_EQ(widget<QLineEdit>("eEVOfile")->text(), disc + "/hvdvd_ts/movie.evo");

    drop({disc + "/ADV_OBJ/VPLST000.XPL"});
    EXPECT_EQ(main.EVOdir, (disc + "/HVDVD_TS/").toStdString());
}

TEST_F(Window, LayoutAndTheIntegerField) {
    open();
    // An outer width of 661 pixels puts the logo's left edge at 267.
    const int frame = window->frameGeometry().width() - window->width();
    window->resize(661 - frame, 400);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->logoLeft(), 267);

    auto* size = widget<QLineEdit>("ieFastSize");
    size->setFocus();
    size->selectAll();
    QTest::keyClicks(size, "4x2");
    EXPECT_EQ(size->text(), "42");
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_EQ(main.ieFastSize.value(), 42);
    QTest::keyClicks(size, "1234");
    EXPECT_EQ(size->text().size(), 3);
    QTest::mouseClick(widget<QCheckBox>("cbFastCheck"), Qt::LeftButton);
    EXPECT_FALSE(size->isEnabled());
}

TEST_F(Window, ClosingDuringAWritingPassAsksFirst) {
    open();
    main.cbAutoRead.setChecked(false);
    drop({QString::fromStdString(bigSource("FEATURE_1.EVO"))});
    ui.onProcessMessages = [&] {
        main.state.writingPass = true; // as a Demux pass runs
        window->close();
    };
    ui.answer = false;
    QTest::mouseClick(widget<QPushButton>("bReadEVO"), Qt::LeftButton);
    EXPECT_EQ(ui.questions, std::vector<std::string>{"Are you sure to stop demuxing?"});
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(store.writes, 0);

    ui.answer = true;
    QTest::mouseClick(widget<QPushButton>("bReadEVO"), Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(logLines().contains("Cancelled."));
    EXPECT_GT(store.writes, 0); // the settings were saved on the way out
    // The pass ended with the window closed: shown again, it shows no progress.
    ui.onProcessMessages = nullptr;
    window->show();
    EXPECT_FALSE(widget<QProgressBar>("ProgressBar")->isVisible());
}

TEST_F(Window, ThePlaylistTreeKeepsItsStoredWidth) {
    store.values["TreeWidth"] = int32_t{150};
    open();
    window->close(); // the XPL tab was never shown: the stored width is kept
    EXPECT_EQ(*store.integer("TreeWidth"), 150);

    window->show();
    QCoreApplication::processEvents();
    widget<QTabWidget>("PageControl")->setCurrentIndex(static_cast<int>(Page::Xpl));
    QCoreApplication::processEvents();
    EXPECT_EQ(widget<QWidget>("tvXPL")->width(), 150);
    window->resize(window->width() + 100, window->height());
    QCoreApplication::processEvents();
    EXPECT_EQ(widget<QWidget>("tvXPL")->width(), 150); // the text view takes the growth
}

TEST_F(Window, ReadXplShowsTheSourcesTitleAndWriteChaptersWritesItsChapterList) {
    open();
    widget<QCheckBox>("cbAutoRead")->setChecked(false);
    auto* tree = widget<QTreeWidget>("tvXPL");
    auto children = [](QTreeWidgetItem* item) {
        QStringList texts;
        for (int i = 0; i < item->childCount(); ++i)
            texts << item->child(i)->text(0);
        return texts;
    };
    EXPECT_EQ(children(tree->invisibleRootItem()),
              (QStringList{"Video", "Audio", "Subpicture", "Chapter"}));

    drop({QString::fromStdString((demoDisc() / "HVDVD_TS" / "FEATURE_1.EVO").string())});
    QTest::mouseClick(widget<QPushButton>("bReadEVO"), Qt::LeftButton);
    ASSERT_TRUE(main.lastReadContinued());
    QTest::mouseClick(widget<QPushButton>("bReadXPL"), Qt::LeftButton);

    ASSERT_EQ(children(tree->invisibleRootItem()),
              (QStringList{"Info", "Video", "Audio", "Subtitle", "Chapter"}));
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        EXPECT_TRUE(tree->topLevelItem(i)->isExpanded()) << i;
    EXPECT_TRUE(children(tree->topLevelItem(0)).contains("Name: Main Feature"));
    EXPECT_EQ(children(tree->topLevelItem(1)), (QStringList{"AVC.s0", "VC-1.s1"}));
    EXPECT_EQ(tree->topLevelItem(2)->child(0)->text(0), "AC-3.6ch.s00.English");
    const QStringList chapters = children(tree->topLevelItem(4));
    ASSERT_EQ(chapters.size(), 12);
    EXPECT_EQ(chapters[3], "Chapter 4: 00:00:02:30");
    EXPECT_EQ(tree->width(), main.treeWidth); // the text view's hiding moved no splitter

    // Only the source's title, as indented tag lines, in a font of fixed width.
    auto* text = widget<QPlainTextEdit>("mXPL");
    const QStringList lines = text->toPlainText().split('\n');
    EXPECT_EQ(lines.first(), "    <Title id=\"MainFeature\" titleNumber=\"1\" displayName=\"Main "
                             "Feature\" titleDuration=\"00:00:11:30\" onEnd=\"Trailer\">");
    EXPECT_EQ(lines.last(), "    </Title>");
    EXPECT_TRUE(text->isVisible());
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_TRUE(QFontInfo(text->font()).fixedPitch());

    // The declared streams on the boxes, ticked, their text the rows' tooltips.
    const QStringList audio = {"AC-3.6ch.s00.English", "DD+.6ch.s01.French", "DTS.6ch.s02.German",
                               "MLP.2ch.s03.Japanese", "LPCM.2ch.s04.Commentary"};
    for (int i = 0; i < audio.size(); ++i) {
        EXPECT_EQ(rowHint(QString("a%1").arg(i)), audio[i]);
        EXPECT_TRUE(ticked(QString("a%1").arg(i))) << i;
    }
    EXPECT_EQ(rowHint("s1"), "2bitRLE.s01.French");
    QStringList xplLog = {"Open VPLST000.XPL", "Filesize: 5266 bytes", "AVC.s0 found!",
                          "VC-1.s1 found!"};
    for (int i = 0; i < 5; ++i)
        xplLog << audio[i] + " found!";
    xplLog += QStringList{"2bitRLE.s00.English found!", "2bitRLE.s01.French found!", "Done.", ""};
    const QStringList log = logLines();
    EXPECT_EQ(log.mid(log.indexOf("Open VPLST000.XPL")), xplLog);
    EXPECT_EQ(widget<QTabWidget>("PageControl")->currentIndex(), static_cast<int>(Page::Xpl));
    for (const char* name : {"bWriteChaps", "bReadXPL", "bReadEVO", "bbEVO", "bbXPL"})
        EXPECT_TRUE(enabled(name)) << name;

    // The chapters of both feature files, at 60 frames a second, in CR LF lines.
    QTest::keyClicks(widget<QLineEdit>("eWorkdir"), QString::fromStdString(dir.path().string()));
    QTest::mouseClick(widget<QPushButton>("bWriteChaps"), Qt::LeftButton);
    std::string expected = "Preset=!OGG\r\nFormat=\r\n";
    const char* seconds[] = {"00.000", "01.000", "02.000", "02.500", "03.500", "04.500",
                             "06.000", "07.000", "08.000", "09.000", "10.000", "11.000"};
    for (int n = 1; n <= 12; ++n) {
        const std::string number = (n < 10 ? "0" : "") + std::to_string(n);
        expected += "CHAPTER" + number + "=00:00:" + seconds[n - 1] + "\r\nCHAPTER" + number +
                    "NAME=Chapter " + std::to_string(n) + "\r\n";
    }
    expected += "Header=\r\nFooter=\r\n";
    const Bytes written = fileBytes(dir.file("FEATURE_1_FEATURE_2.chapters.txt"));
    EXPECT_EQ(std::string(written.begin(), written.end()), expected);

    // Matroska XML chosen on the Options tab: the command line's file, under the feature's name.
    widget<QComboBox>("cobChapters")->setCurrentIndex(2);
    Q_EMIT widget<QComboBox>("cobChapters")->activated(2);
    QTest::mouseClick(widget<QPushButton>("bWriteChaps"), Qt::LeftButton);
    EXPECT_EQ(
        fileBytes(dir.file("FEATURE_1_FEATURE_2.chapters.xml")),
        fileBytes(std::filesystem::path(TESSARY_SOURCE_DIR) / "tests" / "golden" / "chapters.xml"));
    EXPECT_TRUE(ui.errors.empty());

    // The disc's titles, the one read chosen. A title whose file is not on the disc is refused;
    // choosing another makes its first file the source and reads it with the title.
    auto* titles = widget<QComboBox>("cobTitles");
    ASSERT_EQ(titles->count(), 2);
    EXPECT_EQ(titles->currentIndex(), 0);
    EXPECT_EQ(titles->itemText(0),
              "1: Main Feature, 00:00:11.500, 12 chapters, plays FEATURE_1.EVO FEATURE_2.EVO");
    EXPECT_EQ(titles->itemText(1),
              "2: Trailer, 00:00:05.000, 1 chapter, plays TRAILER.EVO (missing)");
    const std::string feature2 = (demoDisc() / "HVDVD_TS" / "FEATURE_2.EVO").string();
    main.eEVOfile.setText(feature2);
    titles->setCurrentIndex(1);
    Q_EMIT titles->activated(1);
    ASSERT_EQ(ui.warnings.size(), 1u);
    EXPECT_EQ(ui.warnings.back(), "Title 2 plays " +
                                      (demoDisc() / "HVDVD_TS" / "TRAILER.EVO").string() +
                                      ", which is not on the disc");
    EXPECT_EQ(main.eEVOfile.text(), feature2);
    EXPECT_EQ(titles->currentIndex(), 0);
    titles->setCurrentIndex(0);
    Q_EMIT titles->activated(0);
    EXPECT_EQ(main.lastRead().source, (demoDisc() / "HVDVD_TS" / "FEATURE_1.EVO").string());
    EXPECT_TRUE(main.lastReadContinued());
    EXPECT_EQ(main.lastPlaylist().read.title.number, 1);
    EXPECT_EQ(titles->currentIndex(), 0);
    EXPECT_TRUE(ui.errors.empty());
}

TEST_F(Window, AMatroskaFileAfterDemuxWhenMkvmergeIsThere) {
    FakePrograms programs;
    programs.path.clear();
    main.setPrograms(&programs);
    open();
    auto* option = widget<QCheckBox>("cbMakeMkv");
    EXPECT_FALSE(option->isEnabled());
    EXPECT_EQ(option->toolTip(),
              "mkvmerge was not found: install MKVToolNix to make Matroska files");

    programs.path = "/usr/bin/mkvmerge";
    main.setPrograms(&programs);
    EXPECT_TRUE(option->isEnabled());
    widget<QTabWidget>("PageControl")->setCurrentIndex(static_cast<int>(Page::Options));
    clickBox("cbMakeMkv");
    ASSERT_TRUE(main.cbMakeMkv.checked());
    QTest::keyClicks(widget<QLineEdit>("eWorkdir"), QString::fromStdString(dir.path().string()));
    main.eEVOfile.setText((demoDisc() / "HVDVD_TS" / "FEATURE_1.EVO").string());
    main.EVOadj();
    main.bReadEVOClick();

    // The muxer runs on the options file beside the files demuxed into a work folder, which
    // goes once the file is made; the subpictures stay beside it and the log says where the
    // file went. A failing muxer is an error, and nothing is claimed done.
    const std::string prefix = (dir.path() / "FEATURE_1_FEATURE_2").string();
    QTest::mouseClick(widget<QPushButton>("bClear"), Qt::LeftButton);
    QTest::mouseClick(widget<QPushButton>("bDemux"), Qt::LeftButton);
    ASSERT_EQ(programs.runs.size(), 1u);
    EXPECT_EQ(programs.runs[0].arguments,
              (std::vector<std::string>{"--gui-mode",
                                        "@" + prefix + ".work/FEATURE_1_FEATURE_2.mkvmerge.json"}));
    EXPECT_FALSE(std::filesystem::exists(prefix + ".work"));
    EXPECT_TRUE(std::filesystem::exists(prefix + ".Subpicture.01.sup"));
    QStringList log = logLines();
    const QStringList tail = {"Left out of the Matroska file (mkvmerge reads no subpictures): "
                              "FEATURE_1_FEATURE_2.Subpicture.00.sup",
                              "Left out of the Matroska file (mkvmerge reads no subpictures): "
                              "FEATURE_1_FEATURE_2.Subpicture.01.sup",
                              "Muxing FEATURE_1_FEATURE_2.mkv",
                              QString::fromStdString("Matroska file: " + prefix + ".mkv"),
                              "Done.",
                              ""};
    EXPECT_EQ(log.mid(log.size() - tail.size()), tail);
    EXPECT_TRUE(ui.errors.empty());

    programs.lines = {"#GUI#error The file could not be opened."};
    programs.exitStatus = 2;
    QTest::mouseClick(widget<QPushButton>("bClear"), Qt::LeftButton);
    QTest::mouseClick(widget<QPushButton>("bDemux"), Qt::LeftButton);
    EXPECT_EQ(ui.errors, (std::vector<std::string>{
                             "mkvmerge failed with exit status 2: The file could not be opened."}));
    log = logLines();
    EXPECT_EQ(log.mid(log.size() - 3),
              (QStringList{"Muxing FEATURE_1_FEATURE_2.mkv",
                           QString::fromStdString("Removed the work folder " + prefix + ".work"),
                           QString::fromStdString(ui.errors[0])}));
    for (const char* name : {"bDemux", "bRebuild", "bReadEVO"})
        EXPECT_TRUE(enabled(name)) << name;
    EXPECT_FALSE(enabled("bCancel"));

    // Cancelled while the muxer runs: the question names the step, nothing of the run stays
    // and "Cancelled." ends the log.
    // Make MKV runs the same job with the option off; the status bar names the step.
    programs.lines = {"#GUI#progress 10%"};
    programs.exitStatus = 0;
    clickBox("cbMakeMkv");
    ui.answer = true;
    QString status;
    ui.onProcessMessages = [&] {
        if (!main.state.muxing) return;
        status =
            widget<QLabel>("StatusPanel0")->text() + "|" + widget<QLabel>("StatusPanel1")->text();
        QTest::mouseClick(widget<QPushButton>("bCancel"), Qt::LeftButton);
    };
    QTest::mouseClick(widget<QPushButton>("bClear"), Qt::LeftButton);
    QTest::keyClick(window.get(), Qt::Key_M, Qt::ControlModifier);
    EXPECT_EQ(status, " Muxing| Muxing FEATURE_1_FEATURE_2.mkv 10%");
    EXPECT_EQ(widget<QLabel>("StatusPanel0")->text(), " Ready");
    EXPECT_EQ(ui.questions, std::vector<std::string>{"Stop making the Matroska file?"});
    EXPECT_EQ(logLines().last(), "Cancelled.");
    EXPECT_FALSE(std::filesystem::exists(prefix + ".work"));
    EXPECT_FALSE(std::filesystem::exists(prefix + ".mkv.part"));
}

TEST_F(Window, TheStreamsTableListsTheReadsStreamsAndTicksTheirBoxes) {
    open();
    main.cbAutoRead.setChecked(false);
    drop({QString::fromStdString((demoDisc() / "HVDVD_TS" / "FEATURE_1.EVO").string())});
    QTest::mouseClick(widget<QPushButton>("bReadEVO"), Qt::LeftButton);
    QTest::mouseClick(widget<QPushButton>("bReadXPL"), Qt::LeftButton);
    widget<QTabWidget>("PageControl")->setCurrentIndex(static_cast<int>(Page::Status));

    // Every cell of every row as shown, the tick first, in the view's order.
    auto table = [this] {
        QStringList rows;
        const QAbstractItemModel* model = streams()->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            QStringList cells = {
                model->index(row, 0).data(Qt::CheckStateRole) == Qt::Checked ? "x" : "-"};
            for (int column = 1; column < model->columnCount(); ++column)
                cells << model->index(row, column).data().toString();
            rows << cells.join(" | ");
        }
        return rows;
    };
    EXPECT_EQ(
        table(),
        (QStringList{
            "x | v0 | video | H.264 | Main |  | 1920x1080, 23.976 fps | 0 | 276 | 0:00:11.511",
            "x | v1 | video | VC-1 | Alternate |  | 1920x1080, 23.976 fps | 0 | 276 | "
            "0:00:11.511",
            "x | a0 | audio | AC-3 | English | en | 5.1 ch, 48 kHz, 448 kbit/s | 0 |  | ",
            "x | a1 | audio | E-AC-3 | French | fr | 5.1 ch, 48 kHz, 384 kbit/s | 0 |  | ",
            "x | a2 | audio | DTS | German | de | 5.1 ch, 48 kHz, 768 kbit/s | 0 |  | ",
            "x | a3 | audio | TrueHD | Japanese | ja | 2 ch, 48 kHz | 0 |  | ",
            "x | a4 | audio | LPCM | Commentary | en | 2 ch, 48 kHz | 0 |  | ",
            "x | s0 | subpicture | Subpicture | English | en |  | 500 |  | ",
            "x | s1 | subpicture | Subpicture | French | fr |  | 700 |  | "}));

    // The details of the selected stream, as the sheet shows them.
    streams()->setCurrentIndex(streams()->model()->index(rowOf("a1"), 3));
    EXPECT_EQ(widget<QPlainTextEdit>("mStreamDetails")->toPlainText(),
              "Key: a1\nCaption: DD+.stream.01\nCodec: E-AC-3\nStream id: 189\nName: French\n"
              "Language: fr\nDelay: 0 ms\nFirst PTS: 90000\nSubstream id: 193\n"
              "frame size: 1536 byte\nnumber of blocks per frame: 6\n"
              "Sampling frequency: 48000 Hz\nTransmission bitrate: 384000 bit/s\n"
              "Channel arrangement: L + R + C + Ls + Rs\nbsid: 16\nLFE channel: present");
    EXPECT_TRUE(widget<QPlainTextEdit>("mStreamDetails")->isReadOnly());

    // The buttons and a box the model changes drive the ticks; sorting by delay, latest first.
    auto ticks = [&] {
        QString shown;
        for (const QString& row : table())
            shown += row.left(1);
        return shown;
    };
    QTest::mouseClick(widget<QToolButton>("bNoneStreams"), Qt::LeftButton);
    EXPECT_EQ(ticks(), "---------");
    EXPECT_FALSE(enabled("bDemux"));
    QTest::mouseClick(widget<QToolButton>("bAllAudio"), Qt::LeftButton);
    EXPECT_EQ(ticks(), "--xxxxx--");
    EXPECT_TRUE(enabled("bDemux"));
    QTest::mouseClick(widget<QToolButton>("bNoneAudio"), Qt::LeftButton);
    QTest::mouseClick(widget<QToolButton>("bAllSub"), Qt::LeftButton);
    QTest::mouseClick(widget<QToolButton>("bAllVideo"), Qt::LeftButton);
    main.cbVideo[1].setChecked(false);
    EXPECT_EQ(ticks(), "x------xx");
    QTest::mouseClick(widget<QToolButton>("bAllStreams"), Qt::LeftButton);
    EXPECT_EQ(ticks(), "xxxxxxxxx");
    streams()->sortByColumn(7, Qt::DescendingOrder);
    EXPECT_EQ(table().first().section(" | ", 1, 1), "s1");
}
