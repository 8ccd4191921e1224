#include "jobs/StreamKeys.h"

#include <charconv>
#include <stdexcept>

#include "streams/StreamSlots.h"

namespace tessary {

namespace {

StreamKind kindOfKey(char kind) {
    switch (kind) {
    case 'v': return StreamKind::Video;
    case 'a': return StreamKind::Audio;
    default: return StreamKind::Subpicture;
    }
}

char keyLetter(StreamKind kind) {
    switch (kind) {
    case StreamKind::Video: return 'v';
    case StreamKind::Audio: return 'a';
    case StreamKind::Subpicture: return 's';
    }
    return '?';
}

} // namespace

std::string keyName(StreamKey key) {
    return key.kind + std::to_string(key.number);
}

int slotOfKey(StreamKey key) {
    return slotOf({kindOfKey(key.kind), key.number});
}

StreamKey keyOfSlot(int slot) {
    const StreamRef stream = streamOfSlot(slot).value();
    return {keyLetter(stream.kind), stream.number};
}

std::optional<StreamKey> parseStreamKey(std::string_view key) {
    if (key.size() < 2 || key.size() > 3) return std::nullopt;
    const char kind = key[0];
    if (kind != 'v' && kind != 'a' && kind != 's') return std::nullopt;
    const int limit = streamCount(kindOfKey(kind));
    const std::string_view digits = key.substr(1);
    if (digits.size() > 1 && digits[0] == '0') return std::nullopt; // no "a01"
    int number = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (ec != std::errc() || end != digits.data() + digits.size() || number < 0 || number >= limit)
        return std::nullopt;
    return StreamKey{kind, number};
}

std::vector<StreamKey> parseSelection(std::string_view list) {
    std::vector<StreamKey> keys;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t comma = list.find(',', start);
        if (comma == std::string_view::npos) comma = list.size();
        std::string_view key = list.substr(start, comma - start);
        while (!key.empty() && key.front() == ' ')
            key.remove_prefix(1);
        while (!key.empty() && key.back() == ' ')
            key.remove_suffix(1);
        const auto parsed = parseStreamKey(key);
        if (!parsed)
            throw std::invalid_argument("\"" + std::string(key) +
                                        "\" is not a stream key (v0, v1, a0 to a15, s0 to s31)");
        keys.push_back(*parsed);
        start = comma + 1;
    }
    return keys;
}

std::string keyName(StreamKind kind, int number) {
    const char letter = kind == StreamKind::Video ? 'v' : kind == StreamKind::Audio ? 'a' : 's';
    return keyName({letter, number});
}

} // namespace tessary
