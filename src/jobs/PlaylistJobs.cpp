#include "jobs/PlaylistJobs.h"

#include <filesystem>
#include <system_error>

#include "jobs/FileNames.h"
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
                 result.read);
    result.warnings = result.read.warnings;
    if (result.read.tagLines.empty())
        result.warnings.push_back(namePart(options.playlist) + " holds no tag: it is no playlist");
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

WrittenFile writeChapterList(const ChaptersJobOptions& options, OutputFiles& files) {
    WrittenFile written;
    written.path =
        chaptersFileName(outputPrefix(options.outputFolder, options.source, options.baseName));
    // A name that leads to the source or the playlist (through a link) is refused.
    refuseInputAsOutput(written.path, {options.source, options.playlist},
                        "It is a file being read");
    const std::unique_ptr<OutputFile> file = files.create(written.path);
    static constexpr uint8_t kLineEnd[2] = {13, 10};
    try {
        for (const std::string& line : presetChapterList(options.chapters)) {
            file->append(reinterpret_cast<const uint8_t*>(line.data()), line.size());
            file->append(kLineEnd, sizeof kLineEnd);
        }
    } catch (...) {
        closeAfterError(*file);
        throw;
    }
    file->commit();
    written.size = sizeOnDisk(written.path);
    return written;
}

} // namespace tessary
