#pragma once

#include <string>
#include <string_view>

namespace tessary {

// The platform's own path separator. On Windows '/' is accepted as a separator too, and a
// drive colon ends the folder part as it does in "C:name".
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// True for a character that separates folders in a path on this platform.
constexpr bool isPathSeparator(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

// The folder part of a path with its trailing separator (on Windows also a bare "C:"), or an
// empty string when the path names no folder.
std::string folderPart(std::string_view path);

// The file name behind the folder part.
std::string namePart(std::string_view path);

// The extension including its dot: the text from the last '.' of the path to the end, or an
// empty string when there is no '.' or when a separator (or drive colon) follows it.
std::string extensionPart(std::string_view path);

// True when a regular file (or a link to one) of that name exists. Never throws: a path that
// cannot be examined counts as absent.
bool fileExists(const std::string& path);

// True when both paths name one existing file (also through links). Never throws.
bool sameFile(const std::string& a, const std::string& b);

// True when a folder of that name exists. Never throws.
bool folderExists(const std::string& path);

} // namespace tessary
