#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessary {

// One entry of the playlist's tree (the window's XPL tab) and the entries below it.
struct TreeNode {
    std::string text;
    std::vector<TreeNode> children;
    bool operator==(const TreeNode&) const = default;
};

// A chapter of the title: where it starts, in milliseconds from the title's start, and its
// name. `time` is the start as the chapter lists write it, "hh:mm:ss.mmm", the hours, minutes
// and seconds being the playlist's own digits.
struct Chapter {
    int64_t ms = 0;
    std::string time;
    std::string name;
    bool operator==(const Chapter&) const = default;
};

// The chapters as OGM chapter lines: "CHAPTER01=TIME" and "CHAPTER01NAME=NAME" per chapter.
std::vector<std::string> ogmChapterLines(const std::vector<Chapter>& chapters);

// The chapter list that Write chapters writes, for the tools that read that preset: the OGM
// lines between "Preset=!OGG", "Format=" and "Header=", "Footer=".
std::vector<std::string> presetChapterList(const std::vector<Chapter>& chapters);

} // namespace tessary
