#include "playlist/PlaylistReader.h"

#include <charconv>
#include <functional>
#include <span>
#include <utility>

#include "platform/InputFile.h"
#include "platform/Reporter.h"
#include "playlist/TagScanner.h"
#include "playlist/XplText.h"

namespace tessary {

namespace {

bool contains(const std::string& line, const char* word) {
    return line.find(word) != std::string::npos;
}

// The playlist-wide values the tag lines give as they are scanned. Each has a target of its
// own that an attribute missing from a later line leaves as it was.
class LineChecks {
public:
    explicit LineChecks(MediaAttributes& attributes) : attributes_(attributes) {}

    void check(const std::string& line) {
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
    struct Item {
        std::string index, codec;
    };
    static void take(const std::string& line, const char* name, std::string& target) {
        if (auto value = GetAttr(line, name)) target = std::move(*value);
    }
    static int item(const std::string& line, Item& targets) {
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

std::string value(const std::string& line, const char* name) {
    return GetAttr(line, name).value_or(std::string());
}

// Keeps only the lines of the title that plays the source; false when the source's name
// occurs in no line but the first.
bool narrowToTitle(std::vector<std::string>& lines, const std::string& sourceBase) {
    std::size_t found = 0;
    while (found < lines.size() && lines[found].find(sourceBase) == std::string::npos)
        ++found;
    if (found == lines.size() || found == 0) return false;
    std::size_t first = 0;
    for (std::size_t i = found; i-- > 0;)
        if (contains(upperLine(lines[i]), "<TITLE ")) {
            first = i;
            break;
        }
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(first));
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (contains(upperLine(lines[i]), "</TITLE")) {
            lines.resize(i + 1);
            break;
        }
    return true;
}

// Walks the title's lines: its names, streams and chapters.
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

    void line(const std::string& text) {
        const std::string upper = upperLine(text);
        if (contains(upper, "<TITLE ")) {
            node(kInfo, "Name: " + value(text, "displayName"));
            node(kInfo, "Duration: " + value(text, "titleDuration"));
        }
        if (contains(upper, "<VIDEO ")) {
            const int n = GetAttrInt(text, "track");
            if (declare(StreamKind::Video, n))
                stream(StreamKind::Video, n,
                       attributeText(attributes_.video, GetAttrInt(text, "mediaAttr")) + ".s" +
                           std::to_string(n - 1),
                       text);
        }
        if (contains(upper, "<AUDIO ")) numbered(StreamKind::Audio, text, attributes_.audio);
        if (contains(upper, "<SUBTITLE "))
            numbered(StreamKind::Subpicture, text, attributes_.subpicture);
        if (contains(upper, "<CHAPTER ")) chapter(text);
    }

    void finish() {
        node(kInfo, "TimeBase: " + values_.timeBase);
        node(kInfo, "TickBase: " + values_.tickBase);
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
    void numbered(StreamKind kind, const std::string& text,
                  const std::array<std::string, 9>& table) {
        const int n = GetAttrInt(text, "streamNumber");
        if (!declare(kind, n)) return;
        stream(kind, n,
               attributeText(table, GetAttrInt(text, "mediaAttr")) + ".s" +
                   (n - 1 < 10 ? "0" : "") + std::to_string(n - 1) + "." +
                   value(text, "description"),
               text);
    }
    // `shown` is what the tree and the log show, `line` the tag line it was made from.
    void stream(StreamKind kind, int n, std::string shown, const std::string& line) {
        const std::size_t top = kind == StreamKind::Video ? 1 : kind == StreamKind::Audio ? 2 : 3;
        node(top, shown);
        out_.log(shown + " found!");
        const std::string langcode = value(line, "langcode");
        result_.streams.push_back({kind, n - 1, std::move(shown), value(line, "description"),
                                   langcode.substr(0, langcode.find(':'))});
    }
    void chapter(const std::string& text) {
        const std::string name = value(text, "displayName");
        const std::string begin = value(text, "titleTimeBegin");
        node(kChapter, name + ": " + begin);
        result_.chapters.push_back(
            {chapterMs(begin, frameRate_), chapterTime(begin, frameRate_), name});
    }

    const MediaAttributes& attributes_;
    const LineChecks& values_;
    Reporter& out_;
    PlaylistRead& result_;
    int frameRate_;
    std::array<bool, kStreamSlotCount> marked_{};
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

std::string chapterTime(const std::string& begin, int frameRate) {
    const int frames = integerOrThrow(begin.size() > 9 ? begin.substr(9, 2) : std::string());
    return begin.substr(0, 8) + "." +
           ZeroPad(static_cast<int>(static_cast<int64_t>(frames) * 1000 / frameRate), 3);
}

int64_t chapterMs(const std::string& begin, int frameRate) {
    const auto number = [&begin](std::size_t at) {
        int value = -1;
        if (at + 2 > begin.size()) return -1;
        const auto [end, error] = std::from_chars(begin.data() + at, begin.data() + at + 2, value);
        return error == std::errc() && end == begin.data() + at + 2 && value >= 0 ? value : -1;
    };
    const int hours = number(0), minutes = number(3), seconds = number(6);
    if (hours < 0 || minutes < 0 || seconds < 0) return -1;
    const int frames = integerOrThrow(begin.size() > 9 ? begin.substr(9, 2) : std::string());
    return ((static_cast<int64_t>(hours) * 60 + minutes) * 60 + seconds) * 1000 +
           static_cast<int64_t>(frames) * 1000 / frameRate;
}

namespace {

// The playlist is read in chunks of this size.
constexpr std::size_t kChunkSize = 262144;

// Scans the chunks `next` gives until it gives an empty one, then walks the source's title.
void scanPlaylist(const std::function<std::span<const uint8_t>()>& next,
                  const std::string& sourceBase, MediaAttributes& attributes, Reporter& out,
                  PlaylistRead& result) {
    LineChecks values(attributes);
    TagScanner scanner([&](std::string&& line) {
        result.tagLines.push_back(std::move(line));
        values.check(result.tagLines.back());
    });
    for (auto chunk = next(); !chunk.empty(); chunk = next())
        scanner.scan(chunk.data(), chunk.size());

    result.titleFound = narrowToTitle(result.tagLines, sourceBase);
    if (!result.titleFound) return;
    TitleWalk walk(attributes, values, out, result);
    for (const std::string& line : result.tagLines)
        walk.line(line);
    walk.finish();
}

} // namespace

void readPlaylist(const std::string& path, const std::string& playlistName,
                  const std::string& sourceBase, MediaAttributes& attributes, Reporter& out,
                  PlaylistRead& result) {
    InputFile file(path);
    out.log("Open " + playlistName);
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
