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
#include "playlist/TitleWalk.h"
#include "playlist/XplText.h"

namespace tessary {

namespace {

bool contains(std::string_view line, std::string_view word) {
    return line.find(word) != std::string_view::npos;
}

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
    TitleScan(const std::string& sourceBase, int titleNumber, MediaAttributes& attributes,
              Reporter& out, PlaylistRead& result)
        : sourceBase_(sourceBase), titleNumber_(titleNumber), values_(attributes),
          attributes_(attributes), out_(out), result_(result) {}

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
        const bool titleTag = containsUpper(text, "<TITLE ");
        if (titleNumber_ != 0) {
            if (titleTag && titleNumberOf(text, titles_ + 1) == titleNumber_) {
                beginTitle();
                startWalk(indent, text);
                return;
            }
        } else if (!sourceInFirstLine_ && namesSource(indent, text)) {
            // A source that the file's first line names has no title.
            sourceInFirstLine_ = first;
            if (!first) {
                startWalk(indent, text);
                return;
            }
        }
        shown_.add(indent, text);
        if (sourceInFirstLine_) return;
        if (titleTag) beginTitle();
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
    void beginTitle() {
        ++titles_;
        title_.clear();
        titleClosed_ = false;
    }
    // The line names the source (or is the tag of the title asked for): the title at hand is
    // the one, its lines so far are walked.
    void startWalk(std::size_t indent, std::string_view text) {
        addToTitle(indent, text);
        result_.titleFound = true;
        shown_.clear();
        walk_.emplace(attributes_, values_, titles_, out_, result_);
        for (const std::string& kept : title_.lines())
            walk_->line(kept);
    }
    void addToTitle(std::size_t indent, std::string_view text) {
        if (titleClosed_) return;
        title_.add(indent, text);
        titleClosed_ = containsUpper(text, "</TITLE");
    }

    const std::string& sourceBase_;
    const int titleNumber_;
    int titles_ = 0; // the title tags met so far
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
                  const std::string& sourceBase, int titleNumber, MediaAttributes& attributes,
                  Reporter& out, PlaylistRead& result) {
    TitleScan title(sourceBase, titleNumber, attributes, out, result);
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
                  PlaylistRead& result, int titleNumber) {
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
    scanPlaylist(next, sourceBase, titleNumber, attributes, out, result);
}

void readPlaylistBytes(std::span<const uint8_t> bytes, const std::string& sourceBase,
                       MediaAttributes& attributes, Reporter& out, PlaylistRead& result,
                       int titleNumber) {
    const auto next = [&]() { return std::exchange(bytes, {}); };
    scanPlaylist(next, sourceBase, titleNumber, attributes, out, result);
}

} // namespace tessary
