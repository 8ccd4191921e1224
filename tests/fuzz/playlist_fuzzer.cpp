// Fuzz target: arbitrary bytes as a playlist. The tag scanner must cut the same lines whatever
// blocks the bytes come in (the block size is taken from the first byte); the attribute readers
// run over every line; then the whole read and the list of titles, for which ConversionError is
// an expected outcome.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/Reporter.h"
#include "playlist/DiscTitles.h"
#include "playlist/PlaylistReader.h"
#include "playlist/TagScanner.h"
#include "playlist/XplText.h"

namespace {
std::vector<std::string> scanned(const uint8_t* data, std::size_t size, std::size_t blockSize) {
    std::vector<std::string> lines;
    tessary::TagScanner scanner([&](std::size_t indent, std::string_view text) {
        lines.push_back(tessary::TagScanner::lineText(indent, text));
    });
    for (std::size_t offset = 0; offset < size; offset += blockSize) {
        // Each block in a buffer of its own size, so that any read past its end is caught.
        const std::size_t n = size - offset < blockSize ? size - offset : blockSize;
        std::vector<uint8_t> block(data + offset, data + offset + n);
        scanner.scan(block.data(), block.size());
    }
    return lines;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace tessary;
    if (size < 1) return 0;
    const std::size_t blockSize = 1 + data[0];
    data += 1;
    size -= 1;

    const std::vector<std::string> lines = scanned(data, size, size ? size : 1);
    if (scanned(data, size, blockSize) != lines) __builtin_trap();
    for (const std::string& line : lines) {
        for (const char* name : {"index", "codec", "streamNumber", "titleTimeBegin", "x", ""})
            if (const auto value = GetAttr(line, name); value && value->size() > 255)
                __builtin_trap();
        GetAttrInt(line, "mediaAttr");
        GetAttrInt(line, "track");
    }

    const std::vector<uint8_t> bytes(data, data + size);
    MediaAttributes attributes;
    SilentReporter out;
    PlaylistRead result;
    try {
        readPlaylistBytes(bytes, "FEATURE_1", attributes, out, result);
    } catch (const ConversionError&) {
    }
    if (result.tagLines.size() > kMaxTagLines || result.chapters.size() > kMaxChapters)
        __builtin_trap();

    // Every title, and the first few read again by their numbers.
    try {
        std::size_t reread = 0;
        for (const PlaylistRead& title : readPlaylistTitlesBytes(bytes)) {
            if (title.title.clips.size() > kMaxClips) __builtin_trap();
            if (++reread > 4) continue;
            PlaylistRead byNumber;
            MediaAttributes fresh;
            readPlaylistBytes(bytes, "", fresh, out, byNumber, title.title.number);
        }
    } catch (const ConversionError&) {
    }
    return 0;
}
