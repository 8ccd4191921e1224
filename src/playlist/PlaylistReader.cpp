#include "playlist/PlaylistReader.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <optional>
#include <span>
#include <utility>

#include "platform/InputFile.h"
#include "platform/LogText.h"
#include "platform/Reporter.h"
#include "playlist/TagScanner.h"
#include "playlist/XplText.h"

namespace tessary {

namespace {

bool contains(std::string_view line, std::string_view word) {
    return line.find(word) != std::string_view::npos;
}

// Whether `line` holds `word`, the line compared in ASCII upper case. The word is given in upper
// case and begins with "<", which a tag line holds at its start and seldom elsewhere.
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
inline bool containsUpper(std::string_view line, std::string_view word) {
    return word.size() <= line.size() && findUpper(line, word);
}

// The playlist-wide values the tag lines give as they are scanned. Each has a target of its
// own that an attribute missing from a later line leaves as it was.
class LineChecks {
public:
    explicit LineChecks(MediaAttributes& attributes) : attributes_(attributes) {}

    void check(std::string_view line) {
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
                  audioChannels_.empty() ? audio_.codec
                                         : audio_.codec + "." + audioChannels_ + "ch");
        }
        if (contains(line, "SubpictureAttributeItem"))
            store(attributes_.subpicture, item(line, subpicture_), subpicture_.codec);
    }

    std::string playlistName, timeBase, tickBase;

private:
    static constexpr std::size_t kShortestWord = 8; // "Playlist", "TitleSet"
    struct Item {
        std::string index, codec;
    };
    static void take(std::string_view line, const char* name, std::string& target) {
        if (auto value = GetAttr(line, name)) target = std::move(*value);
    }
    static int item(std::string_view line, Item& targets) {
        take(line, "index", targets.index);
        take(line, "codec", targets.codec);
        return integerOrThrow(targets.index);
    }
    // Indexes outside the table have no place and are left out.
    static void store(std::array<std::string, 9>& table, int index, const std::string& text) {
        if (index >= 1 && index <= 8) table[static_cast<std::size_t>(index)] = text;
    }

    MediaAttributes& attributes_;
    Item video_, audio_, subpicture_;
    std::string audioChannels_;
};

std::string attributeText(const std::array<std::string, 9>& table, int index) {
    return index >= 1 && index <= 8 ? table[static_cast<std::size_t>(index)] : std::string();
}

std::string value(std::string_view line, const char* name) {
    return GetAttr(line, name).value_or(std::string());
}

// Walks the title's lines as they come: its names, streams and chapters. Its first title tag
// gives the name and duration; of its chapter entries the first kMaxChapters are read, and
// one whose start is no time of the title stays in the tree as the playlist writes it but is
// left out of the chapters, with a warning.
class TitleWalk {
public:
    TitleWalk(const MediaAttributes& attributes, const LineChecks& values, Reporter& out,
              PlaylistRead& result)
        : attributes_(attributes), values_(values), out_(out), result_(result),
          frameRate_(frameRateOf(values.timeBase)) {
        result_.tree = {
            {"Info", {}}, {"Video", {}}, {"Audio", {}}, {"Subtitle", {}}, {"Chapter", {}}};
        if (!values.playlistName.empty()) node(kInfo, "Title: " + values.playlistName);
    }

