#include "MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QTextBrowser>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <memory>

#include "Bindings.h"
#include "NumEdit.h"
#include "StreamTable.h"

namespace tessary::gui {

namespace {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

constexpr int kClientWidth = 653;
constexpr int kClientHeight = 341;
// The first size: the streams table and about 25 lines of the log.
constexpr int kFirstWidth = 1000;
constexpr int kFirstHeight = 700;

// The window's area placed on a screen it can be seen on: the screen that holds its top edge
// (where the title bar is), else the primary one, where it is centred. It is no larger than
// the screen's free area and its top edge lies within it.
QRect onVisibleScreen(QRect area, bool centre) {
    const QPoint topMiddle(area.center().x(), area.top());
    QScreen* screen = QGuiApplication::screenAt(topMiddle);
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
        centre = true;
    }
    if (!screen) return area;
    const QRect free = screen->availableGeometry();
    area.setWidth(std::min(area.width(), free.width()));
    area.setHeight(std::min(area.height(), free.height()));
    if (centre) area.moveCenter(free.center());
    if (area.top() < free.top()) area.moveTop(free.top());
    if (area.bottom() > free.bottom()) area.moveBottom(free.bottom());
    return area;
}
constexpr int kLogoWidth = 125;
constexpr int kLogoHeight = 31;

// The logo, drawn rather than loaded: an HD DVD disc mark.
QPixmap logoPixmap() {
    QPixmap pixmap(kLogoWidth, kLogoHeight);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(30, 30, 30));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(0.5, 0.5, kLogoWidth - 1, kLogoHeight - 1), 6, 6);
    QRadialGradient disc(QPointF(17, 15.5), 12);
    disc.setColorAt(0, QColor(235, 235, 235));
    disc.setColorAt(0.35, QColor(150, 170, 210));
    disc.setColorAt(1, QColor(60, 70, 120));
    p.setBrush(disc);
    p.drawEllipse(QPointF(17, 15.5), 12, 12);
    p.setBrush(QColor(30, 30, 30));
    p.drawEllipse(QPointF(17, 15.5), 3, 3);
    QFont font("Arial", 13, QFont::Black);
    font.setItalic(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(32, 0, kLogoWidth - 36, kLogoHeight), Qt::AlignCenter, "HD DVD");
    return pixmap;
}

} // namespace

// The row of command buttons at the bottom; the logo keeps its place relative to the window.
class BottomBar : public QWidget {
public:
    explicit BottomBar(QWidget* parent) : QWidget(parent) { setFixedHeight(kLogoHeight + 4); }

    void setLogoLeft(int x) {
        logoLeft_ = x;
        layoutChildren();
    }

    QPushButton* demux = nullptr;
    QPushButton* rebuild = nullptr;
    QPushButton* makeMkv = nullptr;
    QPushButton* cancel = nullptr;
    QLabel* logo = nullptr;

protected:
    void resizeEvent(QResizeEvent*) override { layoutChildren(); }

private:
    void layoutChildren() {
        const int buttonHeight = 25;
        const int y = (height() - buttonHeight) / 2;
        demux->setGeometry(0, y, 75, buttonHeight);
        rebuild->setGeometry(81, y, 75, buttonHeight);
        makeMkv->setGeometry(162, y, std::max(75, makeMkv->sizeHint().width()), buttonHeight);
        cancel->setGeometry(width() - 75, y, 75, buttonHeight);
        logo->setGeometry(logoLeft_, (height() - kLogoHeight) / 2, kLogoWidth, kLogoHeight);
    }
    int logoLeft_ = 0;
};

