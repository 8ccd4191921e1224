#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "playlist/PlaylistReader.h"

namespace tessary {

class Reporter;

// A disc given where its title is asked for that cannot give it: no playlist, no such title,
// or the title's first file is not on the disc.
class DiscError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Where a disc keeps its playlist and its EVO files.
struct DiscPaths {
    std::string playlist;  // .../ADV_OBJ/VPLST000.XPL
    std::string evoFolder; // .../HVDVD_TS
};

// The disc's paths from DISC: the disc's folder (ADV_OBJ/VPLST000.XPL and HVDVD_TS in it), its
// HVDVD_TS folder (the playlist in ../ADV_OBJ), or the playlist itself (the EVO files in
// ../HVDVD_TS). Folder and file names are matched without case. Raises DiscError when no
// playlist is found.
DiscPaths locateDisc(const std::string& disc);

// A file a title plays: the clip's `src` as the playlist writes it, the EVO file it stands
// for (FEATURE_1.MAP: FEATURE_1.EVO in the disc's EVO folder) and whether that is on disk.
struct TitleFile {
    std::string clip;
    std::string path;
    bool exists = false;
};

struct DiscTitle {
    PlaylistRead read; // the title's number, names, duration, clips, streams and chapters
    std::vector<TitleFile> files;
};

struct TitlesResult {
    std::string disc;
    DiscPaths paths;
    std::vector<DiscTitle> titles;
    std::vector<std::string> warnings; // of chapters left out, per title
};

// Lists every title of the disc's playlist with the files it plays. Raises DiscError when
// the disc has no playlist, FileError when it cannot be read, ConversionError when an
// attribute index is no number.
TitlesResult listTitles(const std::string& disc, Reporter& out);

// A title in one line, as the lists show it: "1: Main Feature, 00:00:11.500, 12 chapters, plays
// FEATURE_1.EVO FEATURE_2.EVO" (a file not on the disc marked "(missing)"; the duration as
// the playlist writes it when it is no time).
std::string titleLine(const DiscTitle& title);

// The title of that number. Raises DiscError when there is none or when its first file is not
// on disk.
const DiscTitle& playableTitle(const TitlesResult& titles, int number);

// What a disc's title stands for where a source is read: its playlist and its first EVO file.
struct TitleSource {
    std::string playlist;
    std::string source;
};

// The playlist and first EVO file of title `number` of the disc, with the log line "Title N:"
// and the title's line. Raises as listTitles and playableTitle do.
TitleSource titleSource(const std::string& disc, int number, Reporter& out);

} // namespace tessary
