#pragma once

#include <nlohmann/json.hpp>

namespace tessary {
class TfMain;
}

namespace tessary::cli {

// The outcome of a Read as one JSON document (docs/tessary-cli.schema.json describes it): the
// source, the streams found (one per enabled stream box, with their codec, identifiers, first
// PTS and the named values of their details), the log lines as plain text and as runs, the
// navigation data of each file, the frame counts and the durations.
nlohmann::ordered_json readReport(TfMain& main);

// The outcome of a Read followed by a Demux: the Read's document (its log holding the lines
// of both) and the files written, in the order they were created, each with its stream key,
// its path and its size on disk.
nlohmann::ordered_json demuxReport(TfMain& main);

// The outcome of a Read followed by a Rebuild: the Read's document (its log holding the lines
// of both) and the rebuilt file, with its path and its size on disk.
nlohmann::ordered_json rebuildReport(TfMain& main);

// Whether the last Read XPL found the title that plays the source: the tree's "Info" node
// then holds the title's names and time bases.
bool titleFound(const TfMain& main);

// The outcome of Read XPL (and Write chapters): the playlist, the source, whether its title
// was found, the stream boxes that the title declares (with their keys, descriptions and
// languages), every stream it declares, the log lines, the tree as nested {"text",
// "children"}, the chapter list and, once it is written, the chapters file with its path and
// its size on disk.
nlohmann::ordered_json playlistReport(TfMain& main);

} // namespace tessary::cli