MainWindow::MainWindow(TfMain& main, QStringList arguments, QWidget* parent)
    : QMainWindow(parent), main_(main), arguments_(std::move(arguments)) {
    setObjectName("fMain");
    setWindowTitle(qs(main_.title()));
    main_.titleChanged.connect([this] { setWindowTitle(qs(main_.title())); });
    setFont(QFont("Tahoma", 8));
    setAcceptDrops(true);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 2);
    layout->setSpacing(4);
    layout->addWidget(buildSourceRows());

    pages_ = new QTabWidget(central);
    pages_->setObjectName("PageControl");
    pages_->addTab(buildStatusPage(), "Status");
    pages_->addTab(buildXplPage(), "XPL");
    options_ = buildOptionsPage();
    pages_->addTab(options_, "Options");
    pages_->addTab(buildAboutPage(), "About");
    pages_->setTabToolTip(0, "The streams found, to tick for Demux, and the log");
    main_.pageChanged.connect(
        [this](Page page) { pages_->setCurrentIndex(static_cast<int>(page)); });
    connect(pages_, &QTabWidget::currentChanged, this, [this](int index) {
        main_.showPage(static_cast<Page>(index));
        if (treeWidthPending_) applyTreeWidth();
    });
    layout->addWidget(pages_, 1);

    bottom_ = new BottomBar(central);
    bottom_->demux = new QPushButton(bottom_);
    bottom_->demux->setObjectName("bDemux");
    QFont bold = bottom_->demux->font();
    bold.setBold(true);
    bottom_->demux->setFont(bold);
    bindButton(main_.bDemux, bottom_->demux, [this] { main_.bDemuxClick(); });
    bottom_->rebuild = new QPushButton(bottom_);
    bottom_->rebuild->setObjectName("bRebuild");
    bindButton(main_.bRebuild, bottom_->rebuild, [this] { main_.bRebuildClick(); });
    bottom_->makeMkv = new QPushButton(bottom_);
    bottom_->makeMkv->setObjectName("bMakeMkv");
    bindButton(main_.bMakeMkv, bottom_->makeMkv, [this] { main_.bMakeMkvClick(); });
    bottom_->cancel = new QPushButton(bottom_);
    bottom_->cancel->setObjectName("bCancel");
    bindButton(main_.bCancel, bottom_->cancel, [this] { main_.bCancelClick(); });
    bottom_->logo = new QLabel(bottom_);
    bottom_->logo->setObjectName("imLogo");
    bottom_->logo->setPixmap(logoPixmap());
    bottom_->logo->setToolTip("HD DVD logo :-)");
    layout->addWidget(bottom_);
    setCentralWidget(central);

    buildStatusBar();
    buildMenuBar();

    // While a command runs nothing that would change it can be used; Cancel stays live.
    main_.runningChanged.connect([this] {
        const bool idle = !main_.passRunning();
        sourceRows_->setEnabled(idle);
        options_->setEnabled(idle);
        writeRow_->setEnabled(idle);
    });
    // A new tree is fitted once the playlist's text shows beside it again.
    main_.tvXPL.changed.connect([this] {
        treeWidthPending_ = true;
        fitTreeToContent_ = true;
    });
    main_.mXPL.changed.connect([this] {
        if (treeWidthPending_ && main_.mXPL.visible()) applyTreeWidth();
    });
    main_.placementChanged.connect([this] { applyPlacement(); });
    main_.focusRequested.connect([this](Control* control) {
        if (control == &main_.bReadEVO)
            if (auto* button = findChild<QPushButton*>("bReadEVO")) button->setFocus();
    });
    setMinimumSize(minimumSizeHint().expandedTo(QSize(kClientWidth, kClientHeight)));
    setGeometry(onVisibleScreen(QRect(0, 0, kFirstWidth, kFirstHeight), true));
}

QWidget* MainWindow::buildSourceRows() {
    auto* rows = new QWidget(this);
    sourceRows_ = rows;
    auto* grid = new QGridLayout(rows);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(3);
    auto row = [&](int r, TextField& field, const char* fieldName, Button& browse,
                   const char* browseName, Button& read, const char* readName,
                   std::function<void()> onBrowse, std::function<void()> onRead,
                   std::function<void()> onEdited, std::function<void()> onEnter) {
        auto* edit = new QLineEdit(rows);
        edit->setObjectName(fieldName);
        edit->setClearButtonEnabled(true);
        bindTextField(field, edit, true);
        connect(edit, &QLineEdit::textEdited, this,
                [onEdited = std::move(onEdited)] { onEdited(); });
        connect(edit, &QLineEdit::returnPressed, this,
                [onEnter = std::move(onEnter)] { onEnter(); });
        auto* browseButton = new QToolButton(rows);
        browseButton->setObjectName(browseName);
        browseButton->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
        bindButton(browse, browseButton, std::move(onBrowse));
        auto* readButton = new QPushButton(rows);
        readButton->setObjectName(readName);
        readButton->setMinimumWidth(75);
        bindButton(read, readButton, std::move(onRead));
        grid->addWidget(edit, r, 0);
        grid->addWidget(browseButton, r, 1);
        grid->addWidget(readButton, r, 2);
        return readButton;
    };
    auto* readEvo = row(
        0, main_.eEVOfile, "eEVOfile", main_.bbEVO, "bbEVO", main_.bReadEVO, "bReadEVO",
        [this] { main_.bbEVOClick(); }, [this] { main_.bReadEVOClick(); },
        [this] { main_.eEVOfileEdited(); }, [this] { main_.eEVOfileEnter(); });
    readEvo->setDefault(true);
    row(
        1, main_.eXPLfile, "eXPLfile", main_.bbXPL, "bbXPL", main_.bReadXPL, "bReadXPL",
        [this] { main_.bbXPLClick(); }, [this] { main_.bReadXPLClick(); },
        [this] { main_.eXPLfileEdited(); }, [this] { main_.eXPLfileEnter(); });
    grid->setColumnStretch(0, 1);
    return rows;
}

