#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "jobs/TitlesJob.h"
#include "playlist/PlaylistValues.h"
#include "shell/MessageLog.h"

namespace tessary::cli {

// A log line as the terminal shows it: its plain text, or with the runs' attributes as ANSI
// escape codes (bold, italic, underline, colour).
std::string plainLine(const LogLine& line);
std::string ansiLine(const LogLine& line);

// The nodes of a tree view and their children, one line each, indented by two blanks a level.
void printTree(std::ostream& out, const std::vector<TreeNode>& nodes, int level = 0);

// The disc's titles: "Title " and the title's line, then one line per stream it declares: its
// key, its text and its language, indented by three blanks.
void printTitles(std::ostream& out, const TitlesResult& titles);

} // namespace tessary::cli
