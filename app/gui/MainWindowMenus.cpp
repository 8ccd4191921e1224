// The menu bar: each command of the window under its usual name and shortcut. An entry
// presses the window's own button, so it does what the button does and nothing while the
// button is disabled.
#include <QAbstractButton>
#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include "MainWindow.h"

namespace tessary::gui {

namespace {

struct Entry {
    const char* name;  // the action's object name
    const char* text;  // with its mnemonic
    QKeySequence keys; // none: empty
    const char* button;
};

} // namespace

void MainWindow::buildMenuBar() {
    const auto addEntries = [this](QMenu* menu, std::initializer_list<Entry> entries) {
        for (const Entry& entry : entries) {
            auto* action = menu->addAction(entry.text);
            action->setObjectName(entry.name);
            action->setShortcut(entry.keys);
            const QString button = entry.button;
            connect(action, &QAction::triggered, this, [this, button] {
                if (auto* pressed = findChild<QAbstractButton*>(button)) pressed->click();
            });
        }
    };
    QMenu* file = menuBar()->addMenu("&File");
    addEntries(file, {{"aOpenSource", "&Open source...", QKeySequence::Open, "bbEVO"},
                      {"aOpenPlaylist", "Open &playlist...", {}, "bbXPL"}});
    auto* save = file->addAction("&Save report...");
    save->setObjectName("aSaveReport");
    save->setShortcut(QKeySequence::Save);
    connect(save, &QAction::triggered, this, [this] { main_.miSaveReportClick(); });
    file->addSeparator();
    auto* quit = file->addAction("&Quit");
    quit->setObjectName("aQuit");
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, this, &QWidget::close);

    QMenu* run = menuBar()->addMenu("&Run");
    addEntries(run, {{"aRead", "&Read", QKeySequence(Qt::Key_F5), "bReadEVO"},
                     {"aReadXpl", "Read &XPL", {}, "bReadXPL"},
                     {"aDemux", "&Demux", QKeySequence(Qt::CTRL | Qt::Key_D), "bDemux"},
                     {"aRebuild", "Re&build", QKeySequence(Qt::CTRL | Qt::Key_R), "bRebuild"},
                     {"aCancel", "&Cancel", QKeySequence(Qt::Key_Escape), "bCancel"}});

    QMenu* help = menuBar()->addMenu("&Help");
    auto* about = help->addAction("&About");
    about->setObjectName("aAbout");
    about->setShortcut(QKeySequence::HelpContents);
    connect(about, &QAction::triggered, this, [this] { main_.showPage(Page::About); });
}

} // namespace tessary::gui