// The table of streams above the log, split as the user likes.
QWidget* MainWindow::buildStatusPage() {
    auto* split = new QSplitter(Qt::Vertical, this);
    split->setObjectName("splStatus");
    split->setChildrenCollapsible(false);
    split->addWidget(new StreamTable(main_, split));
    auto* page = new QWidget(split);
    split->addWidget(page);
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 3);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 0, 4, 4);
    auto* top = new QHBoxLayout;
    auto* clear = new QPushButton(page);
    clear->setObjectName("bClear");
    bindButton(main_.bClear, clear, [this] { main_.bClearClick(); });
    auto* autoClear = new QCheckBox(page);
    autoClear->setObjectName("cbAutoClear");
    bindCheckBox(main_.cbAutoClear, autoClear);
    top->addWidget(clear);
    top->addWidget(autoClear);
    top->addStretch(1);
    layout->addLayout(top);
    auto* log = new QTextEdit(page);
    log->setObjectName("reMessage");
    bindMessageLog(main_.reMessage, log);
    // The log's context menu: the text edit's own entries, then "Save report...".
    auto* saveReport = new QAction("Save report...", log);
    saveReport->setObjectName("miSaveReport");
    connect(saveReport, &QAction::triggered, this, [this] { main_.miSaveReportClick(); });
    log->addAction(saveReport);
    log->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(log, &QWidget::customContextMenuRequested, log, [log, saveReport](const QPoint& at) {
        const std::unique_ptr<QMenu> menu(log->createStandardContextMenu());
        menu->addSeparator();
        menu->addAction(saveReport);
        menu->exec(log->viewport()->mapToGlobal(at));
    });
    layout->addWidget(log, 1);
    return split;
}

QWidget* MainWindow::buildXplPage() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);
    // In a row of its own, which a running command disables (the button's own state is the
    // model's).
    writeRow_ = new QWidget(page);
    auto* writeLayout = new QHBoxLayout(writeRow_);
    writeLayout->setContentsMargins(0, 0, 0, 0);
    auto* write = new QPushButton(writeRow_);
    write->setObjectName("bWriteChaps");
    bindButton(main_.bWriteChaps, write, [this] { main_.bWriteChapsClick(); });
    writeLayout->addWidget(write);
    auto* titlesLabel = new QLabel("&Title:", writeRow_);
    auto* titles = new QComboBox(writeRow_);
    titles->setObjectName("cobTitles");
    // Long titles widen the list, not the window's smallest width.
    titles->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    titles->setMinimumContentsLength(20);
    titlesLabel->setBuddy(titles);
    bindChoice(main_.cobTitles, titles);
    // After the binding's own handler, which takes the index into the model.
    connect(titles, &QComboBox::activated, this, [this] { main_.cobTitlesChange(); });
    writeLayout->addSpacing(12);
    writeLayout->addWidget(titlesLabel);
    writeLayout->addWidget(titles, 1);
    layout->addWidget(writeRow_);

    splitter_ = new QSplitter(Qt::Horizontal, page);
    splitter_->setObjectName("splXPL");
    splitter_->setChildrenCollapsible(false);
    tree_ = new QTreeWidget(splitter_);
    tree_->setObjectName("tvXPL");
    tree_->setHeaderHidden(true);
    tree_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tree_->setMinimumWidth(50);
    // Entries keep their whole width: a narrow tree scrolls rather than cutting them.
    tree_->header()->setStretchLastSection(false);
    tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    bindTreeView(main_.tvXPL, tree_);
    auto* text = new QPlainTextEdit(splitter_);
    text->setObjectName("mXPL");
    text->setToolTip("This is your XPL file (part of it)");
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Tag lines are indented by blanks: they need a font of fixed width.
    // "Courier New" where it is installed; otherwise the first candidate that resolves to a
    // font of fixed width (what a family name resolves to depends on the fonts installed).
    QFont courier("Courier New", font().pointSize());
    courier.setStyleHint(QFont::TypeWriter);
    if (!QFontInfo(courier).fixedPitch()) {
        QFont system = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        system.setPointSize(font().pointSize());
        for (const QString& family :
             {QString(), QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono"),
              QStringLiteral("Monospace")}) {
            QFont candidate = system;
            if (!family.isEmpty()) candidate.setFamily(family);
            if (QFontInfo(candidate).fixedPitch()) {
                courier = candidate;
                break;
            }
        }
    }
    text->setFont(courier);
    text->setMinimumWidth(50);
    bindTextList(main_.mXPL, text);
    // The tree keeps its width when the window grows; the text view takes the rest.
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    layout->addWidget(splitter_, 1);
    return page;
}

