#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "playlist/PlaylistReader.h"

namespace tessary {

class Reporter;

// At most this many titles are listed (a disc numbers its titles 1 to 999), and chapters beyond
// kMaxListedChapters in all are counted but not kept, so that a list of every title takes no
// more memory than a few titles' reads (a title keeps up to kMaxChapters).
inline constexpr std::size_t kMaxTitles = 999;
inline constexpr std::size_t kMaxListedChapters = 10 * kMaxChapters;

// Every title of the playlist, in the order it writes them: the walk of each (number, names,
// duration, clips, declared streams, chapters and their warnings; no tag lines and no tree). Logs
// "Open NAME" and "Filesize: N bytes". Raises FileError when the file cannot be opened or
// read and ConversionError when an attribute index is no integer.
std::vector<PlaylistRead> readPlaylistTitles(const std::string& path,
                                             const std::string& playlistName, Reporter& out);

// The same over a playlist held in memory, without the log lines.
std::vector<PlaylistRead> readPlaylistTitlesBytes(std::span<const uint8_t> bytes);

} // namespace tessary
