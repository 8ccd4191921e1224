#include "ops/PackFilter.h"

#include <algorithm>
#include <cstring>

#include "engine/NavigationLayout.h"
#include "streams/StreamTypes.h"

namespace tessary {

namespace {

// Bytes of a pack, from its start.
constexpr std::size_t kMuxRate = 10;      // 3 bytes, then the stuffing byte
constexpr std::size_t kStreamId = 17;     // of the first packet, whose start code is at 14
constexpr std::size_t kPrivate2Sub = 20;  // first payload byte of a private stream 2 packet
constexpr std::size_t kPesFlags = 21;     // PTS and DTS flags in bits 7 and 6
constexpr std::size_t kHeaderLength = 22; // PES header data length H
constexpr std::size_t kHeaderData = 23;   // private stream 1: the substream id is at 23 + H
constexpr uint8_t kHdDvdMuxRate[4] = {0x04, 0x9D, 0x43, 0xF8};

bool in(int value, int first, int last) {
    return value >= first && value <= last;
}

// The stream type a packet belongs to, from its stream id and the substream id or stream id
// extension behind its header (-1: none in the block); null for a packet of no stream.
const StreamType* typeOfPacket(int streamId, int substream) {
    switch (streamId) {
    case 0xBD:
        if (substream < 0) return nullptr;
        return findStreamType(CodeSpace::Substream, static_cast<uint32_t>(substream),
                              SourceType::Evo);
    case 0xFD:
        if (substream < 0) return nullptr;
        return findStreamType(CodeSpace::StreamIdExtension, static_cast<uint32_t>(substream),
                              SourceType::Evo);
    default:
        return findStreamType(CodeSpace::StreamId, static_cast<uint32_t>(streamId),
                              SourceType::Evo);
    }
}

// Where the stream id extension of an extended-stream packet lies: behind the time stamps
// the flags announce, the PES extension flags byte and, when flagged, the P-STD buffer field;
// 0 when that lies beyond the block.
std::size_t extensionOffset(const uint8_t* pack, std::size_t length) {
    if (length <= kPesFlags) return 0;
    std::size_t at = kHeaderData;
    if (pack[kPesFlags] & 0x80) at += 5;
    if (pack[kPesFlags] & 0x40) at += 5;
    if (at >= length) return 0;
    if (pack[at] & 0x10) at += 2;
    at += 2;
    return at < length ? at : 0;
}

} // namespace

PackFilter::PackFilter(const std::array<int32_t, kStreamSlotCount>& streamTable,
                       const RebuildSelection& selection, uint32_t firstVideoPtm,
                       uint32_t lastVideoPtm)
    : streamTable_(streamTable), selection_(selection), firstVideoPtm_(firstVideoPtm),
      lastVideoPtm_(lastVideoPtm) {
    map_.fill(0xFF);
    for (const StreamKind kind : {StreamKind::Video, StreamKind::Audio, StreamKind::Subpicture})
        for (int number = 0; number < streamCount(kind); ++number)
            if (const auto slot = static_cast<std::size_t>(slotOf({kind, number}));
                selection_.kept[slot])
                this->number(kind, streamTable_[slot]);
}

bool PackFilter::listed(StreamKind kind, int id, bool& kept) const {
    for (int number = 0; number < streamCount(kind); ++number) {
        const auto slot = static_cast<std::size_t>(slotOf({kind, number}));
        if (streamTable_[slot] == id) {
            kept = selection_.kept[slot];
            return true;
        }
    }
    return false;
}

void PackFilter::number(StreamKind kind, int id) {
    if (id < 0 || id > 0xFF || map_[static_cast<std::size_t>(id)] != 0xFF) return;
    const StreamType* type = findStreamType(kind, static_cast<uint32_t>(id), SourceType::Evo);
    if (!type) return;
    // The id of its type for the new number. Kept streams are numbered in box order, so the
    // new number is never above the old one and the type has an id for it.
    uint8_t& count = kind == StreamKind::Video   ? videoCount_
                     : kind == StreamKind::Audio ? audioCount_
                                                 : subpictureCount_;
    map_[static_cast<std::size_t>(id)] = static_cast<uint8_t>(type->numberBase + count++);
}

int PackFilter::keptNumbers(StreamKind kind, std::array<int, kSubpictureStreams>& numbers) const {
    int count = 0;
    for (int number = 0; number < streamCount(kind); ++number)
        if (selection_.kept[static_cast<std::size_t>(slotOf({kind, number}))])
            numbers[static_cast<std::size_t>(count++)] = number;
    return count;
}

void PackFilter::navigationPack(uint8_t* pack, std::size_t length) {
    std::array<int, kSubpictureStreams> video{}, audio{}, subpicture{};
    const int videoKept = keptNumbers(StreamKind::Video, video);
    const int audioKept = keptNumbers(StreamKind::Audio, audio);
    const int subpictureKept = keptNumbers(StreamKind::Subpicture, subpicture);
    if (length > nav::kVideoBoundByte) {
        uint8_t& videoBound = pack[nav::kVideoBoundByte];
        videoBound = static_cast<uint8_t>((videoBound & 0xE0) | videoKept);
        uint8_t& audioBound = pack[nav::kAudioBoundByte];
        audioBound = static_cast<uint8_t>((audioBound & 0x03) | (audioKept << 2));
    }

    const nav::SyncTables sync = nav::syncTables(false);
    uint8_t* const d = pack + nav::kEvoDsiData;
    if (length < nav::kEvoDsiData + sync.end() ||
        std::memcmp(pack + nav::kEvoDsiPacket + 2, nav::kEvoDsiHeader, sizeof nav::kEvoDsiHeader) !=
            0)
        return;
    nav::writeBe32(d + nav::kFirstVideoPtm, firstVideoPtm_);
    nav::writeBe32(d + nav::kLastVideoPtm, lastVideoPtm_);
    // Each kept stream's entry moves to its new number; the entries behind them are zeroed.
    std::array<uint32_t, nav::kAudioSyncEntries> audioEntries{};
    for (int i = 0; i < std::min(audioKept, nav::kAudioSyncEntries); ++i)
        if (const int old = audio[static_cast<std::size_t>(i)]; old < nav::kAudioSyncEntries)
            audioEntries[static_cast<std::size_t>(i)] = nav::readBe16(d + sync.audio + 2 * old);
    for (int i = 0; i < nav::kAudioSyncEntries; ++i)
        nav::writeBe16(d + sync.audio + 2 * i, audioEntries[static_cast<std::size_t>(i)]);
    std::array<uint32_t, nav::kSubpictureSyncEntries> subpictureEntries{};
    for (int i = 0; i < subpictureKept; ++i)
        subpictureEntries[static_cast<std::size_t>(i)] =
            nav::readBe32(d + sync.subpicture + 4 * subpicture[static_cast<std::size_t>(i)]);
    for (int i = 0; i < nav::kSubpictureSyncEntries; ++i)
        nav::writeBe32(d + sync.subpicture + 4 * i, subpictureEntries[static_cast<std::size_t>(i)]);
}

bool PackFilter::filter(uint8_t* pack, std::size_t length) {
    if (length <= kStreamId || pack[2] != 0x01 || pack[3] != 0xBA ||
        std::memcmp(pack + kMuxRate, kHdDvdMuxRate, sizeof kHdDvdMuxRate) != 0)
        return true;
    const int kind = pack[kStreamId];
    std::size_t substreamAt = 0; // 0: no substream id in the block
    switch (kind) {
    case 0xBB: navigationPack(pack, length); return true;
    case 0xBD:
        if (length > kHeaderLength && kHeaderData + pack[kHeaderLength] < length)
            substreamAt = kHeaderData + pack[kHeaderLength];
        break;
    case 0xBF:
        if (length > kPrivate2Sub) substreamAt = kPrivate2Sub;
        break;
    case 0xFD: substreamAt = extensionOffset(pack, length); break;
    default: break;
    }
    const int substream = substreamAt ? pack[substreamAt] : -1;
    const StreamType* type = typeOfPacket(kind, substream);

    bool keep = true;
    if (type) {
        const int id = type->space == CodeSpace::StreamId ? kind : substream;
        if (!listed(type->kind, id, keep)) {
            leftOut_.set(static_cast<std::size_t>(id));
            return false;
        }
    } else if (in(kind, 0xC0, 0xDF)) { // MPEG audio
        bool kept = true;
        keep = !listed(StreamKind::Audio, kind, kept) || kept;
    } else if (kind == 0xBF && substream == 0x80) {
        keep = selection_.advancedPacks;
    }

    if ((kind == 0xBD || kind == 0xFD) && substreamAt)
        pack[substreamAt] = map_[static_cast<std::size_t>(substream)];
    else if ((type && type->space == CodeSpace::StreamId) || in(kind, 0xC0, 0xDF))
        pack[kStreamId] = map_[static_cast<std::size_t>(kind)];
    return keep;
}

} // namespace tessary
