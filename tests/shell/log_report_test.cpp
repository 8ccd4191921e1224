// The log as a report file (plain text and HTML) and the Save report command that writes it.
#include <gtest/gtest.h>

#include <string>

#include "Fakes.h"
#include "MemoryOutputs.h"
#include "TempDir.h"
#include "shell/LogReport.h"
#include "shell/Main.h"

namespace tessary::test {
namespace {

// One line of each kind the log shows: plain, bold, the measured values' blue and the time
// stamps' red, the other styles and sizes, a colour of its own, an empty line, and text that
// HTML must escape.
MessageLog sampleLog() {
    MessageLog log;
    log.append("Opening file [b]F<1>.EVO[/b]");
    log.append("   Size = [bl]1920[/bl]x[bl]1080[/bl], PTS = [re]0:00:00.500[/re]");
    log.append("[i]slanted[/i] [u]underlined[/u] [s2]big[/s2] [c:00FF80]green[/c:00FF80]");
    log.append("");
    log.append("\"A & B\"");
    return log;
}

TEST(LogReport, PlainTextAndHtmlOfEveryKindOfRun) {
    const MessageLog log = sampleLog();
    EXPECT_EQ(logReportText(log.lines()), "Opening file F<1>.EVO\n"
                                          "   Size = 1920x1080, PTS = 0:00:00.500\n"
                                          "slanted underlined big green\n"
                                          "\n"
                                          "\"A & B\"\n");
    EXPECT_EQ(logReportHtml(log.lines(), "F<1>.EVO - Tessary"),
              "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
              "<title>F&lt;1&gt;.EVO - Tessary</title>\n</head>\n<body>\n"
              "<pre style=\"font-family: Tahoma, sans-serif; font-size: 8pt\">\n"
              "Opening file <span style=\"font-weight: bold\">F&lt;1&gt;.EVO</span>\n"
              "   Size = <span style=\"color: #0000ff\">1920</span>x"
              "<span style=\"color: #0000ff\">1080</span>, PTS = "
              "<span style=\"color: #ff0000\">0:00:00.500</span>\n"
              "<span style=\"font-style: italic\">slanted</span> "
              "<span style=\"text-decoration: underline\">underlined</span> "
              "<span style=\"font-size: 12pt\">big</span> "
              "<span style=\"color: #80ff00\">green</span>\n"
              "\n"
              "&quot;A &amp; B&quot;\n"
              "</pre>\n</body>\n</html>\n");
    EXPECT_EQ(logReportText({}), "");
}

class SaveReport : public ::testing::Test {
protected:
    SaveReport() {
        main.setOutputFiles(&outputs);
        main.reMessage.append("Opening file [b]MOVIE.EVO[/b]");
        main.state.outputBaseName = "MOVIE";
        main.eWorkdir.setText("/out");
    }
    std::string savedAs(const std::string& path, std::size_t filter) {
        ui.saveAnswer = Ui::SaveFileChoice{path, filter};
        main.miSaveReportClick();
        EXPECT_EQ(outputs.order, std::vector<std::string>{path});
        EXPECT_TRUE(ui.errors.empty());
        const auto& bytes = outputs.bytes(path);
        return {bytes.begin(), bytes.end()};
    }

    FakeUi ui;
    FakeClock clock;
    MemoryOutputs outputs;
    TfMain main{ui, clock};
};

TEST_F(SaveReport, TheNamesExtensionOrElseTheFilterChoosesTextOrHtml) {
    const std::string text = logReportText(main.reMessage.lines());
    const std::string html = logReportHtml(main.reMessage.lines(), main.title());
    struct Row {
        const char* path;
        std::size_t filter;
        const std::string& expected;
    };
    for (const Row& row :
         {Row{"/out/a.txt", 1, text}, Row{"/out/a.HTML", 0, html}, Row{"/out/a.htm", 0, html},
          Row{"/out/a.log", 0, text}, Row{"/out/a.log", 1, html}, Row{"/out/a", 1, html}}) {
        outputs.order.clear();
        EXPECT_EQ(savedAs(row.path, row.filter), row.expected) << row.path << " " << row.filter;
    }
    ASSERT_EQ(ui.saveRequests.size(), 6u);
    const Ui::FileRequest& request = ui.saveRequests.front();
    EXPECT_EQ(request.title, "Save report");
    EXPECT_EQ(request.startFolder, "/out");
    EXPECT_EQ(request.presetName, "MOVIE.report.txt");
    ASSERT_EQ(request.filters.size(), 2u);
    EXPECT_EQ(request.filters[0].patterns, "*.txt");
    EXPECT_EQ(request.filters[1].patterns, "*.html; *.htm");
}

TEST_F(SaveReport, CancelWritesNothingAndAFileBeingReadOrAFailedCreateIsAnError) {
    main.miSaveReportClick(); // the dialog is cancelled
    EXPECT_TRUE(outputs.order.empty());
    EXPECT_TRUE(ui.errors.empty());

    TempDir dir;
    const std::string source = dir.writeFile("MOVIE.EVO", "packs").string();
    main.eEVOfile.setText(source);
    ui.saveAnswer = Ui::SaveFileChoice{source, 0};
    main.miSaveReportClick();
    EXPECT_TRUE(outputs.order.empty());
    EXPECT_EQ(ui.errors, std::vector<std::string>{"Cannot create file \"" + source +
                                                  "\". It is a file being read"});

    outputs.failCreate = "/out/a.txt";
    ui.saveAnswer = Ui::SaveFileChoice{"/out/a.txt", 0};
    main.miSaveReportClick();
    ASSERT_EQ(ui.errors.size(), 2u);
    EXPECT_EQ(ui.errors[1], "Cannot create file \"/out/a.txt\". Denied");
}

} // namespace
} // namespace tessary::test
