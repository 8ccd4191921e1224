#pragma once

#include <string>
#include <vector>

#include "jobs/JobContext.h"
#include "jobs/PlaylistJobs.h"
#include "jobs/WriteJobs.h"
#include "ops/MatroskaMux.h"

namespace tessary {

// The options of making one Matroska file of the source that the last Read found the streams
// of: the chosen streams are demuxed into a work folder of the job's own, a new folder
// NAME.work in the output folder (NAME.work.1, ... when that name is taken), and the muxer
// makes NAME.mkv there of them.
struct MatroskaJobOptions {
    // The source, the chosen streams and the folder of the Matroska file; its LPCM audio is
    // always demuxed as WAV, which the muxer reads.
    DemuxJobOptions demux;
    // The title that plays the source, for the tracks' names and languages and the chapters;
    // none (or a title not found): the captions, "und" and no chapters.
    const PlaylistResult* playlist = nullptr;
    bool keepWorkFolder = false;
};

struct MatroskaResult {
    DemuxResult demux;
    MuxPlan plan;
    MuxOutcome outcome;
    std::string optionsPath;
    std::string workFolder;
    std::vector<std::string> subpictures; // kept beside the Matroska file once it is made
    std::vector<std::string> warnings;    // the Demux's, then those of the files kept
};

// Demuxes, plans and muxes; once the file is made, the subpicture files (which the muxer
// cannot read) are moved beside it and the work folder goes, unless it is to be kept. When the
// muxer is not found, the files are left ready and `outcome.command` says what to run. A run
// that fails or is cancelled removes what it made in the work folder, and the folder, unless
// it is to be kept. Raises FileError and MuxError (the Read found the source encrypted,
// nothing to mux, the muxer failed). A cancelled run returns with `demux.cancelled` or
// `outcome.cancelled` set.
MatroskaResult makeMatroska(const MatroskaJobOptions& options, JobContext& context);

} // namespace tessary
