#include "playlist/DiscTitles.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <utility>

#include "platform/InputFile.h"
#include "platform/LogText.h"
#include "platform/Reporter.h"
#include "playlist/TagScanner.h"
#include "playlist/TitleWalk.h"

namespace tessary {

namespace {

// Walks each title from its tag to its first closing tag, the playlist-wide values (media
// attributes, time base) taken from every line as they come.
class TitleList {
public:
    TitleList() : values_(attributes_) {}

    void line(std::string_view text) {
        values_.check(text);
        if (containsUpper(text, "<TITLE ")) {
            close();
            if (titles_.size() < kMaxTitles) {
                current_.emplace();
                walk_.emplace(attributes_, values_, ++ordinal_, unlogged_, *current_);
            }
        }
        if (!walk_) return;
        walk_->line(text);
        if (containsUpper(text, "</TITLE")) close();
    }

    std::vector<PlaylistRead> finish() {
        close();
        return std::move(titles_);
    }

private:
    void close() {
        if (!walk_) return;
        walk_->finish();
        walk_.reset();
        PlaylistRead& title = *current_;
        title.tree = {};
        std::vector<Chapter>& chapters = title.chapters;
        const std::size_t kept = std::min(chapters.size(), kMaxListedChapters - chaptersKept_);
        title.title.chaptersDropped = chapters.size() - kept;
        chapters.resize(kept);
        chapters.shrink_to_fit();
        chaptersKept_ += kept;
        titles_.push_back(std::move(title));
        current_.reset();
    }

    MediaAttributes attributes_;
    LineChecks values_;
    SilentReporter unlogged_;
    int ordinal_ = 0;
    std::size_t chaptersKept_ = 0;
    std::optional<PlaylistRead> current_;
    std::optional<TitleWalk> walk_;
    std::vector<PlaylistRead> titles_;
};

std::vector<PlaylistRead> scanTitles(const std::function<std::span<const uint8_t>()>& next) {
    TitleList titles;
    TagScanner scanner([&titles](std::size_t, std::string_view text) { titles.line(text); });
    for (auto chunk = next(); !chunk.empty(); chunk = next())
        scanner.scan(chunk.data(), chunk.size());
    return titles.finish();
}

} // namespace

std::vector<PlaylistRead> readPlaylistTitles(const std::string& path,
                                             const std::string& playlistName, Reporter& out) {
    InputFile file(path);
    out.log("Open " + literal(playlistName));
    out.log("Filesize: " + std::to_string(file.size()) + " bytes");
    std::vector<uint8_t> block(262144);
    return scanTitles([&]() -> std::span<const uint8_t> {
        if (file.position() >= file.size()) return {};
        return {block.data(), file.read(block.data(), block.size())};
    });
}

std::vector<PlaylistRead> readPlaylistTitlesBytes(std::span<const uint8_t> bytes) {
    return scanTitles([&]() { return std::exchange(bytes, {}); });
}

} // namespace tessary
