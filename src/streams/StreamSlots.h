#pragma once

#include <cstdint>
#include <optional>

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
// The video slots the stream table keeps: 1 to 16, of which only the first kVideoStreams are
// ever filled. A playlist's video track up to this number is declared.
inline constexpr int kVideoSlotsReserved = kFirstAudioSlot - kFirstVideoSlot;

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

// A stream of the selection: its kind and its number within the kind.
struct StreamRef {
    StreamKind kind;
    int number;
    bool operator==(const StreamRef&) const = default;
};

inline constexpr int streamCount(StreamKind kind) {
    switch (kind) {
    case StreamKind::Video: return kVideoStreams;
    case StreamKind::Audio: return kAudioStreams;
    case StreamKind::Subpicture: return kSubpictureStreams;
    }
    return 0;
}

inline constexpr int slotOf(StreamRef stream) {
    switch (stream.kind) {
    case StreamKind::Video: return videoSlot(stream.number);
    case StreamKind::Audio: return audioSlot(stream.number);
    case StreamKind::Subpicture: return subpictureSlot(stream.number);
    }
    return 0;
}

// The stream a slot stands for; nullopt for slot 0 and the video slots 3 to 16, which are
// never filled.
inline constexpr std::optional<StreamRef> streamOfSlot(int slot) {
    if (slot >= kFirstVideoSlot && slot < kFirstVideoSlot + kVideoStreams)
        return StreamRef{StreamKind::Video, slot - kFirstVideoSlot};
    if (slot >= kFirstAudioSlot && slot < kFirstAudioSlot + kAudioStreams)
        return StreamRef{StreamKind::Audio, slot - kFirstAudioSlot};
    if (slot >= kFirstSubpictureSlot && slot < kFirstSubpictureSlot + kSubpictureStreams)
        return StreamRef{StreamKind::Subpicture, slot - kFirstSubpictureSlot};
    return std::nullopt;
}

inline constexpr const char* kindName(StreamKind kind) {
    switch (kind) {
    case StreamKind::Video: return "video";
    case StreamKind::Audio: return "audio";
    case StreamKind::Subpicture: return "subpicture";
    }
    return "";
}

// The check-box caption suffix of a slot: ".0"/".1" for video, ".00".. for the others.
inline constexpr int suffixDigits(StreamKind kind) {
    return kind == StreamKind::Video ? 1 : 2;
}

} // namespace tessary
