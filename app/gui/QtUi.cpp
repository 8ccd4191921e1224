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

void QtUi::showWarning(const std::string& message) {
    QMessageBox::warning(window_, QCoreApplication::applicationName(), qs(message));
}

void QtUi::beep() {
    QApplication::beep();
}

namespace {
// "Name (*.a *.b)" for each filter of the request.
QStringList nameFilters(const Ui::FileRequest& request) {
    QStringList filters;
    for (const auto& filter : request.filters) {
        QString patterns = qs(filter.patterns);
        patterns.replace(";", " ");
        filters << qs(filter.name) + " (" + patterns.simplified() + ")";
    }
    return filters;
}

// The extension of a filter's first pattern: "html" for "HTML files (*.html *.htm)".
QString firstExtension(const QString& nameFilter) {
    const qsizetype dot = nameFilter.indexOf("*.");
    if (dot < 0) return {};
    const QString rest = nameFilter.mid(dot + 2);
    qsizetype end = 0;
    while (end < rest.size() && rest.at(end).isLetterOrNumber())
        ++end;
    return rest.left(end);
}

// The dialog's title and folder are given to its constructor: an empty title there means the
// platform's default.
void setUp(QFileDialog& dialog, const Ui::FileRequest& request) {
    dialog.setNameFilters(nameFilters(request));
    dialog.setOption(QFileDialog::DontResolveSymlinks);
    if (!request.presetName.empty()) dialog.selectFile(qs(request.presetName));
}

QString chosenFile(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return QDir::toNativeSeparators(dialog.selectedFiles().front());
}
} // namespace

std::optional<std::string> QtUi::openFile(const OpenFileRequest& request) {
    QFileDialog dialog(window_, qs(request.title), qs(request.startFolder));
    setUp(dialog, request);
    dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const QString file = chosenFile(dialog);
    if (file.isEmpty()) return std::nullopt;
    return file.toStdString();
}

std::optional<Ui::SaveFileChoice> QtUi::saveFile(const FileRequest& request) {
    QFileDialog dialog(window_, qs(request.title), qs(request.startFolder));
    setUp(dialog, request);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // A name typed without an extension takes the filter's, before the replace question.
    auto takeExtension = [&dialog](const QString& filter) {
        dialog.setDefaultSuffix(firstExtension(filter));
    };
    takeExtension(dialog.selectedNameFilter());
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, takeExtension);
    const QString file = chosenFile(dialog);
    if (file.isEmpty()) return std::nullopt;
    const qsizetype filter = dialog.nameFilters().indexOf(dialog.selectedNameFilter());
    return SaveFileChoice{file.toStdString(),
                          static_cast<std::size_t>(std::max<qsizetype>(filter, 0))};
}

std::optional<std::string> QtUi::chooseFolder(const std::string& caption,
                                              const std::string& start) {
    const QString folder = QFileDialog::getExistingDirectory(window_, qs(caption), qs(start),
                                                             QFileDialog::ShowDirsOnly);
    if (folder.isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(folder).toStdString();
}

} // namespace tessary::gui
