#include "platform/NewFolders.h"

#include <filesystem>
#include <system_error>

#include "platform/FileError.h"
#include "platform/Paths.h"

namespace tessary {

namespace {

// The folders on the way to `folder` that do not exist yet, innermost first.
std::vector<std::string> missingFolders(const std::string& folder) {
    namespace fs = std::filesystem;
    std::vector<std::string> missing;
    std::error_code error; // set for a missing path too: the type tells
    fs::path start = fs::path(folder).lexically_normal();
    if (!start.has_filename()) start = start.parent_path(); // "out/" names "out"
    for (fs::path path = start;
         !path.empty() && fs::symlink_status(path, error).type() == fs::file_type::not_found;
         path = path.parent_path()) {
        missing.push_back(path.string());
        if (path == path.parent_path()) break;
    }
    return missing;
}

} // namespace

void NewFolders::create(const std::string& folder) {
    if (folder.empty() || folderExists(folder)) return;
    const std::vector<std::string> missing = missingFolders(folder);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    // Those that exist now were made here, also when a later one could not be.
    for (const std::string& path : missing)
        if (folderExists(path)) made_.push_back(path);
    if (!error && folderExists(folder)) return;
    throw FileError("Cannot create folder \"" + folder + "\". " +
                    (error ? error.message() : std::string("Not a folder")));
}

std::vector<std::string> NewFolders::removeEmpty() {
    std::vector<std::string> removed;
    for (const std::string& folder : made_) {
        std::error_code error; // a folder that is not empty stays
        if (std::filesystem::is_directory(folder, error) && std::filesystem::remove(folder, error))
            removed.push_back(folder);
    }
    made_.clear();
    return removed;
}

} // namespace tessary
