#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>

#include "streams/StreamSlots.h"

namespace tessary {

// What a Rebuild keeps: the stream boxes ticked when it started, by slot, and whether the
// advanced packs (ADV_PCK) go into the rebuilt file.
struct RebuildSelection {
    std::array<bool, kStreamSlotCount> kept{};
    bool advancedPacks = false;
};

// The new identifier of each stream identifier; 0xFF: none.
using RenumberMap = std::array<uint8_t, 256>;

// Decides for each 2048-byte pack of an HD DVD source whether it goes into the rebuilt file,
// and rewrites in place the bytes that carry stream numbers, so that the kept streams of each
// kind are numbered from 0. Navigation packs get the new stream counts in their system header
// and, in their DSI, the first and last video PTM and the audio and subpicture entries of the
// kept streams under their new numbers. Numbers are given in box order when the filter is made
// and hold for the whole run (both files of a continued feature). The packets of a stream the
// Read did not list (found too late, or sharing a number with a stream it did list) are left
// out: no number can be given to them. Packs of another mux rate or with pack stuffing pass
// unchanged.
class PackFilter {
public:
    PackFilter(const std::array<int32_t, kStreamSlotCount>& streamTable,
               const RebuildSelection& selection, uint32_t firstVideoPtm, uint32_t lastVideoPtm);

    // `length` is what the block holds: 2048, less for a short last block. Returns whether the
    // pack is kept; nothing is read or written beyond `length`.
    bool filter(uint8_t* pack, std::size_t length);

    const RenumberMap& renumberMap() const { return map_; }
    // The video, audio and subpicture identifiers of the streams the Read did not list whose
    // packets were left out.
    const std::bitset<256>& leftOut() const { return leftOut_; }

private:
    // Whether a slot of the kind holds the stream; if so, `kept` says whether it is kept.
    bool listed(StreamKind kind, int id, bool& kept) const;
    void number(StreamKind kind, int id);
    void navigationPack(uint8_t* pack, std::size_t length);
    // The kept streams of a kind, in box order, by their number within the kind.
    int keptNumbers(StreamKind kind, std::array<int, kSubpictureStreams>& numbers) const;

    std::array<int32_t, kStreamSlotCount> streamTable_;
    RebuildSelection selection_;
    uint32_t firstVideoPtm_;
    uint32_t lastVideoPtm_;
    RenumberMap map_;
    std::bitset<256> leftOut_;
    uint8_t videoCount_ = 0;
    uint8_t audioCount_ = 0;
    uint8_t subpictureCount_ = 0;
};

} // namespace tessary
