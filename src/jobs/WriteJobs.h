#pragma once

#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jobs/JobContext.h"
#include "jobs/ReadJob.h"
#include "streams/StreamTypes.h"

namespace tessary {

// A stream chosen for writing: its slot and the caption its file is named after (the Read's,
// or the playlist's once that was read).
struct ChosenStream {
    int slot = 0;
    std::string caption;
};

struct OutputExtensions {
    std::string video = "mpv";
    std::string audio = "mpa";
    std::string subpicture = "sup";
    // Each audio and video file named by its codec instead: .m2v, .264, .vc1, .ac3, .eac3,
    // .dts, .thd, .pcm, .mlp; subpictures .sup (LPCM as WAV stays .wav).
    bool byCodec = false;
};

// The extension of a stream's file when files are named by codec.
std::string codecExtension(const StreamType& type);

// The options of a Demux of the source that the last Read found the streams of.
struct DemuxJobOptions {
    std::string source;
    PassOptions pass;
    std::string outputFolder; // empty: beside the source
    std::vector<ChosenStream> streams;
    OutputExtensions extensions;
    // LPCM audio of EVO and VOB sources as WAV files (an AOB's LPCM is written bare).
    bool lpcmAsWav = false;
    // DVD-Audio MLP as a plain MLP stream, each packet's whole header left out (otherwise its
    // file keeps what the header holds beyond LPCM's three bytes). Files named by codec are
    // always plain: a .mlp file is one that MLP decoders read.
    bool plainMlp = false;
};

// A file a job wrote: the stream it holds (none for a whole-file output), its path, whether
// it is a WAV file, and its size once written (none when it cannot be had).
struct WrittenFile {
    std::optional<int> slot;
    std::string key;
    std::string path;
    bool wav = false;
    std::optional<uint64_t> size;
};

struct DemuxResult {
    std::vector<WrittenFile> files; // in the order they were created
    bool cancelled = false;
    bool continued = false;
    std::string prefix; // the output folder and base name every file's name begins with
    // Streams met with a number another stream holds that the Read had not met.
    std::vector<std::string> warnings;
};

// Writes each chosen stream to a file of its own. Raises FileError when a file cannot be
// opened, created, read or written.
DemuxResult demuxStreams(const DemuxJobOptions& options, JobContext& context);

struct RebuildJobOptions {
    std::string source;
    PassOptions pass;
    std::string outputFolder;
    std::vector<int> keptSlots;
    bool advancedPacks = false; // keep the advanced packs (ADV_PCK)
};

struct RebuildResult {
    WrittenFile file;
    bool cancelled = false;
    // The identifiers of the streams the Read did not list, whose packets were left out; a
    // stream that shares its number with one listed, which the Read warned of, is not named.
    std::vector<int> leftOut;
    bool partialRead = false; // the Read stopped at the fast-check size
};

// Writes a new EVO holding only the kept streams, renumbered. Raises FileError as Demux does.
RebuildResult rebuildSource(const RebuildJobOptions& options, JobContext& context);

// What is said of the streams a Rebuild left out, empty when there are none. `wholeReadHint`
// says how the face reads the whole file; it is added when the Read did not.
std::string leftOutWarning(const RebuildResult& result, std::string_view wholeReadHint);

// The size of a file on disk, none when it cannot be had.
std::optional<uint64_t> sizeOnDisk(const std::string& path);

} // namespace tessary
