#include "engine/StreamIdentity.h"

namespace tessary {

namespace {

constexpr int kPrivateStream1 = 0xBD;
constexpr int kExtendedStream = 0xFD;

} // namespace

StreamIdentity identifyStream(StreamKind kind, int32_t code, SourceType source) {
    const StreamType* type = findStreamType(kind, static_cast<uint32_t>(code), source);
    if (!type) return {};
    switch (type->space) {
    case CodeSpace::StreamId: return {type->codecName, code, std::nullopt};
    case CodeSpace::Substream: return {type->codecName, kPrivateStream1, code};
    case CodeSpace::StreamIdExtension: return {type->codecName, kExtendedStream, code};
    }
    return {};
}

} // namespace tessary
