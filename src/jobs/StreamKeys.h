#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "streams/StreamSlots.h"

namespace tessary {

// A stream named on the command line: v0, v1 (video), a0..a15 (audio), s0..s31 (subpicture).
struct StreamKey {
    char kind; // 'v', 'a' or 's'
    int number;
    bool operator==(const StreamKey&) const = default;
};

// The key as it is written: "v0", "a15", "s3".
std::string keyName(StreamKey key);

// The key of stream `number` of a kind, also of one beyond the boxes (a title's third video
// track is "v2").
std::string keyName(StreamKind kind, int number);

// The slot of the stream table that a key stands for, and the key of a stream slot (1 + video
// number, 17 + audio number, 33 + subpicture number).
int slotOfKey(StreamKey key);
StreamKey keyOfSlot(int slot);

// Parses one key; nullopt when it names no stream box.
std::optional<StreamKey> parseStreamKey(std::string_view key);

// Parses a comma-separated list of keys (blanks allowed). Throws std::invalid_argument naming
// the first key that is not valid.
std::vector<StreamKey> parseSelection(std::string_view list);

} // namespace tessary
