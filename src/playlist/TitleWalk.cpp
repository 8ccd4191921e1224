#include "playlist/TitleWalk.h"

#include <algorithm>
#include <utility>

#include "platform/LogText.h"
#include "platform/Reporter.h"
#include "playlist/XplText.h"

namespace tessary {

namespace {

bool contains(std::string_view line, std::string_view word) {
    return line.find(word) != std::string_view::npos;
}

bool findUpper(std::string_view line, std::string_view word) {
    const auto same = [](char upper, char c) {
        return (c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c) == upper;
    };
    for (std::size_t at = line.find('<');
         at != std::string_view::npos && line.size() - at >= word.size();
         at = line.find('<', at + 1))
        if (std::equal(word.begin(), word.end(), line.begin() + static_cast<std::ptrdiff_t>(at),
                       same))
            return true;
    return false;
}

void take(std::string_view line, const char* name, std::string& target) {
    if (auto value = GetAttr(line, name)) target = std::move(*value);
}

// Indexes outside the table have no place and are left out.
void store(std::array<std::string, 9>& table, int index, const std::string& text) {
    if (index >= 1 && index <= 8) table[static_cast<std::size_t>(index)] = text;
}

std::string attributeText(const std::array<std::string, 9>& table, int index) {
    return index >= 1 && index <= 8 ? table[static_cast<std::size_t>(index)] : std::string();
}

std::string value(std::string_view line, const char* name) {
    return GetAttr(line, name).value_or(std::string());
}

} // namespace

bool containsUpper(std::string_view line, std::string_view word) {
    return word.size() <= line.size() && findUpper(line, word);
}

void LineChecks::check(std::string_view line) {
    if (line.size() < kShortestWord) return; // the common short tag, at once
    if (contains(line, "Playlist")) take(line, "displayName", playlistName);
    if (contains(line, "TitleSet")) {
        take(line, "timeBase", timeBase);
        take(line, "tickBase", tickBase);
    }
    if (contains(line, "VideoAttributeItem"))
        store(attributes_.video, item(line, video_), video_.codec);
    if (contains(line, "AudioAttributeItem")) {
        const int index = item(line, audio_);
        take(line, "channels", audioChannels_);
        store(attributes_.audio, index,
              audioChannels_.empty() ? audio_.codec : audio_.codec + "." + audioChannels_ + "ch");
    }
    if (contains(line, "SubpictureAttributeItem"))
        store(attributes_.subpicture, item(line, subpicture_), subpicture_.codec);
}

int LineChecks::item(std::string_view line, Item& targets) {
    take(line, "index", targets.index);
    take(line, "codec", targets.codec);
    return integerOrThrow(targets.index);
}

int titleNumberOf(std::string_view line, int ordinal) {
    const std::optional<std::string> number = GetAttr(line, "titleNumber");
    const std::optional<int> value = number ? toInteger(*number) : std::nullopt;
    return value && *value > 0 ? *value : ordinal;
}

TitleWalk::TitleWalk(const MediaAttributes& attributes, const LineChecks& values, int ordinal,
                     Reporter& out, PlaylistRead& result)
    : attributes_(attributes), values_(values), out_(out), result_(result),
      frameRate_(frameRateOf(values.timeBase)), ordinal_(ordinal) {
    result_.tree = {{"Info", {}}, {"Video", {}}, {"Audio", {}}, {"Subtitle", {}}, {"Chapter", {}}};
    if (!values.playlistName.empty()) node(kInfo, "Title: " + values.playlistName);
}

void TitleWalk::line(std::string_view text) {
    if (!named_ && containsUpper(text, "<TITLE ")) name(text);
    if (result_.title.clips.size() < kMaxClips && containsUpper(text, "<PRIMARYAUDIOVIDEOCLIP "))
        if (auto src = GetAttr(text, "src")) result_.title.clips.push_back(std::move(*src));
    if (containsUpper(text, "<VIDEO ")) {
        const int n = GetAttrInt(text, "track");
        if (declare(StreamKind::Video, n))
            stream(StreamKind::Video, n,
                   attributeText(attributes_.video, GetAttrInt(text, "mediaAttr")) + ".s" +
                       std::to_string(n - 1),
                   text);
    }
    if (containsUpper(text, "<AUDIO ")) numbered(StreamKind::Audio, text, attributes_.audio);
    if (containsUpper(text, "<SUBTITLE "))
        numbered(StreamKind::Subpicture, text, attributes_.subpicture);
    if (containsUpper(text, "<CHAPTER ")) chapter(text);
}

void TitleWalk::name(std::string_view text) {
    named_ = true;
    TitleEntry& title = result_.title;
    title.number = titleNumberOf(text, ordinal_);
    title.id = value(text, "id");
    title.name = value(text, "displayName");
    title.duration = value(text, "titleDuration");
    if (auto length = chapterStart(title.duration, frameRate_)) title.durationMs = length->ms;
    node(kInfo, "Name: " + title.name);
    node(kInfo, "Duration: " + title.duration);
}

void TitleWalk::finish() {
    node(kInfo, "TimeBase: " + values_.timeBase);
    node(kInfo, "TickBase: " + values_.tickBase);
    if (chaptersLeftOut_ > 0)
        result_.warnings.push_back("the title has more than " + std::to_string(kMaxChapters) +
                                   " chapters: " + std::to_string(chaptersLeftOut_) +
                                   " after the first " + std::to_string(kMaxChapters) +
                                   " left out");
}

void TitleWalk::node(std::size_t top, std::string text) {
    result_.tree[top].children.push_back({std::move(text), {}});
}

// A stream is declared once; numbers beyond the boxes of its kind are left out.
bool TitleWalk::declare(StreamKind kind, int n) {
    if (n < 1 || n > (kind == StreamKind::Video ? kVideoSlotsReserved : streamCount(kind)))
        return false;
    const int slot = slotOf({kind, 0}) + n - 1;
    if (marked_[static_cast<std::size_t>(slot)]) return false;
    marked_[static_cast<std::size_t>(slot)] = true;
    return true;
}

void TitleWalk::numbered(StreamKind kind, std::string_view text,
                         const std::array<std::string, 9>& table) {
    const int n = GetAttrInt(text, "streamNumber");
    if (!declare(kind, n)) return;
    stream(kind, n,
           attributeText(table, GetAttrInt(text, "mediaAttr")) + ".s" + (n - 1 < 10 ? "0" : "") +
               std::to_string(n - 1) + "." + value(text, "description"),
           text);
}

// `shown` is what the tree and the log show, `line` the tag line it was made from.
void TitleWalk::stream(StreamKind kind, int n, std::string shown, std::string_view line) {
    const std::size_t top = kind == StreamKind::Video ? 1 : kind == StreamKind::Audio ? 2 : 3;
    node(top, shown);
    out_.log(literal(shown) + " found!");
    const std::string langcode = value(line, "langcode");
    result_.streams.push_back({kind, n - 1, std::move(shown), value(line, "description"),
                               langcode.substr(0, langcode.find(':'))});
}

void TitleWalk::chapter(std::string_view text) {
    if (chapterEntries_ == kMaxChapters) {
        ++chaptersLeftOut_;
        return;
    }
    ++chapterEntries_;
    const std::string name = value(text, "displayName");
    const std::string begin = value(text, "titleTimeBegin");
    node(kChapter, name + ": " + begin);
    if (auto start = chapterStart(begin, frameRate_)) {
        start->name = name;
        result_.chapters.push_back(std::move(*start));
    } else {
        result_.warnings.push_back("chapter " + std::to_string(chapterEntries_) + " \"" + name +
                                   "\" left out: its start \"" + begin + "\" is no time at " +
                                   std::to_string(frameRate_) + " frames a second");
    }
}

} // namespace tessary
