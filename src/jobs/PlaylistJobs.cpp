#include "jobs/PlaylistJobs.h"

#include <filesystem>
#include <system_error>

#include "jobs/FileNames.h"
#include "ops/MatroskaPlan.h"
#include "ops/OutputNames.h"
#include "platform/OutputFile.h"
#include "platform/Paths.h"
#include "platform/Reporter.h"

namespace tessary {

void readPlaylistTitle(const PlaylistJobOptions& options, MediaAttributes& attributes,
                       Reporter& out, PlaylistResult& result) {
    result = {};
    result.playlist = options.playlist;
    result.source = options.source;
    const std::string sourceBase = CutExt(namePart(options.source));
    readPlaylist(options.playlist, namePart(options.playlist), sourceBase, attributes, out,
                 result.read, options.titleNumber);
    result.warnings = result.read.warnings;
    if (result.read.tagLines.empty())
        result.warnings.push_back(namePart(options.playlist) + " holds no tag: it is no playlist");
    else if (!result.read.titleFound && options.titleNumber != 0)
        result.warnings.push_back(namePart(options.playlist) + " has no title " +
                                  std::to_string(options.titleNumber));
    else if (!result.read.titleFound)
        result.warnings.push_back("no title of " + namePart(options.playlist) + " plays " +
                                  namePart(options.source));
    logDone(out);
}

std::string discPlaylistOf(const std::string& source) {
    namespace fs = std::filesystem;
    const fs::path candidate =
        fs::path(source).parent_path().parent_path() / "ADV_OBJ" / "VPLST000.XPL";
    std::error_code error;
    return fs::is_regular_file(candidate, error) ? candidate.string() : std::string();
}

std::string titleLanguage(const PlaylistRead& read) {
    for (const DeclaredStream& stream : read.streams)
        if (stream.kind == StreamKind::Audio && !stream.language.empty()) return stream.language;
    return {};
}

WrittenFile writeChapterList(const ChaptersJobOptions& options, OutputFiles& files) {
    WrittenFile written;
    written.path =
        chaptersFileName(outputPrefix(options.outputFolder, options.source, options.baseName),
                         chapterFileExtension(options.format));
    // A name that leads to the source or the playlist (through a link) is refused.
    refuseInputAsOutput(written.path, {options.source, options.playlist},
                        "It is a file being read");
    writeWholeFile(
        files, written.path,
        chapterFileText(options.chapters, options.format, muxLanguage(options.language)));
    written.size = sizeOnDisk(written.path);
    return written;
}

} // namespace tessary
