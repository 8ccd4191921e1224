#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "playlist/TagScanner.h"

namespace tessary {
namespace {

// The lines of `text` fed to one scanner in pieces of `piece` bytes (the whole at once for 0).
std::vector<std::string> scanLines(const std::string& text, std::size_t piece = 0) {
    std::vector<std::string> lines;
    TagScanner scanner([&](std::string&& line) { lines.push_back(std::move(line)); });
    const auto* data = reinterpret_cast<const uint8_t*>(text.data());
    if (piece == 0) piece = text.size();
    for (std::size_t at = 0; at < text.size(); at += piece)
        scanner.scan(data + at, std::min(piece, text.size() - at));
    return lines;
}

const std::string kPlaylist = "<?xml version=\"1.0\"?>\n<Playlist a=\"x/y\">\n  <!-- note -->\n"
                              "  <Title\r\n\tid=\"T\">\n    <Chapter b=\"1\"/> a > b\n"
                              "  </Title>\n</Playlist>\n";

TEST(TagScannerBlocks, LinesOfAPlaylist) {
    const std::vector<std::string> expected = {"<?xml version=\"1.0\"?>",
                                               "<Playlist a=\"x/y\">",
                                               "  <!-- note -->",
                                               "  <Title id=\"T\">",
                                               "    <Chapter b=\"1\"/>",
                                               "    ",
                                               "  </Title>",
                                               "</Playlist>"};
    EXPECT_EQ(scanLines(kPlaylist), expected);
}

TEST(TagScannerBlocks, EveryBlockSizeGivesTheSameLines) {
    const std::vector<std::string> whole = scanLines(kPlaylist);
    for (std::size_t piece = 1; piece < kPlaylist.size(); ++piece)
        EXPECT_EQ(scanLines(kPlaylist, piece), whole) << "blocks of " << piece << " bytes";
}

TEST(TagScannerBlocks, AnOverlongTagIsCutAcrossBlocks) {
    const std::string text = "<a " + std::string(TagScanner::kMaxLine + 5000, 'y') + "/><b>";
    for (std::size_t piece : {std::size_t{0}, std::size_t{1000}, std::size_t{4099}}) {
        const std::vector<std::string> lines = scanLines(text, piece);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0].size(), TagScanner::kMaxLine);
        EXPECT_EQ(lines[1], "<b>");
    }
}

} // namespace
} // namespace tessary
