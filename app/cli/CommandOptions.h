#pragma once

#include <string>
#include <vector>

#include "playlist/ChapterFile.h"

namespace tessary::cli {

// What tessary-cli was asked to do, as the parser fills it in.
enum class Colour { Auto, Always, Never };
enum class Format { Text, Json };

// Options every subcommand shares: how the report is printed.
struct OutputOptions {
    Colour colour = Colour::Auto;
    Format format = Format::Text;
    bool quiet = false;
};

struct ReadOptions {
    std::string source;
    bool noContinue = false;
    bool full = false;
    int fastSize = 300;
    bool noCountFrames = false;
    bool noDetails = false;
    bool strict = false; // no program stream found, or encrypted: stop with kExitNoProgramStream
    int title = 0;       // not 0: `source` is a disc, and this title's first file is read
};

// The titles command's disc: its folder, its HVDVD_TS folder or its playlist.
struct TitlesOptions {
    std::string disc;
};

// What a command does after the Read: nothing, a Demux or a Rebuild.
enum class Pass { None, Demux, Rebuild };

// Options of the commands that write files: the streams, and where the files go.
struct WriteOptions {
    std::vector<std::string> select; // lists of stream keys, checked while parsing
    std::string outputDir;
};

struct DemuxOptions {
    std::string videoExt = "mpv";
    std::string audioExt = "mpa";
    std::string subExt = "sup";
    bool codecExt = false;
    bool lpcmWav = false;
};

struct RebuildOptions {
    bool advancedPacks = false;
};

// The playlist command's PLAYLIST and SOURCE (only named, never read). The chapters file goes
// to WriteOptions::outputDir, as the files of demux and rebuild do.
struct PlaylistOptions {
    std::string path;
    std::string source;
    bool tree = false;
    bool chapters = false;
    ChapterFormat chaptersFormat = ChapterFormat::Preset;
};

// The mkv command's playlist (none: the disc's, when there is one) and whether the demuxed
// files are kept.
struct MkvOptions {
    std::string playlist;
    bool keep = false;
};

// Every option of every command; only those of the command given are set.
struct Options {
    ReadOptions read;
    WriteOptions write;
    DemuxOptions demux;
    RebuildOptions rebuild;
    PlaylistOptions playlist;
    MkvOptions mkv;
    TitlesOptions titles;
    OutputOptions output;
    std::string completionShell; // --completion: print the script for this shell
};

} // namespace tessary::cli
