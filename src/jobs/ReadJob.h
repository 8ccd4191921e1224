#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/PassOptions.h"
#include "engine/RunState.h"
#include "jobs/JobContext.h"
#include "streams/StreamTypes.h"

namespace tessary {

// The options of a Read: the source and the flags of the Options tab.
struct ReadJobOptions {
    std::string source;
    PassOptions pass;
};

// A stream the Read found: its slot and key ("v0", "a3", "s12"), kind and number within the
// kind, the stream table's code, what it is (codec name, PES stream id and the id within it),
// the caption of its box, its first PTS and, for video, the frames counted and their playing
// time, the named values of its details and the properties they hand over.
struct FoundStream {
    int slot = 0;
    std::string key;
    StreamKind kind = StreamKind::Video;
    int number = 0;
    int32_t code = 0;
    std::string codec; // empty for a code that names no stream of its kind
    std::optional<int> streamId, substreamId;
    std::string caption;
    std::optional<uint32_t> firstPts;
    std::optional<uint32_t> firstPtsOffsetMs; // behind the first video frame, modulo 2^32
    // The first PTS minus the first video PTS, signed and rounded to the ms, the short way
    // round the wrap of the time stamps: the delay the Matroska step gives the track.
    std::optional<int64_t> delayMs;
    std::optional<uint32_t> frames; // video, when frames were counted
    std::optional<double> duration; // seconds, when counted and the rate is known
    std::vector<ReportField> fields;
    std::vector<StreamProperty> properties; // in the order of Property, one value each
};

// The frames of one video stream: counted, the measured rate, and what the measured duration
// amounts to.
struct VideoFrames {
    int number = 0;
    uint32_t counted = 0;
    double frameRate = 0;
    std::optional<double> countedSeconds;
    std::optional<int64_t> calculatedFrames; // rounded half to even
};

// What a pass over the feature leaves in the run state, as values: the streams found, each
// file's navigation data, the frames and the times.
struct RunSummary {
    std::vector<FoundStream> streams;
    std::vector<NavigationReport> navigation;
    std::vector<VideoFrames> frames;
    double totalSeconds = 0;
    double lastFileSeconds = 0;
    uint32_t firstVideoPtm = 0, lastVideoPtm = 0;
};

struct ReadResult {
    std::string source;
    std::string secondFile;     // the second feature file the Read was to continue onto
    bool continued = false;     // a second file was there and the option was on
    std::string outputBaseName; // "FEATURE_1", or "FEATURE_1_FEATURE_2" when continued
    bool cancelled = false;
    bool programStreamFound = false; // a pack header (00 00 01 BA) was met
    RunSummary summary;
    // The streams met with a number that a stream found holds: not listed, not written.
    std::vector<std::string> warnings;
    // The names of the files whose navigation data says they are encrypted.
    std::vector<std::string> encrypted;
};

// The Read: the source's streams, their details and navigation data, and the frame report,
// through the port and the reporter; the run state keeps the stream table for Demux and
// Rebuild. Raises FileError when a file cannot be opened or read.
ReadResult readSource(const ReadJobOptions& options, JobContext& context);

// The warnings of the streams met with a number another stream holds, from the `from`th one
// the run state keeps: "stream C0 (E-AC-3) has audio number 0, which stream 80 (AC-3) holds:
// it is not extracted".
std::vector<std::string> sharedNumberWarnings(const RunState& state, SourceType source,
                                              std::size_t from = 0);

// The names of the files of the last Read whose navigation data says they are encrypted, and
// what is said of each.
std::vector<std::string> encryptedFiles(const RunState& state);
std::string encryptedWarning(const std::string& name);

// Everything the Read warns of, as both faces say it: no MPEG program stream (no pack header
// was met: a text file, zeros), each encrypted file, then the streams whose number another
// stream holds.
std::vector<std::string> readWarnings(const ReadResult& read);

// The run state's streams and times as values: the streams of `slots` (none given: those the
// stream table holds). `countFrames` says whether the frames were counted (no counts are given
// otherwise).
RunSummary summarizeRun(const RunState& state, const std::string& source, bool countFrames,
                        const std::vector<int>* slots = nullptr);

// The slots of the streams a Read found.
std::vector<int> slotsOf(const std::vector<FoundStream>& streams);

// The second file of a split feature when `continueOnSecond` holds and one exists, else empty.
// Raises FileError when what holds its name cannot be read as a file.
std::string secondFeatureFile(const std::string& source, bool continueOnSecond);

// The base of every output's name: the source's name without extension, joined with the
// second file's when there is one ("FEATURE_1_FEATURE_2").
std::string featureBaseName(const std::string& source, const std::string& second);

} // namespace tessary
