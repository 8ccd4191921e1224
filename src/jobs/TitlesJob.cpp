#include "jobs/TitlesJob.h"

#include <filesystem>
#include <system_error>

#include "jobs/FileNames.h"
#include "jobs/JobContext.h"
#include "platform/LogText.h"
#include "platform/Paths.h"
#include "platform/Reporter.h"
#include "platform/Text.h"
#include "playlist/DiscTitles.h"
#include "playlist/XplText.h"

namespace tessary {

namespace fs = std::filesystem;

namespace {

// The entry of `folder` named `name` without regard to case (the exact name first), or an
// empty path. Discs copied by other systems often have their names in lower case.
fs::path entryOf(const fs::path& folder, const std::string& name) {
    std::error_code error;
    if (fs::exists(folder / name, error)) return folder / name;
    const std::string wanted = upperCase(name);
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (upperCase(it->path().filename().string()) == wanted) return it->path();
    return {};
}

bool isFolder(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

// The EVO file a clip stands for: the name behind the last "/" of its src with .EVO for its
// extension (".../HVDVD_TS/FEATURE_1.MAP" is FEATURE_1.EVO), in the disc's EVO folder.
TitleFile fileOfClip(const std::string& clip, const std::string& evoFolder) {
    const std::size_t slash = clip.find_last_of("/\\");
    const std::string name = CutExt(slash == std::string::npos ? clip : clip.substr(slash + 1));
    TitleFile file{clip, {}, false};
    if (name.empty()) return file;
    const fs::path found = evoFolder.empty() ? fs::path() : entryOf(evoFolder, name + ".EVO");
    file.path = found.empty() ? (fs::path(evoFolder) / (name + ".EVO")).string() : found.string();
    file.exists = !found.empty() && fileExists(file.path);
    return file;
}

// "hh:mm:ss.mmm"; a duration comes from two digits of hours at most.
std::string clockText(int64_t ms) {
    const auto part = [ms](int64_t unit, int64_t range) {
        return static_cast<int>(ms / unit % range);
    };
    return ZeroPad(part(3600000, 100), 2) + ":" + ZeroPad(part(60000, 60), 2) + ":" +
           ZeroPad(part(1000, 60), 2) + "." + ZeroPad(part(1, 1000), 3);
}

} // namespace

DiscPaths locateDisc(const std::string& disc) {
    fs::path given = fs::path(disc).lexically_normal();
    if (given.filename().empty() && given.has_relative_path()) given = given.parent_path();
    fs::path playlist, root;
    if (isFolder(given)) {
        // Named by its own name, or by "." from inside it.
        std::error_code error;
        fs::path whole = fs::absolute(given, error).lexically_normal();
        if (whole.filename().empty()) whole = whole.parent_path();
        const bool evoFolder = upperCase(whole.filename().string()) == "HVDVD_TS";
        root = !evoFolder                ? given
               : given.has_parent_path() ? given.parent_path()
               : given.filename() == "." ? fs::path("..")
                                         : fs::path(".");
        if (const fs::path advObj = entryOf(root, "ADV_OBJ"); !advObj.empty())
            playlist = entryOf(advObj, "VPLST000.XPL");
    } else if (fileExists(disc)) {
        // Only a playlist stands for a disc: an EVO file is not read as one.
        if (upperCase(extensionPart(disc)) != ".XPL")
            throw DiscError(disc + " is no disc: give its folder, its HVDVD_TS folder or its "
                                   "playlist");
        playlist = disc;
        // The disc's folder is the one above the playlist's.
        root = given.parent_path().empty() ? fs::path("..") : given.parent_path().parent_path();
        if (root.empty()) root = ".";
    }
    if (playlist.empty())
        throw DiscError("no playlist in " + disc + " (ADV_OBJ" + kPathSeparator +
                        "VPLST000.XPL was looked for)");
    const fs::path evoFolder = entryOf(root, "HVDVD_TS");
    return {playlist.string(), isFolder(evoFolder) ? evoFolder.string() : std::string()};
}

TitlesResult listTitles(const std::string& disc, Reporter& out) {
    TitlesResult result;
    result.disc = disc;
    result.paths = locateDisc(disc);
    for (PlaylistRead& read :
         readPlaylistTitles(result.paths.playlist, namePart(result.paths.playlist), out)) {
        DiscTitle title;
        for (const std::string& clip : read.title.clips)
            title.files.push_back(fileOfClip(clip, result.paths.evoFolder));
        for (const std::string& warning : read.warnings)
            result.warnings.push_back("title " + std::to_string(read.title.number) + ": " +
                                      warning);
        title.read = std::move(read);
        result.titles.push_back(std::move(title));
    }
    logDone(out);
    return result;
}

std::string titleLine(const DiscTitle& title) {
    const TitleEntry& entry = title.read.title;
    const std::size_t chapters = title.read.chapters.size() + entry.chaptersDropped;
    std::string line = std::to_string(entry.number) + ": " + entry.name + ", " +
                       (entry.durationMs ? clockText(*entry.durationMs) : entry.duration) + ", " +
                       std::to_string(chapters) + (chapters == 1 ? " chapter" : " chapters");
    if (!title.files.empty()) line += ", plays";
    for (const TitleFile& file : title.files) {
        line += ' ';
        line += namePart(file.path);
        if (!file.exists) line += " (missing)";
    }
    return line;
}

const DiscTitle& playableTitle(const TitlesResult& titles, int number) {
    for (const DiscTitle& title : titles.titles) {
        if (title.read.title.number != number) continue;
        if (title.files.empty() || title.files.front().path.empty())
            throw DiscError("title " + std::to_string(number) + " plays no EVO file");
        if (!title.files.front().exists)
            throw DiscError("title " + std::to_string(number) + " plays " +
                            title.files.front().path + ", which is not on the disc");
        return title;
    }
    throw DiscError("no title " + std::to_string(number) + " in " + titles.paths.playlist);
}

TitleSource titleSource(const std::string& disc, int number, Reporter& out) {
    SilentReporter unlogged;
    const TitlesResult titles = listTitles(disc, unlogged);
    const DiscTitle& title = playableTitle(titles, number);
    out.log("Title " + literal(titleLine(title)));
    return {titles.paths.playlist, title.files.front().path};
}

} // namespace tessary
