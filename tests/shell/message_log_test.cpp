#include <gtest/gtest.h>

#include <string>

#include "shell/MessageLog.h"

namespace tessary {
namespace {

using Runs = std::vector<tessary::Run>;

RunAttributes colour(uint8_t r, uint8_t g, uint8_t b) {
    RunAttributes a;
    a.colour = Rgb{r, g, b};
    return a;
}
RunAttributes styled(bool bold, bool italic, bool underline, int pointSize = 8) {
    RunAttributes a;
    a.bold = bold;
    a.italic = italic;
    a.underline = underline;
    a.pointSize = pointSize;
    return a;
}
const RunAttributes kPlain{};
const RunAttributes kBold = styled(true, false, false);
const RunAttributes kBlue = colour(0, 0, 255);
const RunAttributes kRed = colour(255, 0, 0);

RunAttributes attributesOfTag(const std::string& tag) {
    const LogLine line = renderMarkup("[" + tag + "]t[/" + tag + "]");
    return line.runs.size() == 1 ? line.runs[0].attributes : styled(false, false, false, -1);
}

TEST(RenderMarkup, ReportLinesOfTheProgram) {
    EXPECT_EQ(renderMarkup("Size = [bl]1920[/bl]x[bl]1080[/bl]").runs,
              (Runs{{"Size = ", kPlain}, {"1920", kBlue}, {"x", kPlain}, {"1080", kBlue}}));
    EXPECT_EQ(renderMarkup("First PTS = [re]0:00:00.500[/re] ([re]+33[/re]ms)").runs,
              (Runs{{"First PTS = ", kPlain},
                    {"0:00:00.500", kRed},
                    {" (", kPlain},
                    {"+33", kRed},
                    {"ms)", kPlain}}));
    // A bracket group inside a file name never shows.
    EXPECT_EQ(renderMarkup("Opening file [b]/discs/Movie[1]/F.EVO[/b] now").runs,
              (Runs{{"Opening file ", kPlain}, {"/discs/Movie/F.EVO", kBold}, {" now", kPlain}}));
}

TEST(RenderMarkup, EmptyAndTagsOnlyMessagesGiveEmptyLines) {
    EXPECT_TRUE(renderMarkup("").runs.empty());
    EXPECT_TRUE(renderMarkup("[b][/b][bl][/bl][x][/x]").runs.empty());
}

TEST(RenderMarkup, Vocabulary) {
    EXPECT_EQ(attributesOfTag("b"), kBold);
    EXPECT_EQ(attributesOfTag("i"), styled(false, true, false));
    EXPECT_EQ(attributesOfTag("u"), styled(false, false, true));
    EXPECT_EQ(attributesOfTag("s1"), styled(false, false, false, 10));
    EXPECT_EQ(attributesOfTag("s2"), styled(false, false, false, 12));
    // Compared case-sensitively; any other name, also an empty one, is the default.
    for (const char* other : {"x", "B", "BL", ""})
        EXPECT_EQ(attributesOfTag(other), kPlain);
    // Unknown-tag text merges with its plain neighbours.
    EXPECT_EQ(renderMarkup("a [x]b[/x] c").runs, (Runs{{"a b c", kPlain}}));
}

TEST(RenderMarkup, ColourIsReadAs0x00BBGGRR) {
    EXPECT_EQ(attributesOfTag("c:FF0000"), kBlue);
    EXPECT_EQ(attributesOfTag("c:0000ff"), kRed);
    EXPECT_EQ(attributesOfTag("c:#12-34 56"), colour(0x56, 0x34, 0x12)); // non-digits skipped
    EXPECT_EQ(attributesOfTag("c:ABCDEF0012345678"), colour(0x78, 0x56, 0x34)); // last eight
    EXPECT_EQ(attributesOfTag("c:"), colour(0, 0, 0));
}

TEST(RenderMarkup, LongTextIsKeptWhole) {
    const std::string text(1000, 'x');
    EXPECT_EQ(renderMarkup(text).runs, (Runs{{text, kPlain}}));
    EXPECT_EQ(renderMarkup("[b]n[/b]" + text + "[bl]7[/bl]" + text).runs,
              (Runs{{"n", kBold}, {text, kPlain}, {"7", kBlue}, {text, kPlain}}));
}

TEST(RenderMarkup, MalformedMarkup) {
    // '[' without a later ']' and ']' before the first '[' stay in the text.
    EXPECT_EQ(renderMarkup("[bl]5[/bl] [x").runs, (Runs{{"5", kBlue}, {" [x", kPlain}}));
    EXPECT_EQ(renderMarkup("x] y [b]z[/b]").runs, (Runs{{"x] y ", kPlain}, {"z", kBold}}));
    // A tag without its closing tag changes nothing, and later tags still apply.
    EXPECT_EQ(renderMarkup("a [b]bold? [bl]9[/bl] end").runs,
              (Runs{{"a bold? ", kPlain}, {"9", kBlue}, {" end", kPlain}}));
    EXPECT_EQ(renderMarkup("a[/b]b").runs, (Runs{{"ab", kPlain}}));
}

TEST(MessageLog, AppendAndClearNotifyAfterTheChange) {
    MessageLog log;
    std::vector<std::size_t> appended;
    log.appended.connect([&](std::size_t index) {
        EXPECT_LT(index, log.lines().size());
        appended.push_back(index);
    });
    bool cleared = false;
    log.cleared.connect([&] { cleared = log.lines().empty(); });

    log.append("[b]Done.[/b]");
    log.append("");
    ASSERT_EQ(log.lines().size(), 2u);
    EXPECT_EQ(log.lines()[0].plainText(), "Done.");
    log.clear();
    log.append("x");
    EXPECT_TRUE(cleared);
    EXPECT_EQ(appended, (std::vector<std::size_t>{0, 1, 0}));
}

} // namespace
} // namespace tessary
