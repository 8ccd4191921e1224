#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/RunState.h"
#include "playlist/PlaylistReader.h"

namespace tessary {

// A demuxed stream offered to the Matroska file: its slot, its file and its box's caption.
struct DemuxedStream {
    int slot;
    std::string path;
    std::string caption;
};

// One track of the Matroska file and what the muxer is told about it.
struct MuxTrack {
    int slot = 0;
    std::string path;
    std::string name;
    std::string language = "und";
    int64_t delayMs = 0;         // the track's first PTS minus the first video PTS
    std::string defaultDuration; // e.g. "24000/1001p"; empty where the stream carries its rate
    bool operator==(const MuxTrack&) const = default;
};

// Everything one Matroska file is made of.
struct MuxPlan {
    std::string output;
    std::vector<MuxTrack> tracks;
    std::string chaptersPath; // empty: no chapters
    std::vector<Chapter> chapters;
    std::vector<std::string> subpictureFiles; // demuxed but left out: the muxer cannot read them
};

// Plans the Matroska file `output` from the demuxed streams (in slot order) and the Read's
// report in `state`. Names and languages come from `playlist` when it is given (the title
// that plays the source), else the captions and "und". Subpicture streams are left out.
// Chapters are planned into `chaptersPath` when the playlist has any.
MuxPlan planMatroska(const RunState& state, const std::vector<DemuxedStream>& streams,
                     const PlaylistRead* playlist, const std::string& output,
                     const std::string& chaptersPath);

// `pts` minus `reference` in whole milliseconds (rounded), the difference taken across the
// wrap of the 32-bit time stamps as the shorter way round.
int64_t delayMs(uint32_t pts, uint32_t reference);
// The first video PTS the Read reported: that of the lowest-numbered video stream, else the
// navigation data's first video PTM.
uint32_t firstVideoPts(const RunState& state);

// The muxer's default duration for a frame rate: an exact fraction for the NTSC-family rates
// ("24000/1001p"), otherwise frames per second ("25p"); empty for no rate.
std::string defaultDurationOf(double frameRate);

// A playlist language as the muxer takes it: an ISO 639-1 code, lower-cased; "und" for
// anything else.
std::string muxLanguage(const std::string& language);

// The muxer's arguments for the plan, as they go into its options file.
std::vector<std::string> mkvmergeArguments(const MuxPlan& plan);

// Arguments as the muxer's JSON options file: an array of strings, each made UTF-8 (a byte
// sequence that is not becomes U+FFFD) and its control characters escaped.
std::string jsonStringArray(const std::vector<std::string>& arguments);

} // namespace tessary
