#include "ops/StreamNames.h"

#include <cstdio>

#include "streams/StreamTypes.h"

namespace tessary {

namespace {

constexpr int32_t kNone = -1;

std::string numbered(const std::string& name, int number, int digits) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%0*d", digits, number);
    return name + suffix;
}

// A box is named by its code alone, whatever the source: a code has the same caption in
// every source, so that of an EVO is taken.
std::string caption(StreamKind kind, int32_t id) {
    const StreamType* type = findStreamType(kind, static_cast<uint32_t>(id), SourceType::Evo);
    return type ? std::string(type->caption) : std::string();
}

} // namespace

std::string VideoStreamName(int32_t id) {
    return id == kNone ? "No video stream" : caption(StreamKind::Video, id);
}

std::string AudioStreamName(int32_t id) {
    return id == kNone ? "No audio stream" : caption(StreamKind::Audio, id);
}

std::string SubpictureStreamName(int32_t id) {
    return id == kNone ? "No subpicture stream" : caption(StreamKind::Subpicture, id);
}

std::string streamCaption(int slot, int32_t id) {
    const auto stream = streamOfSlot(slot);
    if (!stream) return {};
    std::string name;
    switch (stream->kind) {
    case StreamKind::Video: name = VideoStreamName(id); break;
    case StreamKind::Audio: name = AudioStreamName(id); break;
    case StreamKind::Subpicture: name = SubpictureStreamName(id); break;
    }
    return numbered(name, stream->number, suffixDigits(stream->kind));
}

} // namespace tessary
