#pragma once

#include <ostream>

#include "CommandOptions.h"
#include "Session.h"

namespace tessary::cli {

// Reads the source and then, for demux and rebuild, writes the chosen streams. Returns the
// exit status.
int runSource(Options options, Pass pass, Session& session, std::ostream& out);

// Reads the playlist (for names, languages and chapters) and the source, demuxes the chosen
// streams into a work folder, and has mkvmerge make DIR/NAME.mkv of them.
int runMkv(Options options, Session& session, std::ostream& out, std::ostream& err);

// Lists the titles of the disc's playlist. Returns the exit status.
int runTitles(const Options& options, Session& session, std::ostream& out);

// Reads the playlist for the source's title, then writes its chapter list when asked to.
int runPlaylist(const Options& options, Session& session, std::ostream& out);

} // namespace tessary::cli
