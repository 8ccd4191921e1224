#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "playlist/PlaylistReader.h"

namespace tessary {

class Reporter;

// Whether `line` holds `word`, the line compared in ASCII upper case. The word is given in
// upper case and begins with "<", which a tag line holds at its start and seldom elsewhere.
bool containsUpper(std::string_view line, std::string_view word);

// The playlist-wide values the tag lines give as they are scanned. Each has a target of its
// own that an attribute missing from a later line leaves as it was.
class LineChecks {
public:
    explicit LineChecks(MediaAttributes& attributes) : attributes_(attributes) {}

    void check(std::string_view line);

    std::string playlistName, timeBase, tickBase;

private:
    static constexpr std::size_t kShortestWord = 8; // "Playlist", "TitleSet"
    struct Item {
        std::string index, codec;
    };
    static int item(std::string_view line, Item& targets);

    MediaAttributes& attributes_;
    Item video_, audio_, subpicture_;
    std::string audioChannels_;
};

// The number of the title whose tag is `line`: its titleNumber when that is a positive
// number, else `ordinal`, its place among the playlist's titles.
int titleNumberOf(std::string_view line, int ordinal);

// Walks the title's lines as they come: its names, clips, streams and chapters. Its first
// title tag gives the name and duration; of its chapter entries the first kMaxChapters are
// read, and one whose start is no time of the title stays in the tree as the playlist writes
// it but is left out of the chapters, with a warning.
class TitleWalk {
public:
    TitleWalk(const MediaAttributes& attributes, const LineChecks& values, int ordinal,
              Reporter& out, PlaylistRead& result);

    void line(std::string_view text);
    void finish();

private:
    static constexpr std::size_t kInfo = 0, kChapter = 4;

    void node(std::size_t top, std::string text);
    void name(std::string_view text);
    bool declare(StreamKind kind, int n);
    void numbered(StreamKind kind, std::string_view text, const std::array<std::string, 9>& table);
    void stream(StreamKind kind, int n, std::string shown, std::string_view line);
    void chapter(std::string_view text);

    const MediaAttributes& attributes_;
    const LineChecks& values_;
    Reporter& out_;
    PlaylistRead& result_;
    int frameRate_;
    int ordinal_;
    bool named_ = false;
    std::size_t chapterEntries_ = 0;
    uint64_t chaptersLeftOut_ = 0;
    std::array<bool, kStreamSlotCount> marked_{};
};

} // namespace tessary