QWidget* MainWindow::buildOptionsPage() {
    auto* page = new QWidget(this);
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(6, 6, 6, 6);

    auto* files = new QGroupBox(page);
    auto* filesLayout = new QGridLayout(files);
    filesLayout->addWidget(new QLabel("Extensions (video, audio, subtitle)", files), 0, 0, 1, 3);
    int column = 0;
    for (auto [field, name] :
         {std::pair{&main_.eVideoExt, "eVideoExt"}, std::pair{&main_.eAudioExt, "eAudioExt"},
          std::pair{&main_.eSubExt, "eSubExt"}}) {
        auto* edit = new QLineEdit(files);
        edit->setObjectName(name);
        edit->setMaximumWidth(50);
        bindTextField(*field, edit, true);
        filesLayout->addWidget(edit, 1, column++);
    }
    auto* codecExt = new QCheckBox(files);
    codecExt->setObjectName("cbCodecExt");
    bindCheckBox(main_.cbCodecExt, codecExt);
    filesLayout->addWidget(codecExt, 2, 0, 1, 3);
    filesLayout->addWidget(new QLabel("Output folder", files), 3, 0, 1, 3);
    auto* workdir = new QLineEdit(files);
    workdir->setObjectName("eWorkdir");
    bindTextField(main_.eWorkdir, workdir, true);
    filesLayout->addWidget(workdir, 4, 0, 1, 2);
    auto* browse = new QToolButton(files);
    browse->setObjectName("bbWorkdir");
    browse->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    bindButton(main_.bbWorkdir, browse, [this] { main_.bbWorkdirClick(); });
    filesLayout->addWidget(browse, 4, 2);
    filesLayout->addWidget(new QLabel("Chapters file", files), 5, 0, 1, 3);
    auto* chapters = new QComboBox(files);
    chapters->setObjectName("cobChapters");
    bindChoice(main_.cobChapters, chapters);
    filesLayout->addWidget(chapters, 6, 0, 1, 3);
    filesLayout->setRowStretch(7, 1);
    layout->addWidget(files, 1);

    auto* read = new QGroupBox(page);
    auto* readLayout = new QVBoxLayout(read);
    auto addBox = [&](CheckBox& model, const char* name) {
        auto* box = new QCheckBox(read);
        box->setObjectName(name);
        bindCheckBox(model, box);
        readLayout->addWidget(box);
    };
    addBox(main_.cbContinue, "cbContinue");
    addBox(main_.cbFastCheck, "cbFastCheck");
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addSpacing(16);
    sizeRow->addWidget(new QLabel("check only the first", read));
    auto* size = new NumEdit([this](char key) { return main_.numEditKey(key); }, read);
    size->setObjectName("ieFastSize");
    size->setMaximumWidth(40);
    bindTextField(main_.ieFastSize, size, true);
    sizeRow->addWidget(size);
    sizeRow->addWidget(new QLabel("MB", read));
    sizeRow->addStretch(1);
    readLayout->addLayout(sizeRow);
    addBox(main_.cbCountFr, "cbCountFr");
    addBox(main_.cbDetails, "cbDetails");
    addBox(main_.cbAutoRead, "cbAutoRead");
    addBox(main_.cbRBAdvanced, "cbRBAdvanced");
    addBox(main_.cbLpcmWav, "cbLpcmWav");
    readLayout->addStretch(1);
    layout->addWidget(read, 1);

    auto* automatic = new QGroupBox(page);
    auto* autoLayout = new QVBoxLayout(automatic);
    for (auto [model, name] :
         {std::pair{&main_.rbNoAuto, "rbNoAuto"}, std::pair{&main_.rbAutoDemux, "rbAutoDemux"},
          std::pair{&main_.rbAutoRebuild, "rbAutoRebuild"}}) {
        auto* radio = new QRadioButton(automatic);
        radio->setObjectName(name);
        bindCheckBox(*model, radio);
        autoLayout->addWidget(radio);
    }
    // Its caption is longer than the column is wide at the smallest window: it wraps.
    auto* makeMkvRow = new QHBoxLayout;
    auto* makeMkv = new QCheckBox(automatic);
    makeMkv->setObjectName("cbMakeMkv");
    auto* makeMkvCaption = new QLabel(automatic);
    makeMkvCaption->setObjectName("cbMakeMkvCaption");
    bindWrappedCheckBox(main_.cbMakeMkv, makeMkv, makeMkvCaption);
    makeMkvRow->addWidget(makeMkv, 0, Qt::AlignTop);
    makeMkvRow->addWidget(makeMkvCaption, 1);
    autoLayout->addLayout(makeMkvRow);
    autoLayout->addStretch(1);
    layout->addWidget(automatic, 1);
    return page;
}

