#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/Ui.h"

namespace tessary::gui {

// The window toolkit behind the core's Ui port: event processing, dialogs and message boxes.
class QtUi : public Ui {
public:
    void setWindow(QWidget* window) { window_ = window; }

    void processMessages() override;
    void repaint() override;
    bool confirm(const std::string& question) override;
    void showError(const std::string& message) override;
    void showWarning(const std::string& message) override;
    void beep() override;
    std::optional<std::string> openFile(const OpenFileRequest& request) override;
    std::optional<SaveFileChoice> saveFile(const FileRequest& request) override;
    std::optional<std::string> chooseFolder(const std::string& caption,
                                            const std::string& start) override;

private:
    QPointer<QWidget> window_;
};

} // namespace tessary::gui
