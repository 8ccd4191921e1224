#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
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

// What a read gives: every tag line (narrowed to the source's title when it was found), the
// tree and the declared streams of that title, and its chapters.
struct PlaylistRead {
    std::vector<std::string> tagLines;
    bool titleFound = false;
    std::vector<TreeNode> tree;
    std::vector<DeclaredStream> streams;
    std::vector<Chapter> chapters;
};

// Reads the playlist `path` for the title that plays `sourceBase` (the source's file name
// without extension, which the playlist names in its clips). Logs "Open NAME", "Filesize: N
// bytes" and one "... found!" line per declared stream; status panel 1 shows the bytes read.
// Fills `result` as it goes, so that a read ended by an error leaves what it got. Raises
// FileError when the file cannot be opened or read and ConversionError when an attribute
// index or a chapter's frame digits are no integer.
void readPlaylist(const std::string& path, const std::string& playlistName,
                  const std::string& sourceBase, MediaAttributes& attributes, Reporter& out,
                  PlaylistRead& result);

// The same over a playlist held in memory, without the file's log lines and status: the tag
// lines of `bytes`, then the title's tree, streams and chapters. Raises ConversionError as
// readPlaylist does.
void readPlaylistBytes(std::span<const uint8_t> bytes, const std::string& sourceBase,
                       MediaAttributes& attributes, Reporter& out, PlaylistRead& result);

// The chapter start "hh:mm:ss:ff" as "hh:mm:ss.mmm", the frames counted at `frameRate`.
std::string chapterTime(const std::string& begin, int frameRate);
// The same start in milliseconds; -1 when its hours, minutes or seconds are no numbers.
int64_t chapterMs(const std::string& begin, int frameRate);

// The frame rate of a title set's timeBase ("50fps" gives 50), 60 when it reads otherwise.
int frameRateOf(const std::string& timeBase);

} // namespace tessary
