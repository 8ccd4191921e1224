#pragma once

#include <ostream>

#include "CommandOptions.h"
#include "Session.h"

namespace tessary::cli {

// Reads the source and then, for demux and rebuild, writes the chosen streams. Returns the
// exit status.
int runSource(const Options& options, Pass pass, Session& session, std::ostream& out);

// Reads the playlist (for names, languages and chapters) and the source, demuxes the chosen
// streams into a work folder, and has mkvmerge make DIR/NAME.mkv of them.
int runMkv(const Options& options, Session& session, std::ostream& out, std::ostream& err);

// Reads the playlist for the source's title, then writes its chapter list when asked to.
int runPlaylist(const Options& options, Session& session, std::ostream& out);

} // namespace tessary::cli
