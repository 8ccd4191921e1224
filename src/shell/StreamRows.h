#pragma once

#include <optional>
#include <string>
#include <vector>

#include "jobs/ReadJob.h"
#include "platform/Format.h"
#include "playlist/PlaylistReader.h"

namespace tessary {

class TfMain;

// The columns of the stream table, after the tick box that leads each row.
enum class StreamColumn { Key, Kind, Codec, Name, Language, Values, Delay, Frames, Duration };
inline constexpr int kStreamColumns = 9;
const char* streamColumnTitle(StreamColumn column);

// A cell: the text shown and, where the column holds a number, the number it sorts by.
struct StreamCell {
    std::string text;
    std::optional<double> order;
    bool operator==(const StreamCell&) const = default;
};

// One stream the Read found: its slot (the box it stands for), its kind, one cell per column,
// and its details as "name: value" lines.
struct StreamRow {
    int slot = 0;
    StreamKind kind = StreamKind::Video;
    std::vector<StreamCell> cells;
    std::vector<std::string> details;
    const StreamCell& cell(StreamColumn column) const {
        return cells[static_cast<std::size_t>(column)];
    }
};

// The rows of the streams found, in slot order (video, audio, subpicture); the playlist's
// streams give their names and languages. The delay is the first PTS behind the first video
// frame in signed milliseconds.
std::vector<StreamRow> streamRows(const std::vector<FoundStream>& streams,
                                  const std::vector<DeclaredStream>& declared,
                                  const LocaleSettings& locale = {});

// The rows of the window's last Read, with the names of the last playlist read for its source.
std::vector<StreamRow> streamRows(const TfMain& main);

// Ticks (or unticks) the enabled boxes of the rows, of one kind or of every kind.
void tickRows(TfMain& main, const std::vector<StreamRow>& rows, std::optional<StreamKind> kind,
              bool ticked);

} // namespace tessary
