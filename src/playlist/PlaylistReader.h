#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "playlist/PlaylistValues.h"
#include "streams/StreamSlots.h"

namespace tessary {

class Reporter;

// The media attribute texts of the playlist's attribute items by index 1 to 8 (codec; for
// audio also ".6ch" and the like). Kept from one read to the next: an entry a later playlist
// does not set keeps its text.
struct MediaAttributes {
    std::array<std::string, 9> video, audio, subpicture;
};

// A stream that the title declares: its kind, its number within the kind, the text the tree,
// the log and its box show ("AC-3.6ch.s00.English"), its description ("English") and its
// language, the part of its langcode before the colon ("en" of "en:00"; empty when none).
struct DeclaredStream {
    StreamKind kind;
    int number;
    std::string text;
    std::string description;
    std::string language;
    bool operator==(const DeclaredStream&) const = default;
};

// What a read holds at most: the tag lines it keeps of the source's title, or of the whole file
// when no title plays the source (the first ones, up to either bound), and the chapters it takes
// from the title.
inline constexpr std::size_t kMaxTagLines = 20000;
inline constexpr std::size_t kMaxTagLineBytes = 2 << 20;
inline constexpr std::size_t kMaxChapters = 999;
// Clips of a title beyond these are left out of its list of clips.
inline constexpr std::size_t kMaxClips = 64;

// The title a read walked: its number (its titleNumber, else its place among the playlist's
// titles), id, display name, its duration as the playlist writes it and in milliseconds (none
// when that is no time of the title), and the `src` of each of its clips, as written.
struct TitleEntry {
    int number = 0;
    std::string id;
    std::string name;
    std::string duration;
    std::optional<int64_t> durationMs;
    std::vector<std::string> clips;
    // Chapters of the title that a list of every title keeps no more of (see kMaxListedChapters).
    std::size_t chaptersDropped = 0;
    bool operator==(const TitleEntry&) const = default;
};

// What a read gives: the tag lines of the source's title when it was found, else of the whole
// file; the tree and the declared streams of that title, its chapters, and the warnings of the
// chapters left out.
struct PlaylistRead {
    std::vector<std::string> tagLines;
    bool titleFound = false;
    TitleEntry title;
    std::vector<TreeNode> tree;
    std::vector<DeclaredStream> streams;
    std::vector<Chapter> chapters;
    std::vector<std::string> warnings;
};

// Reads the playlist `path` for the title that plays `sourceBase` (the source's file name
// without extension, which the playlist names in its clips), or, when `titleNumber` is not 0,
// for the title of that number. Logs "Open NAME", "Filesize: N
// bytes" and one "... found!" line per declared stream, and how many tag lines it left out
// when it had more than it keeps; status panel 1 shows the bytes read. Of the title's chapter
// entries it takes the first kMaxChapters; one whose start is no time of the title is left
// out, with a warning. A read ended by an error leaves in `result` what it got. Raises
// FileError when the file cannot be opened or read and ConversionError when an attribute
// index is no integer.
void readPlaylist(const std::string& path, const std::string& playlistName,
                  const std::string& sourceBase, MediaAttributes& attributes, Reporter& out,
                  PlaylistRead& result, int titleNumber = 0);

// The same over a playlist held in memory, without the file's log lines and status: the tag
// lines of `bytes`, then the title's tree, streams and chapters. Raises ConversionError as
// readPlaylist does.
void readPlaylistBytes(std::span<const uint8_t> bytes, const std::string& sourceBase,
                       MediaAttributes& attributes, Reporter& out, PlaylistRead& result,
                       int titleNumber = 0);

// The chapter start "hh:mm:ss:ff" at `frameRate` (a name left empty): its milliseconds and its
// time "hh:mm:ss.mmm". nullopt unless hours, minutes and seconds are two digits each, the
// minutes and seconds below 60, and the frames digits (any number of them) below the rate.
std::optional<Chapter> chapterStart(std::string_view begin, int frameRate);

// The frame rate of a title set's timeBase ("50fps" gives 50), 60 when it reads otherwise.
int frameRateOf(const std::string& timeBase);

} // namespace tessary