namespace {
// The README beside the installed program, else the one of the source tree it was built from.
QUrl readmeUrl() {
    const QString installed = QStringLiteral(TESSARY_INSTALLED_README);
    return QUrl::fromLocalFile(
        QFileInfo::exists(installed) ? installed : QStringLiteral(TESSARY_SOURCE_README));
}
} // namespace

QWidget* MainWindow::buildAboutPage() {
    auto* about = new QTextBrowser(this);
    about->setObjectName("mAbout");
    about->setOpenLinks(false);
    connect(about, &QTextBrowser::anchorClicked, this,
            [](const QUrl& url) { QDesktopServices::openUrl(url); });
    const QString changes =
        "0.3  Matroska: the demuxed streams in one MKV with the playlist's names, languages "
        "and chapters (mkvmerge); LPCM as WAV.<br>"
        "     The command line's JSON gives every detail as a value; help, completion, manual "
        "page; the Debian package.<br>"
        "0.2  Demux: every chosen stream to a file of its own; subpictures as SP records.<br>"
        "     Rebuild: a new EVO with only the chosen streams, renumbered, advanced packs on "
        "request; Auto Rebuild.<br>"
        "     Playlist: the source's title from VPLST000.XPL, its streams and chapters; Write "
        "chapters.<br>"
        "0.1  Read: stream discovery, navigation and copy-control report, frame counting; the "
        "command-line program and the desktop window.";
    about->setHtml(QString("<h3>Tessary %1</h3>"
                           "<p>Takes HD DVD discs apart: reports the streams of EVO files (and "
                           "DVD VOB/AOB files), extracts them and rebuilds EVOs with the streams "
                           "you choose.</p>"
                           "<p>Licence: MIT. Copyright (c) 2026 Tessary developers.<br>"
                           "How to use it, the command line and every option: "
                           "<a href=\"%2\">README</a></p>"
                           "<p><b>Changes</b></p><p style=\"white-space: pre-wrap\">%3</p>")
                       .arg(TESSARY_VERSION, readmeUrl().toString(), changes));
    return about;
}

