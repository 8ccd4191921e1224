// Save report: the message log written to a file the user chooses, as plain text or HTML.
#include <exception>

#include "jobs/FileNames.h"
#include "ops/OutputNames.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "shell/LogReport.h"
#include "shell/Main.h"

namespace tessary {

namespace {
constexpr std::size_t kHtmlFilter = 1;

bool htmlReport(const Ui::SaveFileChoice& choice) {
    const std::string extension = upperCase(extensionPart(choice.path));
    if (extension == ".HTML" || extension == ".HTM") return true;
    if (extension == ".TXT") return false;
    return choice.filter == kHtmlFilter;
}
} // namespace

void TfMain::miSaveReportClick() {
    Ui::FileRequest request;
    request.title = "Save report";
    request.filters = {{"Text files", "*.txt"}, {"HTML files", "*.html; *.htm"}};
    request.startFolder = eWorkdir.text().empty() ? EVOdir : eWorkdir.text();
    const std::string base = state.outputBaseName.empty() ? "Tessary" : state.outputBaseName;
    request.presetName = base + ".report.txt";
    const auto choice = ui_.saveFile(request);
    if (!choice) return;
    try {
        writeReport(*choice);
    } catch (const std::exception& error) {
        ui_.showError(error.what());
    }
}

void TfMain::writeReport(const Ui::SaveFileChoice& choice) {
    refuseInputAsOutput(choice.path, {eEVOfile.text(), getsecond(eEVOfile.text()), eXPLfile.text()},
                        "It is a file being read");
    const std::string report = htmlReport(choice) ? logReportHtml(reMessage.lines(), title())
                                                  : logReportText(reMessage.lines());
    writeWholeFile(*outputFiles_, choice.path, report);
}

} // namespace tessary
