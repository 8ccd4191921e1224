#include "engine/DemuxWriter.h"

#include "engine/LpcmWavWriter.h"
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
    OutputFile* output = outputs_.of(kind, chunk.number);
    if (!output) return;
    // A subpicture unit starts with a packet that carries a PTS, whatever its value.
    if (kind == StreamKind::Subpicture && chunk.firstOfPacket && chunk.packetHasPts) {
        const uint32_t pts = minFirstPts_ == kNoPts ? chunk.lastPts : chunk.lastPts - minFirstPts_;
        uint8_t header[kRecordHeaderSize] = {'S', 'P'};
        writeLe32(header + 2, pts);
        writeLe32(header + 6, 0);
        output->append(header, kRecordHeaderSize);
    }
    output->append(chunk.block + chunk.position, chunk.length);
}

} // namespace tessary
