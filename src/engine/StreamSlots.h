#pragma once

#include <cstdint>

namespace tessary {

// Slots of the stream table: 1 + video number, 17 + audio number, 33 + subpicture number.
inline constexpr int kStreamSlotCount = 65;
inline constexpr int kVideoStreams = 2;
inline constexpr int kAudioStreams = 16;
inline constexpr int kSubpictureStreams = 32;
inline constexpr int kFirstVideoSlot = 1;
inline constexpr int kFirstAudioSlot = 17;
inline constexpr int kFirstSubpictureSlot = 33;
inline constexpr int kNoStream = -1;

enum class StreamKind { Video, Audio, Subpicture };

inline constexpr int videoSlot(int number) {
    return kFirstVideoSlot + number;
}
inline constexpr int audioSlot(int number) {
    return kFirstAudioSlot + number;
}
inline constexpr int subpictureSlot(int number) {
    return kFirstSubpictureSlot + number;
}

// The check-box caption suffix of a slot: ".0"/".1" for video, ".00".. for the others.
inline constexpr int suffixDigits(StreamKind kind) {
    return kind == StreamKind::Video ? 1 : 2;
}

} // namespace tessary
