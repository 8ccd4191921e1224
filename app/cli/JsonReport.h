#pragma once

#include <nlohmann/json.hpp>
#include <vector>

#include "jobs/MatroskaJob.h"
#include "jobs/PlaylistJobs.h"
#include "jobs/ReadJob.h"
#include "jobs/TitlesJob.h"
#include "jobs/WriteJobs.h"
#include "shell/MessageLog.h"

namespace tessary::cli {

// The outcome of a Read as one JSON document (docs/tessary-cli.schema.json describes it): the
// source, the streams found (with their codec, identifiers, first PTS and the named values of
// their details), the log lines as plain text and as runs, the navigation data of each file,
// the frame counts and the durations. `summary` is the run state as the command left it.
nlohmann::ordered_json readReport(const ReadResult& read, const RunSummary& summary,
                                  const MessageLog& log);

// The Read's document (its log holding the lines of both) and the files written, in the order
// they were created, each with its stream key, its path and its size on disk.
nlohmann::ordered_json demuxReport(const ReadResult& read, const RunSummary& summary,
                                   const MessageLog& log, const std::vector<WrittenFile>& files);

// The Read's document and the rebuilt file (none when no Rebuild ran), with its size on disk.
nlohmann::ordered_json rebuildReport(const ReadResult& read, const RunSummary& summary,
                                     const MessageLog& log, const RebuildResult* rebuild);

// The outcome of Read playlist (and Write chapters): the playlist, the source, whether its
// title was found, the streams that the title gives a box (with their keys, descriptions and
// languages), every stream it declares, the log lines, the tree as nested {"text",
// "children"}, the chapter list and, once it is written, the chapters file with its size.
nlohmann::ordered_json playlistReport(const PlaylistResult& playlist, const MessageLog& log,
                                      const WrittenFile* chapters);

// The outcome of the mkv command: the Demux's document and under "matroska" the file made (or
// to be made), whether it was, the command to make it by hand, its options file, each track
// with its stream key, file, name, language, delay and default duration, the chapters (time
// and name) and the subpicture files kept beside it.
nlohmann::ordered_json mkvReport(const ReadResult& read, const RunSummary& summary,
                                 const MessageLog& log, const MatroskaResult& matroska);

// The titles of a disc: the disc as given, its playlist and EVO folder, and per title its
// number, id, name, duration, the files it plays (whether each is on disk), the streams it
// declares and its chapters; the log lines.
nlohmann::ordered_json titlesReport(const TitlesResult& titles, const MessageLog& log);

// The tree that the playlist's title gives, or the empty tree of its kinds when none was found.
std::vector<TreeNode> playlistTree(const PlaylistResult& playlist);

} // namespace tessary::cli
