#include "QtUi.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace tessary::gui {

namespace {
QString qs(const std::string& text) {
    return QString::fromStdString(text);
}
} // namespace

void QtUi::processMessages() {
    QCoreApplication::processEvents();
}

void QtUi::repaint() {
    if (window_) window_->repaint();
}

bool QtUi::confirm(const std::string& question) {
    return QMessageBox::question(window_, QCoreApplication::applicationName(), qs(question),
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void QtUi::showError(const std::string& message) {
    QMessageBox::critical(window_, QCoreApplication::applicationName(), qs(message));
}

void QtUi::beep() {
    QApplication::beep();
}

std::optional<std::string> QtUi::openFile(const OpenFileRequest& request) {
    QStringList filters;
    for (const auto& filter : request.filters) {
        QString patterns = qs(filter.patterns);
        patterns.replace(";", " ");
        filters << qs(filter.name) + " (" + patterns.simplified() + ")";
    }
    QFileDialog dialog(window_, qs(request.title), qs(request.startFolder));
    dialog.setNameFilters(filters);
    dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::DontResolveSymlinks);
    if (!request.presetName.empty()) dialog.selectFile(qs(request.presetName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().front()).toStdString();
}

std::optional<std::string> QtUi::chooseFolder(const std::string& caption,
                                              const std::string& start) {
    const QString folder = QFileDialog::getExistingDirectory(window_, qs(caption), qs(start),
                                                             QFileDialog::ShowDirsOnly);
    if (folder.isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(folder).toStdString();
}

} // namespace tessary::gui