    void line(std::string_view text) {
        if (!named_ && containsUpper(text, "<TITLE ")) {
            named_ = true;
            node(kInfo, "Name: " + value(text, "displayName"));
            node(kInfo, "Duration: " + value(text, "titleDuration"));
        }
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

    void finish() {
        node(kInfo, "TimeBase: " + values_.timeBase);
        node(kInfo, "TickBase: " + values_.tickBase);
        if (chaptersLeftOut_ > 0)
            result_.warnings.push_back("the title has more than " + std::to_string(kMaxChapters) +
                                       " chapters: " + std::to_string(chaptersLeftOut_) +
                                       " after the first " + std::to_string(kMaxChapters) +
                                       " left out");
    }

private:
    static constexpr std::size_t kInfo = 0, kChapter = 4;

    void node(std::size_t top, std::string text) {
        result_.tree[top].children.push_back({std::move(text), {}});
    }
    // A stream is declared once; numbers beyond the boxes of its kind are left out.
    bool declare(StreamKind kind, int n) {
        if (n < 1 || n > (kind == StreamKind::Video ? kVideoSlotsReserved : streamCount(kind)))
            return false;
        const int slot = slotOf({kind, 0}) + n - 1;
        if (marked_[static_cast<std::size_t>(slot)]) return false;
        marked_[static_cast<std::size_t>(slot)] = true;
        return true;
    }
    void numbered(StreamKind kind, std::string_view text, const std::array<std::string, 9>& table) {
        const int n = GetAttrInt(text, "streamNumber");
        if (!declare(kind, n)) return;
        stream(kind, n,
               attributeText(table, GetAttrInt(text, "mediaAttr")) + ".s" +
                   (n - 1 < 10 ? "0" : "") + std::to_string(n - 1) + "." +
                   value(text, "description"),
               text);
    }
    // `shown` is what the tree and the log show, `line` the tag line it was made from.
    void stream(StreamKind kind, int n, std::string shown, std::string_view line) {
        const std::size_t top = kind == StreamKind::Video ? 1 : kind == StreamKind::Audio ? 2 : 3;
        node(top, shown);
        out_.log(literal(shown) + " found!");
        const std::string langcode = value(line, "langcode");
        result_.streams.push_back({kind, n - 1, std::move(shown), value(line, "description"),
                                   langcode.substr(0, langcode.find(':'))});
    }
    void chapter(std::string_view text) {
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

    const MediaAttributes& attributes_;
    const LineChecks& values_;
    Reporter& out_;
    PlaylistRead& result_;
    int frameRate_;
    bool named_ = false;
    std::size_t chapterEntries_ = 0;
    uint64_t chaptersLeftOut_ = 0;
    std::array<bool, kStreamSlotCount> marked_{};
};

// Tag lines kept up to kMaxTagLines lines and kMaxTagLineBytes bytes of text; from the first
// line that does not fit on, the lines are counted instead.
class KeptLines {
public:
    void add(std::size_t indent, std::string_view text) {
        const std::size_t size = indent + text.size();
        if (leftOut_ == 0 && lines_.size() < kMaxTagLines && bytes_ + size <= kMaxTagLineBytes) {
            lines_.push_back(TagScanner::lineText(indent, text));
            bytes_ += size;
        } else {
            ++leftOut_;
        }
    }
    void clear() { *this = {}; }
    const std::vector<std::string>& lines() const { return lines_; }
    std::vector<std::string> take() { return std::exchange(lines_, {}); }
    uint64_t leftOut() const { return leftOut_; }

private:
    std::vector<std::string> lines_;
    std::size_t bytes_ = 0;
    uint64_t leftOut_ = 0;
};

// Follows the tag lines of the file for the title that plays the source: the lines of the
// title that contains the first line naming the source, from its title tag (the file's first
// line when none stands before that line) to its first closing title tag. When that line is
// the file's first, no title plays the source.
// It keeps the file's first lines, shown when no title plays the source, and the lines of the
// title at hand, dropped when a new title begins before the source is named. Once the title
// is known, the file's first lines go and the title's are walked as they come.
class TitleScan {
public:
    TitleScan(const std::string& sourceBase, MediaAttributes& attributes, Reporter& out,
              PlaylistRead& result)
        : sourceBase_(sourceBase), values_(attributes), attributes_(attributes), out_(out),
          result_(result) {}

    void line(std::size_t indent, std::string_view text) {
        values_.check(text);
        const bool first = std::exchange(first_, false);
        if (walk_) {
            if (!titleClosed_) {
                addToTitle(indent, text);
                walk_->line(text);
            }
            return;
        }
        if (!sourceInFirstLine_ && namesSource(indent, text)) {
            // A source that the file's first line names has no title.
            sourceInFirstLine_ = first;
            if (!first) {
                startWalk(indent, text);
                return;
            }
        }
        shown_.add(indent, text);
        if (sourceInFirstLine_) return;
        if (containsUpper(text, "<TITLE ")) {
            title_.clear();
            titleClosed_ = false;
        }
        addToTitle(indent, text);
    }

    // Hands the lines kept to the result: the title's when it was found, else the file's.
    void keepLines() { result_.tagLines = walk_ ? title_.take() : shown_.take(); }

    void finish() {
        keepLines();
        const KeptLines& kept = walk_ ? title_ : shown_;
        if (kept.leftOut() > 0)
            out_.log(std::to_string(kept.leftOut()) + " tag lines " +
                     (walk_ ? "of the title " : "") + "after the first " +
                     std::to_string(result_.tagLines.size()) + " left out");
        if (walk_) walk_->finish();
    }

private:
    bool namesSource(std::size_t indent, std::string_view text) const {
        // Only a name that begins with a blank could reach into the indentation.
        if (!sourceBase_.empty() && sourceBase_.front() == ' ')
            return contains(TagScanner::lineText(indent, text), sourceBase_);
        return contains(text, sourceBase_);
    }
    // The line names the source: the title at hand is the one, its lines so far are walked.
    void startWalk(std::size_t indent, std::string_view text) {
        addToTitle(indent, text);
        result_.titleFound = true;
        shown_.clear();
        walk_.emplace(attributes_, values_, out_, result_);
        for (const std::string& kept : title_.lines())
            walk_->line(kept);
    }
    void addToTitle(std::size_t indent, std::string_view text) {
        if (titleClosed_) return;
        title_.add(indent, text);
        titleClosed_ = containsUpper(text, "</TITLE");
    }

    const std::string& sourceBase_;
    LineChecks values_;
    MediaAttributes& attributes_;
    Reporter& out_;
    PlaylistRead& result_;
    bool first_ = true, sourceInFirstLine_ = false;
    KeptLines shown_, title_;
    bool titleClosed_ = false;
    std::optional<TitleWalk> walk_;
};

} // namespace

int frameRateOf(const std::string& timeBase) {
    const std::string digits = timeBase.size() > 3 && timeBase.ends_with("fps")
                                   ? timeBase.substr(0, timeBase.size() - 3)
                                   : std::string();
    int rate = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), rate);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || rate <= 0)
        return 60;
    return rate;
}

