#include "playlist/PlaylistValues.h"

#include "playlist/XplText.h"

namespace tessary {

std::vector<std::string> ogmChapterLines(const std::vector<Chapter>& chapters) {
    std::vector<std::string> lines;
    int number = 1;
    for (const Chapter& chapter : chapters) {
        const std::string tag = "CHAPTER" + ZeroPad(number, 2);
        lines.push_back(tag + "=" + chapter.time);
        lines.push_back(tag + "NAME=" + chapter.name);
        ++number;
    }
    return lines;
}

std::vector<std::string> presetChapterList(const std::vector<Chapter>& chapters) {
    std::vector<std::string> lines = {"Preset=!OGG", "Format="};
    for (std::string& line : ogmChapterLines(chapters))
        lines.push_back(std::move(line));
    lines.push_back("Header=");
    lines.push_back("Footer=");
    return lines;
}

} // namespace tessary
