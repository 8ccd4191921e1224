// The menu bar: each command of the window under its usual name and shortcut. An entry
// presses the window's own button, so it does what the button does, and it is enabled when the
// button is (also when a running command locks the button's row).
#include <QAbstractButton>
#include <QAction>
#include <QEvent>
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

// Keeps an entry enabled as its button is.
class FollowEnabled : public QObject {
public:
    FollowEnabled(QAbstractButton* button, QAction* action) : QObject(action), action_(action) {
        action_->setEnabled(button->isEnabled());
        button->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange)
            action_->setEnabled(static_cast<QWidget*>(watched)->isEnabled());
        return QObject::eventFilter(watched, event);
    }

private:
    QAction* action_;
};

} // namespace

void MainWindow::buildMenuBar() {
    const auto addEntries = [this](QMenu* menu, std::initializer_list<Entry> entries) {
        for (const Entry& entry : entries) {
            auto* action = menu->addAction(entry.text);
            action->setObjectName(entry.name);
            action->setShortcut(entry.keys);
            auto* button = findChild<QAbstractButton*>(entry.button);
            if (!button) continue;
            new FollowEnabled(button, action);
            connect(action, &QAction::triggered, button, &QAbstractButton::click);
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
                     {"aMakeMkv", "Make &MKV", QKeySequence(Qt::CTRL | Qt::Key_M), "bMakeMkv"},
                     {"aCancel", "&Cancel", QKeySequence(Qt::Key_Escape), "bCancel"}});

    QMenu* help = menuBar()->addMenu("&Help");
    auto* about = help->addAction("&About");
    about->setObjectName("aAbout");
    about->setShortcut(QKeySequence::HelpContents);
    connect(about, &QAction::triggered, this, [this] { main_.showPage(Page::About); });
}

} // namespace tessary::gui
