#include "ops/OutputNames.h"

#include "platform/FileError.h"
#include "platform/Paths.h"

namespace tessary {

std::string safeNamePart(std::string_view text) {
    std::string out(text);
    bool leading = true;
    for (char& c : out) {
        if (leading && c == '.') {
            c = '_';
            continue;
        }
        leading = false;
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' ||
            c == '"' || c == '<' || c == '>' || c == '|')
            c = '_';
    }
    return out;
}

std::string outputPrefix(const std::string& outputFolder, const std::string& sourcePath,
                         const std::string& baseName) {
    std::string folder = outputFolder.empty() ? folderPart(sourcePath) : outputFolder;
    if (!folder.empty() && !isPathSeparator(folder.back())) folder += kPathSeparator;
    return folder + baseName;
}

void refuseInputAsOutput(const std::string& output, std::initializer_list<std::string> inputs,
                         const char* why) {
    for (const std::string& input : inputs)
        if (!input.empty() && sameFile(output, input))
            throw FileError("Cannot create file \"" + output + "\". " + why);
}

std::string demuxFileName(const std::string& prefix, std::string_view caption,
                          std::string_view extension) {
    return prefix + "." + safeNamePart(caption) + "." + safeNamePart(extension);
}

std::string rebuiltFileName(const std::string& prefix) {
    return prefix + ".rebuilt.EVO";
}
std::string chaptersFileName(const std::string& prefix, std::string_view extension) {
    return prefix + ".chapters" + std::string(extension);
}
std::string muxOptionsFileName(const std::string& prefix) {
    return prefix + ".mkvmerge.json";
}
std::string muxChaptersFileName(const std::string& prefix) {
    return prefix + ".mkv-chapters.txt";
}
std::string matroskaFileName(const std::string& prefix) {
    return prefix + ".mkv";
}
std::string workFolderName(const std::string& prefix) {
    return prefix + ".work";
}

} // namespace tessary
