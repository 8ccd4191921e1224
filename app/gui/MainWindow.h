#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeWidget>
#include <QUrl>

#include "shell/Main.h"

namespace tessary::gui {

class BottomBar;

// The main window: real widgets showing the window model `TfMain`. Every widget carries the
// object name of its control (bReadEVO, cbAutoClear, eEVOfile...), so tests can find it.
class MainWindow : public QMainWindow {
public:
    explicit MainWindow(TfMain& main, QStringList arguments = {}, QWidget* parent = nullptr);

    TfMain& model() { return main_; }
    // The logo's left edge in client coordinates.
    int logoLeft() const;
    // Files dropped on the window (what a drop event delivers).
    void dropUrls(const QList<QUrl>& urls);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QWidget* buildSourceRows();
    QWidget* buildStatusPage();
    QWidget* buildXplPage();
    QWidget* buildOptionsPage();
    QWidget* buildAboutPage();
    void buildStatusBar();
    void buildMenuBar();
    void applyPlacement();
    void applyTreeWidth();
    void takePlacement();
    void placeLogo();

    TfMain& main_;
    QStringList arguments_;
    bool shownOnce_ = false;
    bool treeWidthPending_ = true;
    bool fitTreeToContent_ = false;
    QWidget* sourceRows_ = nullptr;
    QWidget* options_ = nullptr;
    QWidget* writeRow_ = nullptr;
    QTabWidget* pages_ = nullptr;
    BottomBar* bottom_ = nullptr;
    QLabel* panels_[2] = {nullptr, nullptr};
    QProgressBar* progress_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    QSplitter* splitter_ = nullptr;
};

} // namespace tessary::gui
