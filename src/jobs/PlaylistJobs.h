#pragma once

#include <string>
#include <vector>

#include "jobs/WriteJobs.h"
#include "playlist/ChapterFile.h"
#include "playlist/PlaylistReader.h"

namespace tessary {

class OutputFiles;
class Reporter;

struct PlaylistJobOptions {
    std::string playlist;
    std::string source;  // the feature file whose title is read; only its name is used
    int titleNumber = 0; // not 0: the title of that number is read instead
};

// What Read playlist found: the reader's result (the tag lines of the title when it was found,
// else of the file, and the title's tree, declared streams and chapters), and the warnings: of
// the chapters left out, or that the file holds no tag or no title that plays the source.
struct PlaylistResult {
    std::string playlist;
    std::string source;
    PlaylistRead read;
    std::vector<std::string> warnings;
    bool titleFound() const { return read.titleFound; }
};

// Reads the playlist for the title that plays the source into `result`, which a read ended by
// an error leaves with what it got. `attributes` carries the media attribute texts from one
// read to the next. Raises FileError when the playlist cannot be opened or read,
// ConversionError when an attribute index is no number.
void readPlaylistTitle(const PlaylistJobOptions& options, MediaAttributes& attributes,
                       Reporter& out, PlaylistResult& result);

// The disc's playlist for a source in its HVDVD_TS folder, ../ADV_OBJ/VPLST000.XPL beside the
// source's folder, when that file exists; else empty.
std::string discPlaylistOf(const std::string& source);

struct ChaptersJobOptions {
    std::string source;
    std::string playlist;
    std::string outputFolder; // empty: beside the source
    std::string baseName;     // the output base name of the source's Read
    std::vector<Chapter> chapters;
    ChapterFormat format = ChapterFormat::Preset;
    std::string language; // the title's, as the playlist gives it ("en"); XML names it
};

// The title's language: that of the first audio stream it declares, else none.
std::string titleLanguage(const PlaylistRead& read);

// Writes the chapter file in the options' format to BASE.chapters.txt (BASE.chapters.xml for
// XML). Raises FileError when it cannot be written or would be a file being read.
WrittenFile writeChapterList(const ChaptersJobOptions& options, OutputFiles& files);

} // namespace tessary
