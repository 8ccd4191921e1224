#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "engine/RunState.h"
#include "streams/StreamTypes.h"

namespace tessary {

enum class PacketKind : uint8_t {
    None,
    Video,
    Audio,
    Skipped,
    MapOrPadding,
    Private1Header,
    Subpicture,
    Private2,
    MpegAudio,
};

// One packet's payload bytes that lie in one block: block[position .. position + length).
struct PayloadChunk {
    PacketKind kind = PacketKind::None; // Video, Audio or Subpicture
    const uint8_t* block = nullptr;
    std::size_t blockLength = 0; // valid bytes of the block
    std::size_t position = 0;
    std::size_t length = 0;
    int number = -1; // within the kind
    VideoCodec videoCodec = VideoCodec::None;
    int videoCode = 0; // stream id 0xE0..0xE3 or stream id extension 0x55, 0x56
    AudioCodec audioCodec = AudioCodec::None;
    int substreamId = 0;       // audio and subpicture
    uint32_t lastPts = 0;      // PTS most recently decoded from a PES header
    bool packetHasPts = false; // the header of this chunk's packet carried a PTS
    uint32_t streamPts = 0;    // audio/subpicture: last PTS when the stream entered the table
    bool firstOfPacket = false;
    // LPCM: the packet header's word length/sampling frequency/channels byte; -1 for others.
    int lpcmParameters = -1;
    // DVD-Audio (0xA0..0xA7 of an AOB): the bytes of the packet's own header, as its header
    // length gives it, that its payload still begins with (the scanner reads LPCM's three).
    int headerRest = 0;
};

// What the scanner finds, handed to the pass and from there to each of its listeners (frame
// counting, the stream report, the Demux writer). Each listener takes what it needs.
class PassListener {
public:
    virtual ~PassListener() = default;
    // A slot of the stream table was filled for the first time in this pass, with `code`.
    virtual void streamEntered(StreamKind kind, int number, int code) {
        (void)kind, (void)number, (void)code;
    }
    virtual void payload(const PayloadChunk& chunk) { (void)chunk; }
    // The block the chunks lay in was scanned to its end: they are valid no longer.
    virtual void blockEnded() {}
    // Navigation data behind the substream id of a private stream 2 packet; `available` is
    // what the block holds from there on. Returns true when the data was taken, false when it
    // was not complete enough, so that the next packet of its kind is tried.
    virtual bool dataSearchInformation(const uint8_t* data, std::size_t available) {
        (void)data, (void)available;
        return false;
    }
    virtual bool generalControlInformation(const uint8_t* data, std::size_t available) {
        (void)data, (void)available;
        return false;
    }
};

// The resumable byte scanner of one pass. It recognises PES packets by their start codes,
// fills the stream table with the codes that name a stream type in the source and hands each
// payload chunk to the listener. A packet whose payload or skip runs past the end of a block
// continues in the next one.
class PackScanner {
public:
    PackScanner(RunState& state, RunMode mode, SourceType source, PassListener& listener);

    void scanBlock(const uint8_t* block, std::size_t length);
    // Headers that lie whole in their block are read in one go unless this is turned off; the
    // two ways give the same results (the scan fuzzer compares them).
    void readWholeHeaders(bool on) { wholeHeaders_ = on; }

private:
    void startPacket(PacketKind kind);
    void consumeHeaderByte();
    // The header of the packet whose stream id was the byte before `pos`, taken in one go.
    bool takeWholeHeader(const uint8_t* block, std::size_t length, std::size_t& pos);
    void endHeader();
    void videoStreamMet(int code, const StreamType& type);
    void extensionMet(uint8_t byte);
    void substreamHeaderByte(uint8_t byte);
    void audioSubstream(int id);
    void deliver(const uint8_t* block, std::size_t length, std::size_t position, std::size_t chunk);
    // Moves `position` to `target`; a target past the block carries over into the next one.
    void jumpTo(std::size_t& position, std::size_t target, std::size_t length);
    void clearHeaderState();
    // No packet is being parsed: only a start code can change anything.
    bool hunting() const;
    // The stream type of an 8-bit code in the source, looked up once per scanner.
    const StreamType* typeOf(CodeSpace space, uint32_t code) const {
        return types_[static_cast<std::size_t>(space)][code & 0xFF];
    }

    RunState& state_;
    bool wholeHeaders_ = true;
    RunMode mode_;
    SourceType source_;
    PassListener& listener_;
    std::array<std::array<const StreamType*, 256>, 3> types_{};

    uint32_t window_ = 0;
    PacketKind kind_ = PacketKind::None;
    int packetStreamId_ = 0;
    VideoCodec videoCodec_ = VideoCodec::None;
    int videoCode_ = 0;
    // The type of the last audio packet whose id named one.
    const StreamType* audioType_ = nullptr;
    int videoNumber_ = -1;
    int audioNumber_ = -1;
    int subpictureNumber_ = -1;
    int audioSubstreamId_ = 0;
    int subpictureSubstreamId_ = 0;
    int64_t remaining_ = 0;
    uint64_t carrySkip_ = 0;
    bool payloadActive_ = false;
    bool firstChunk_ = false;
    bool skipRest_ = false;
    int lengthCountdown_ = 0;
    int headerCountdown_ = 0;
    uint8_t flags_ = 0;
    int headerDataLeft_ = 0;
    bool inHeaderData_ = false;
    int ptsCountdown_ = 0;
    int ptsDtsCountdown_ = 0;
    uint32_t accumulator_ = 0;
    uint32_t lastPts_ = 0;
    bool ptsInPacket_ = false;
    bool extensionFlagsPending_ = false;
    uint8_t extensionFlags_ = 0;
    int pstdCountdown_ = 0;
    int extension2Countdown_ = 0;
    int substreamCountdown_ = 0;
    int lpcmCountdown_ = 0;
    int lpcmParameters_ = -1;
    int headerRest_ = 0;
    int trueHdCountdown_ = 0;
    bool private2Pending_ = false;
    bool dsiPending_ = false;
    bool gciPending_ = false;
    bool dsiUnseen_ = true;
    bool gciUnseen_ = true;
    uint32_t audioFirstPts_ = 0;
    uint32_t subpictureFirstPts_ = 0;
};

} // namespace tessary
