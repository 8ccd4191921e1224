#include "platform/Paths.h"

#include <filesystem>
#include <system_error>

namespace tessary {

namespace {

// Characters that end the file name when searching backwards: the separators and, on
// Windows, the drive colon.
bool endsFolder(char c) {
#ifdef _WIN32
    return isPathSeparator(c) || c == ':';
#else
    return isPathSeparator(c);
#endif
}

std::size_t nameStart(std::string_view path) {
    for (std::size_t i = path.size(); i > 0; --i)
        if (endsFolder(path[i - 1])) return i;
    return 0;
}

} // namespace

std::string folderPart(std::string_view path) {
    return std::string(path.substr(0, nameStart(path)));
}

std::string namePart(std::string_view path) {
    return std::string(path.substr(nameStart(path)));
}

std::string extensionPart(std::string_view path) {
    for (std::size_t i = path.size(); i > 0; --i) {
        const char c = path[i - 1];
        if (c == '.') return std::string(path.substr(i - 1));
        if (endsFolder(c)) break;
    }
    return {};
}

bool fileExists(const std::string& path) {
    if (path.empty()) return false;
    std::error_code error;
    return std::filesystem::is_regular_file(std::filesystem::path(path), error);
}

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

bool folderExists(const std::string& path) {
    if (path.empty()) return false;
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

} // namespace tessary
