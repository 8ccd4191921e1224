#include "ops/StreamNames.h"

#include <cstdio>
#include <initializer_list>

#include "engine/StreamSlots.h"

namespace tessary {

namespace {

struct NameRange {
    uint32_t first;
    uint32_t last;
    const char* name;
};

std::string lookUp(int32_t id, std::initializer_list<NameRange> table) {
    const auto code = static_cast<uint32_t>(id);
    for (const auto& range : table)
        if (code >= range.first && code <= range.last) return range.name;
    return {};
}

constexpr uint32_t kNone = 0xFFFFFFFF;

std::string numbered(const std::string& name, int number, int digits) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%0*d", digits, number);
    return name + suffix;
}

} // namespace

std::string VideoStreamName(int32_t id) {
    return lookUp(id, {{kNone, kNone, "No video stream"},
                       {0x55, 0x56, "VC-1.stream"},
                       {0xE0, 0xE1, "MPEG-2.stream"},
                       {0xE2, 0xE3, "H.264.stream"}});
}

std::string AudioStreamName(int32_t id) {
    return lookUp(id, {{kNone, kNone, "No audio stream"},
                       {0x80, 0x87, "DD.stream"},
                       {0x88, 0x8F, "DTSHD.stream"},
                       {0xA0, 0xA7, "LPCM.stream"},
                       {0xB0, 0xB7, "MLP.stream"},
                       {0xC0, 0xCF, "DD+.stream"}});
}

std::string SubpictureStreamName(int32_t id) {
    return lookUp(id, {{kNone, kNone, "No subpicture stream"},
                       {0x20, 0x3F, "Subpicture"},
                       {0x60, 0x7F, "Ext.Subpicture"}});
}

std::string streamCaption(int slot, int32_t id) {
    if (slot >= kFirstVideoSlot && slot < kFirstVideoSlot + kVideoStreams)
        return numbered(VideoStreamName(id), slot - kFirstVideoSlot,
                        suffixDigits(StreamKind::Video));
    if (slot >= kFirstAudioSlot && slot < kFirstAudioSlot + kAudioStreams)
        return numbered(AudioStreamName(id), slot - kFirstAudioSlot,
                        suffixDigits(StreamKind::Audio));
    if (slot >= kFirstSubpictureSlot && slot < kFirstSubpictureSlot + kSubpictureStreams)
        return numbered(SubpictureStreamName(id), slot - kFirstSubpictureSlot,
                        suffixDigits(StreamKind::Subpicture));
    return {};
}

} // namespace tessary