void MainWindow::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusBar");
    for (int panel = 0; panel < 2; ++panel) {
        panels_[panel] = new QLabel(bar);
        panels_[panel]->setObjectName(QString("StatusPanel%1").arg(panel));
        bar->addWidget(panels_[panel]);
    }
    progress_ = new QProgressBar(bar);
    progress_->setObjectName("ProgressBar");
    progress_->setRange(0, 1000);
    progress_->setMaximumWidth(160);
    progress_->setTextVisible(false);
    progress_->setVisible(false);
    bar->addPermanentWidget(progress_);

    auto show = [this, bar](int panel) {
        QLabel* label = panels_[panel];
        const QString text = qs(main_.statusBar.panelText(panel));
        label->setText(text);
        // The panel fits its text with a small margin.
        label->setFixedWidth(label->fontMetrics().horizontalAdvance(text + "a"));
        bar->setToolTip(qs(main_.statusBar.hint()));
        label->repaint();
    };
    show(0);
    show(1);
    main_.statusBar.changed.connect(show);
    // The progress bar shows while a pass runs, that is while Cancel is available. Its own
    // hidden flag is what counts: a pass can end while the window is closed.
    main_.bCancel.changed.connect([this] {
        const bool running = main_.bCancel.enabled();
        if (running == progress_->isHidden()) {
            progress_->setValue(0);
            progress_->setVisible(running);
        }
    });
    main_.progressChanged.connect([this](uint64_t position, uint64_t size) {
        progress_->setValue(size > 0 ? static_cast<int>(position * 1000 / size) : 0);
    });
}

int MainWindow::logoLeft() const {
    return bottom_->logo->x() + bottom_->x();
}

void MainWindow::placeLogo() {
    // The logo's left edge stays at half the outer width minus 63 (window coordinates).
    const int outerWidth = frameGeometry().width();
    bottom_->setLogoLeft(outerWidth / 2 - 63 - bottom_->x());
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    placeLogo();
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    placeLogo();
    if (shownOnce_) return;
    shownOnce_ = true;
    // Start-up runs once the window is on screen, from the event loop.
    QTimer::singleShot(0, this, [this] {
        std::vector<std::string> arguments;
        for (const QString& argument : arguments_)
            arguments.push_back(argument.toStdString());
        main_.FormActivate(arguments);
    });
}

// The placement is the window's own area, without the frame, which the window system adds
// and which is not known before the window is shown: restored as it was saved, the window
// neither grows by the frame nor climbs by its title bar at each start.
void MainWindow::applyPlacement() {
    const WindowPlacement& p = main_.placement;
    const bool sized = p.width > 0 && p.height > 0;
    const QRect area(p.left, p.top, sized ? std::max(p.width, minimumWidth()) : kFirstWidth,
                     sized ? std::max(p.height, minimumHeight()) : kFirstHeight);
    setGeometry(onVisibleScreen(area, !sized));
    if (p.state == 2)
        setWindowState(windowState() | Qt::WindowMaximized);
    else if (p.state == 1)
        setWindowState(windowState() | Qt::WindowMinimized);
    applyTreeWidth();
}

// The splitter only has its real width once its tab is shown: until then the width waits.
// After a playlist is read the tree takes the width of its entries (up to half the splitter),
// else the width the user left it at.
void MainWindow::applyTreeWidth() {
    treeWidthPending_ = !splitter_->isVisible();
    if (treeWidthPending_) return;
    if (fitTreeToContent_) {
        fitTreeToContent_ = false;
        tree_->resizeColumnToContents(0);
        const int content = tree_->columnWidth(0) + 2 * tree_->frameWidth() +
                            tree_->verticalScrollBar()->sizeHint().width();
        main_.treeWidth = std::clamp(content, tree_->minimumWidth(),
                                     std::max(tree_->minimumWidth(), splitter_->width() / 2));
    }
    const int rest = splitter_->width() - splitter_->handleWidth() - main_.treeWidth;
    splitter_->setSizes({main_.treeWidth, std::max(50, rest)});
}

void MainWindow::takePlacement() {
    WindowPlacement& p = main_.placement;
    p.state = isMaximized() ? 2 : isMinimized() ? 1 : 0;
    if (p.state == 0) {
        const QRect area = geometry();
        p.left = area.x();
        p.top = area.y();
        p.width = area.width();
        p.height = area.height();
    }
    if (!treeWidthPending_) main_.treeWidth = tree_->width();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!main_.FormCloseQuery()) {
        event->ignore();
        return;
    }
    takePlacement();
    main_.FormClose();
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() && !main_.passRunning()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    dropUrls(event->mimeData()->urls());
    event->acceptProposedAction();
}

void MainWindow::dropUrls(const QList<QUrl>& urls) {
    std::vector<std::string> paths;
    for (const QUrl& url : urls)
        if (url.isLocalFile())
            paths.push_back(QDir::toNativeSeparators(url.toLocalFile()).toStdString());
    main_.WMDropFiles(paths);
}

} // namespace tessary::gui
