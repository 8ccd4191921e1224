#include "platform/WorkFolder.h"

#include <filesystem>
#include <system_error>

#include "platform/FileError.h"

namespace tessary {

std::string createNewFolder(const std::string& name) {
    namespace fs = std::filesystem;
    for (int attempt = 0; attempt <= 999; ++attempt) {
        const std::string folder = attempt == 0 ? name : name + "." + std::to_string(attempt);
        std::error_code error;
        // Only a folder made now counts: an existing one, or a link to one, gives false.
        if (fs::create_directory(folder, error)) return folder;
        if (error && error != std::errc::file_exists && error != std::errc::not_a_directory)
            throw FileError("Cannot create folder \"" + folder + "\". " + error.message());
    }
    throw FileError("Cannot create folder \"" + name + "\". Every name up to \"" + name +
                    ".999\" is taken");
}

bool removeNewFolder(const std::string& folder, const std::vector<std::string>& files) {
    std::error_code error;
    for (const std::string& file : files)
        std::filesystem::remove(file, error);
    return std::filesystem::remove(folder, error); // not when something else is in it
}

} // namespace tessary