std::optional<Chapter> chapterStart(std::string_view begin, int frameRate) {
    // hh:mm:ss:f..., every field of digits only; the frames may have any number of them.
    const auto number = [](std::string_view digits, int64_t& value) {
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), value);
        return !digits.empty() && error == std::errc() && end == digits.data() + digits.size() &&
               digits.front() != '-' && digits.front() != '+';
    };
    int64_t hours = 0, minutes = 0, seconds = 0, frames = 0;
    if (begin.size() < 10 || begin[2] != ':' || begin[5] != ':' || begin[8] != ':' ||
        !number(begin.substr(0, 2), hours) || !number(begin.substr(3, 2), minutes) ||
        !number(begin.substr(6, 2), seconds) || !number(begin.substr(9), frames) || minutes >= 60 ||
        seconds >= 60 || frames >= frameRate)
        return std::nullopt;
    const int64_t ms = frames * 1000 / frameRate;
    return Chapter{((hours * 60 + minutes) * 60 + seconds) * 1000 + ms,
                   std::string(begin.substr(0, 8)) + "." + ZeroPad(static_cast<int>(ms), 3),
                   {}};
}

namespace {

// The playlist is read in chunks of this size.
constexpr std::size_t kChunkSize = 262144;

// Scans the chunks `next` gives until it gives an empty one, walking the source's title as its
// lines come.
void scanPlaylist(const std::function<std::span<const uint8_t>()>& next,
                  const std::string& sourceBase, MediaAttributes& attributes, Reporter& out,
                  PlaylistRead& result) {
    TitleScan title(sourceBase, attributes, out, result);
    TagScanner scanner(
        [&title](std::size_t indent, std::string_view text) { title.line(indent, text); });
    try {
        for (auto chunk = next(); !chunk.empty(); chunk = next())
            scanner.scan(chunk.data(), chunk.size());
    } catch (...) {
        title.keepLines();
        throw;
    }
    title.finish();
}

} // namespace

void readPlaylist(const std::string& path, const std::string& playlistName,
                  const std::string& sourceBase, MediaAttributes& attributes, Reporter& out,
                  PlaylistRead& result) {
    InputFile file(path);
    out.log("Open " + literal(playlistName));
    out.log("Filesize: " + std::to_string(file.size()) + " bytes");
    std::vector<uint8_t> block(kChunkSize);
    const auto next = [&]() -> std::span<const uint8_t> {
        if (file.position() >= file.size()) return {};
        const std::size_t got = file.read(block.data(), block.size());
        if (got == 0) return {};
        out.slog(std::to_string(file.position()) + "/" + std::to_string(file.size()) + " bytes", 1);
        return {block.data(), got};
    };
    scanPlaylist(next, sourceBase, attributes, out, result);
}

void readPlaylistBytes(std::span<const uint8_t> bytes, const std::string& sourceBase,
                       MediaAttributes& attributes, Reporter& out, PlaylistRead& result) {
    const auto next = [&]() { return std::exchange(bytes, {}); };
    scanPlaylist(next, sourceBase, attributes, out, result);
}

} // namespace tessary
