#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "engine/PackScanner.h"
#include "platform/OutputFile.h"
#include "streams/StreamSlots.h"

namespace tessary {

class LpcmWavWriter;
class OutputFile;
class PieceWriter;

// The outputs of a Demux, one per selected stream box; nullptr where none is open. The set
// is fixed when the operation starts: ticking a box during the pass changes nothing.
struct DemuxOutputs {
    std::array<OutputFile*, kStreamSlotCount> bySlot{};
    // The audio streams written as WAV, through their writer instead of their file.
    std::array<LpcmWavWriter*, kAudioStreams> wavByAudio{};
    // The slots whose files leave out what is left of each DVD-Audio packet's header
    // (PayloadChunk::headerRest), so that they hold the stream's bytes alone.
    std::array<bool, kStreamSlotCount> withoutHeaderRest{};

    OutputFile* of(StreamKind kind, int number) const {
        if (number < 0 || number >= streamCount(kind)) return nullptr;
        return bySlot[static_cast<std::size_t>(slotOf({kind, number}))];
    }
    LpcmWavWriter* wavOf(int audioNumber) const {
        if (audioNumber < 0 || audioNumber >= kAudioStreams) return nullptr;
        return wavByAudio[static_cast<std::size_t>(audioNumber)];
    }
};

// The writer of a Demux pass. Video gets the PES payload, audio what follows the substream
// header, and an open output takes the packets of the stream its slot holds in the pass's
// stream table (the first met with that number): a packet of another codec that shares the
// number would be noise in it. Subpicture units become records: "SP", the unit's PTS rebased
// to the smallest first PTS of the Read (little-endian, 32 bits), 0 (32 bits), then the unit's
// bytes from all its packets. An audio stream written as WAV takes only LPCM packets; one
// written without the header rest takes a DVD-Audio packet's bytes behind its whole header.
//
// The payload is not copied: each output takes the pieces of a block where they lie, in one
// append at the block's end, through the piece writer when there is one (which may write them
// later, while the block is kept).
class DemuxWriter : public PassListener {
public:
    // `minFirstPts` is kNoPts when the Read reported no details: time stamps then stay as
    // they are. `streamTable` is the pass's, filled as the packets come.
    DemuxWriter(const DemuxOutputs& outputs, uint32_t minFirstPts,
                const std::array<int32_t, kStreamSlotCount>& streamTable,
                PieceWriter* pieces = nullptr)
        : outputs_(outputs), minFirstPts_(minFirstPts), streamTable_(streamTable), pieces_(pieces) {
    }

    void payload(const PayloadChunk& chunk) override;
    void blockEnded() override;

private:
    const DemuxOutputs& outputs_;
    uint32_t minFirstPts_;
    const std::array<int32_t, kStreamSlotCount>& streamTable_;
    // Per slot, what the block holds for its output so far; the record headers they point to.
    std::array<std::vector<OutputPiece>, kStreamSlotCount> pending_;
    // Per slot, the bytes of the current packet's header still to leave out.
    std::array<std::size_t, kStreamSlotCount> headerLeft_{};
    using Headers = std::deque<std::array<uint8_t, 10>>;
    std::shared_ptr<Headers> headers_ = std::make_shared<Headers>();
    PieceWriter* pieces_;
};

} // namespace tessary
