#include "engine/DemuxWriter.h"

#include <algorithm>

#include "engine/LpcmWavWriter.h"
#include "engine/PieceWriter.h"
#include "engine/RunState.h"
#include "platform/OutputFile.h"

namespace tessary {

namespace {

constexpr std::size_t kRecordHeaderSize = 10;

void writeLe32(uint8_t* p, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(value >> (8 * i));
}

} // namespace

void DemuxWriter::payload(const PayloadChunk& chunk) {
    StreamKind kind;
    switch (chunk.kind) {
    case PacketKind::Video: kind = StreamKind::Video; break;
    case PacketKind::Audio: kind = StreamKind::Audio; break;
    case PacketKind::Subpicture: kind = StreamKind::Subpicture; break;
    default: return;
    }
    const int code = kind == StreamKind::Video ? chunk.videoCode : chunk.substreamId;
    if (streamTable_[static_cast<std::size_t>(slotOf({kind, chunk.number}))] != code) return;
    if (LpcmWavWriter* wav = kind == StreamKind::Audio ? outputs_.wavOf(chunk.number) : nullptr) {
        if (chunk.audioCodec == AudioCodec::Lpcm)
            wav->write(chunk.block + chunk.position, chunk.length, chunk.lpcmParameters);
        return;
    }
    const int slot = slotOf({kind, chunk.number});
    if (!outputs_.bySlot[static_cast<std::size_t>(slot)]) return;
    std::vector<OutputPiece>& pending = pending_[static_cast<std::size_t>(slot)];
    // A subpicture unit starts with a packet that carries a PTS, whatever its value.
    if (kind == StreamKind::Subpicture && chunk.firstOfPacket && chunk.packetHasPts) {
        const uint32_t pts = minFirstPts_ == kNoPts ? chunk.lastPts : chunk.lastPts - minFirstPts_;
        std::array<uint8_t, kRecordHeaderSize>& header = headers_->emplace_back();
        header.fill(0);
        header[0] = 'S';
        header[1] = 'P';
        writeLe32(header.data() + 2, pts);
        pending.push_back({header.data(), header.size()});
    }
    const uint8_t* data = chunk.block + chunk.position;
    std::size_t length = chunk.length;
    if (outputs_.withoutHeaderRest[static_cast<std::size_t>(slot)]) {
        // The header may reach past the packet's first chunk.
        std::size_t& left = headerLeft_[static_cast<std::size_t>(slot)];
        if (chunk.firstOfPacket) left = static_cast<std::size_t>(chunk.headerRest);
        const std::size_t dropped = std::min(left, length);
        data += dropped;
        length -= dropped;
        left -= dropped;
        if (length == 0) return;
    }
    // Pieces that follow each other in the block are one.
    if (!pending.empty() && pending.back().data >= chunk.block &&
        pending.back().data + pending.back().length == data)
        pending.back().length += length;
    else
        pending.push_back({data, length});
}

void DemuxWriter::blockEnded() {
    std::vector<PieceAppend> appends;
    for (std::size_t slot = 0; slot < pending_.size(); ++slot) {
        if (pending_[slot].empty()) continue;
        appends.push_back({outputs_.bySlot[slot], std::move(pending_[slot])});
        pending_[slot].clear();
    }
    if (pieces_) {
        // The record headers go with the pieces that point at them.
        if (!appends.empty())
            pieces_->submit(std::move(appends), [headers = std::move(headers_)] {});
        headers_ = std::make_shared<Headers>();
        return;
    }
    for (PieceAppend& append : appends)
        append.file->appendPieces(append.pieces.data(), append.pieces.size());
    headers_->clear();
}

} // namespace tessary
