#include "NewFolders.h"

#include <filesystem>
#include <system_error>

namespace tessary::cli {

std::vector<std::string> missingFolders(const std::string& folder) {
    namespace fs = std::filesystem;
    std::vector<std::string> missing;
    std::error_code error;
    fs::path start = fs::path(folder).lexically_normal();
    if (!start.has_filename()) start = start.parent_path(); // "out/" names "out"
    for (fs::path path = start; !path.empty() && !fs::exists(path, error) && !error;
         path = path.parent_path()) {
        missing.push_back(path.string());
        if (path == path.parent_path()) break;
    }
    return missing;
}

void removeEmptyFolders(const std::vector<std::string>& folders) {
    for (const std::string& folder : folders) {
        std::error_code error; // a folder that is not empty stays
        if (std::filesystem::is_directory(folder, error)) std::filesystem::remove(folder, error);
    }
}

} // namespace tessary::cli
