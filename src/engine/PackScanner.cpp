#include "engine/PackScanner.h"

#include "engine/StartCodeSearch.h"

#include <algorithm>
#include <cstring>

namespace tessary {

namespace {

// The stream id of the packets whose stream is named by their stream id extension.
constexpr int kExtendedStreamId = 0xFD;

// Whether 00 00 01 and the byte after it lie in data[0, length).
bool holdsStartCode(const uint8_t* data, std::size_t length) {
    for (std::size_t i = 0; i + 3 < length; ++i)
        if (data[i + 2] == 0x01 && data[i] == 0 && data[i + 1] == 0) return true;
    return false;
}

// The 32 bits of a PES time stamp that a pass keeps (the top bit of the 33 is dropped).
uint32_t timeStampAt(const uint8_t* b) {
    return static_cast<uint32_t>(b[0] & 0x06) << 29 | static_cast<uint32_t>(b[1]) << 22 |
           static_cast<uint32_t>(b[2] & 0xFE) << 14 | static_cast<uint32_t>(b[3]) << 7 |
           static_cast<uint32_t>(b[4] & 0xFE) >> 1;
}

} // namespace

PackScanner::PackScanner(RunState& state, RunMode mode, SourceType source, PassListener& listener)
    : state_(state), mode_(mode), source_(source), listener_(listener) {
    for (const CodeSpace space :
         {CodeSpace::StreamId, CodeSpace::Substream, CodeSpace::StreamIdExtension})
        for (uint32_t code = 0; code < 256; ++code)
            types_[static_cast<std::size_t>(space)][code] = findStreamType(space, code, source);
}

void PackScanner::clearHeaderState() {
    lengthCountdown_ = 0;
    headerCountdown_ = 0;
    headerDataLeft_ = 0;
    inHeaderData_ = false;
    ptsCountdown_ = 0;
    ptsDtsCountdown_ = 0;
    extensionFlagsPending_ = false;
    pstdCountdown_ = 0;
    extension2Countdown_ = 0;
    substreamCountdown_ = 0;
    lpcmCountdown_ = 0;
    trueHdCountdown_ = 0;
    skipRest_ = false;
}

void PackScanner::startPacket(PacketKind kind) {
    clearHeaderState();
    kind_ = kind;
    ptsInPacket_ = false;
    lengthCountdown_ = 2;
}

void PackScanner::videoStreamMet(int code, const StreamType& type) {
    const int number = type.number(static_cast<uint32_t>(code));
    videoNumber_ = number;
    videoCode_ = code;
    videoCodec_ = type.video;
    const int slot = videoSlot(number);
    if (state_.streamTable[slot] == kNoStream) {
        state_.streamTable[slot] = code;
        listener_.streamEntered(StreamKind::Video, number, code);
    } else if (state_.streamTable[slot] != code) {
        state_.noteSharedNumber(StreamKind::Video, number, code);
    }
}

// The stream id extension names the stream of an extended-stream packet.
void PackScanner::extensionMet(uint8_t byte) {
    const int extension = byte & 0x7F;
    const StreamType* type = typeOf(CodeSpace::StreamIdExtension, static_cast<uint32_t>(extension));
    if (type && type->kind == StreamKind::Video)
        videoStreamMet(extension, *type);
    else
        kind_ = PacketKind::Skipped;
}

void PackScanner::endHeader() {
    inHeaderData_ = false;
    headerDataLeft_ = 0;
    ptsCountdown_ = 0;
    ptsDtsCountdown_ = 0;
    extensionFlagsPending_ = false;
    pstdCountdown_ = 0;
    extension2Countdown_ = 0;
    if (kind_ == PacketKind::Private1Header) {
        substreamCountdown_ = 4;
    } else {
        payloadActive_ = true;
        firstChunk_ = true;
    }
}

// One byte of the PES header data: time stamps, the PES extension, then stuffing.
void PackScanner::consumeHeaderByte() {
    const uint8_t byte = static_cast<uint8_t>(window_);
    --remaining_;
    --headerDataLeft_;
    auto fold = [this](int index, uint8_t b) {
        switch (index) {
        case 0: accumulator_ = static_cast<uint32_t>(b & 0x06) << 29; break;
        case 1: accumulator_ |= static_cast<uint32_t>(b) << 22; break;
        case 2: accumulator_ |= static_cast<uint32_t>(b & 0xFE) << 14; break;
        case 3: accumulator_ |= static_cast<uint32_t>(b) << 7; break;
        case 4: accumulator_ |= static_cast<uint32_t>(b & 0xFE) >> 1; break;
        default: break;
        }
    };
    bool timeStampsDone = false;
    if (ptsCountdown_ > 0) {
        fold(5 - ptsCountdown_, byte);
        if (--ptsCountdown_ == 0) {
            lastPts_ = accumulator_;
            ptsInPacket_ = true;
            timeStampsDone = true;
        }
    } else if (ptsDtsCountdown_ > 0) {
        const int index = 10 - ptsDtsCountdown_;
        fold(index, byte);
        if (index == 4) {
            lastPts_ = accumulator_;
            ptsInPacket_ = true;
        }
        if (--ptsDtsCountdown_ == 0) timeStampsDone = true;
    } else if (extensionFlagsPending_) {
        extensionFlagsPending_ = false;
        extensionFlags_ = byte;
        if (byte & 0x10)
            pstdCountdown_ = 2;
        else if (byte & 0x01)
            extension2Countdown_ = 2;
    } else if (pstdCountdown_ > 0) {
        if (--pstdCountdown_ == 0 && (extensionFlags_ & 0x01)) extension2Countdown_ = 2;
    } else if (extension2Countdown_ > 0) {
        if (--extension2Countdown_ == 0 && packetStreamId_ == kExtendedStreamId) {
            extensionMet(byte);
        }
    }
    // The PES extension of a video packet is read.
    if (timeStampsDone && kind_ == PacketKind::Video && (flags_ & 0x01))
        extensionFlagsPending_ = true;
    if (headerDataLeft_ <= 0) endHeader();
}

// The byte machine reads a packet's length, the PES header and its data a byte at a time, the
// same for a header cut by the block end. Most headers lie whole in their block, and those
// are read here field by field, leaving the state the byte machine would leave behind them.
// Where a start code ends inside the header (the byte machine would begin a packet there), a
// header that is cut short or one whose time stamps do not fit in its data, nothing is
// changed and the byte machine takes the header.
bool PackScanner::takeWholeHeader(const uint8_t* block, std::size_t length, std::size_t& pos) {
    const std::size_t at = pos;
    if (length - at < 2) return false;
    const int packetLength = block[at] << 8 | block[at + 1];
    if (kind_ == PacketKind::Private2 || kind_ == PacketKind::MapOrPadding) {
        // (Two bytes cannot end a start code: the stream id before them is neither 00 nor 01.)
        lengthCountdown_ = 0;
        remaining_ = packetLength;
        (kind_ == PacketKind::Private2 ? private2Pending_ : skipRest_) = packetLength > 0;
        window_ = window_ << 16 | static_cast<uint32_t>(packetLength);
        pos = at + 2;
        return true;
    }
    if (length - at < 5) return false;
    const uint8_t flags = block[at + 3];
    const std::size_t dataLength = block[at + 4];
    const std::size_t end = at + 5 + dataLength;
    if (end > length || holdsStartCode(block + at, end - at)) return false;
    const uint8_t* data = block + at + 5;
    const int timing = flags >> 6;
    const std::size_t stampLength = timing == 2 ? 5 : timing == 3 ? 10 : 0;
    if (dataLength > 0 && dataLength < stampLength) return false;

    lengthCountdown_ = 0;
    remaining_ = packetLength - 3 - static_cast<int64_t>(dataLength);
    flags_ = flags;
    if (dataLength > 0) {
        if (stampLength > 0) {
            accumulator_ = timeStampAt(data);
            lastPts_ = accumulator_;
            ptsInPacket_ = true;
        }
        // The PES extension: read behind the time stamps of a video packet, or alone.
        const bool extension =
            (flags & 0x01) && (timing == 0 || (stampLength > 0 && kind_ == PacketKind::Video));
        if (extension && stampLength < dataLength) {
            extensionFlags_ = data[stampLength];
            const std::size_t extension2 = stampLength + 1 + (extensionFlags_ & 0x10 ? 2 : 0);
            if ((extensionFlags_ & 0x01) && extension2 + 2 <= dataLength &&
                packetStreamId_ == kExtendedStreamId) {
                extensionMet(data[extension2 + 1]);
            }
        }
    }
    endHeader();
    window_ = static_cast<uint32_t>(block[end - 4]) << 24 |
              static_cast<uint32_t>(block[end - 3]) << 16 |
              static_cast<uint32_t>(block[end - 2]) << 8 | block[end - 1];
    pos = end;
    return true;
}

void PackScanner::audioSubstream(int id) {
    const StreamType* type = typeOf(CodeSpace::Substream, static_cast<uint32_t>(id));
    if (type && type->kind != StreamKind::Audio) type = nullptr;
    // An id that names no type is numbered by its low four bits.
    audioNumber_ = type ? type->number(static_cast<uint32_t>(id)) : id & 0x0F;
    if (type) {
        audioType_ = type;
        audioSubstreamId_ = id;
        const int slot = audioSlot(audioNumber_);
        if (state_.streamTable[slot] < 0) {
            state_.streamTable[slot] = id;
            audioFirstPts_ = lastPts_;
            listener_.streamEntered(StreamKind::Audio, audioNumber_, id);
        } else if (state_.streamTable[slot] != id) {
            state_.noteSharedNumber(StreamKind::Audio, audioNumber_, id);
        }
    }
    lastPts_ = 0;
    // An id that names no type keeps the type of the previous audio packet; its payload is
    // taken only when it passes that codec's test, otherwise skipped: for LPCM and TrueHD
    // the id must lie in the sixteen from the type's number 0 (0xA8..0xAF after LPCM,
    // 0xB8..0xBF after TrueHD). Before any audio packet, nothing is taken.
    auto skipPayload = [this] {
        kind_ = PacketKind::Skipped;
        payloadActive_ = true;
    };
    switch (audioType_ ? audioType_->audio : AudioCodec::None) {
    case AudioCodec::TrueHd:
        if (id == (audioNumber_ | audioType_->numberBase))
            trueHdCountdown_ = 1;
        else
            skipPayload();
        break;
    case AudioCodec::Lpcm:
        if (id == (audioNumber_ | audioType_->numberBase)) {
            lpcmCountdown_ = 3;
            lpcmParameters_ = -1;
            // A DVD-Audio packet gives its header's length in the two bytes behind the
            // continuity counter, which the window still holds.
            headerRest_ = source_ == SourceType::Aob
                              ? std::max(0, static_cast<int>(window_ & 0xFFFF) - lpcmCountdown_)
                              : 0;
        } else {
            skipPayload();
        }
        break;
    case AudioCodec::None: skipPayload(); break;
    default:
        payloadActive_ = true;
        firstChunk_ = true;
        kind_ = id == (audioNumber_ | audioSubstreamId_) ? PacketKind::Audio : PacketKind::Skipped;
        break;
    }
}

void PackScanner::substreamHeaderByte(uint8_t byte) {
    --remaining_;
    const StreamType* subpicture =
        substreamCountdown_ == 4 ? typeOf(CodeSpace::Substream, byte) : nullptr;
    if (subpicture && subpicture->kind == StreamKind::Subpicture) {
        substreamCountdown_ = 0;
        subpictureNumber_ = subpicture->number(byte);
        subpictureSubstreamId_ = byte;
        const int slot = subpictureSlot(subpictureNumber_);
        if (state_.streamTable[slot] == kNoStream) {
            state_.streamTable[slot] = byte;
            subpictureFirstPts_ = lastPts_;
            listener_.streamEntered(StreamKind::Subpicture, subpictureNumber_, byte);
        } else if (state_.streamTable[slot] != byte) {
            state_.noteSharedNumber(StreamKind::Subpicture, subpictureNumber_, byte);
        }
        // A Read forgets the time stamp of a DVD subpicture packet, not of an extended one.
        if (subpicture->subpicture == SubpictureCodec::Standard && mode_ == RunMode::Read)
            lastPts_ = 0;
        kind_ = PacketKind::Subpicture;
        payloadActive_ = true;
        firstChunk_ = true;
        return;
    }
    if (--substreamCountdown_ == 0) audioSubstream(static_cast<int>(window_ >> 24));
}

void PackScanner::deliver(const uint8_t* block, std::size_t length, std::size_t position,
                          std::size_t chunk) {
    PayloadChunk c;
    c.kind = kind_;
    c.block = block;
    c.blockLength = length;
    c.position = position;
    c.length = chunk;
    c.lastPts = lastPts_;
    c.packetHasPts = ptsInPacket_;
    c.firstOfPacket = firstChunk_;
    firstChunk_ = false;
    switch (kind_) {
    case PacketKind::Video:
        if (videoNumber_ < 0 || videoNumber_ >= kVideoStreams) return;
        c.number = videoNumber_;
        c.videoCodec = videoCodec_;
        c.videoCode = videoCode_;
        break;
    case PacketKind::Audio:
        if (audioNumber_ < 0 || audioNumber_ >= kAudioStreams) return;
        c.number = audioNumber_;
        c.audioCodec = audioType_ ? audioType_->audio : AudioCodec::None;
        c.substreamId = audioSubstreamId_;
        c.streamPts = audioFirstPts_;
        if (c.audioCodec == AudioCodec::Lpcm) {
            c.lpcmParameters = lpcmParameters_;
            if (c.firstOfPacket) c.headerRest = headerRest_;
        }
        break;
    case PacketKind::Subpicture:
        if (subpictureNumber_ < 0 || subpictureNumber_ >= kSubpictureStreams) return;
        c.number = subpictureNumber_;
        c.substreamId = subpictureSubstreamId_;
        c.streamPts = subpictureFirstPts_;
        break;
    default:
        // Skipped payloads, and MPEG audio, which no consumer takes.
        return;
    }
    listener_.payload(c);
    if (mode_ == RunMode::Demux) lastPts_ = 0;
}

bool PackScanner::hunting() const {
    return !payloadActive_ && !skipRest_ && !private2Pending_ && !gciPending_ && !dsiPending_ &&
           lengthCountdown_ == 0 && headerCountdown_ == 0 && !inHeaderData_ &&
           substreamCountdown_ == 0 && lpcmCountdown_ == 0 && trueHdCountdown_ == 0;
}

void PackScanner::jumpTo(std::size_t& position, std::size_t target, std::size_t length) {
    if (target > length) {
        carrySkip_ = target - length;
        position = length;
    } else {
        position = target;
    }
}

void PackScanner::scanBlock(const uint8_t* block, std::size_t length) {
    std::size_t pos = 0;
    if (carrySkip_ > 0) {
        const uint64_t skip = std::min<uint64_t>(carrySkip_, length);
        pos = static_cast<std::size_t>(skip);
        carrySkip_ -= skip;
    }
    while (pos < length) {
        // (A byte right behind a 01, also one carried over from the last block, is scanned.)
        if ((window_ & 0xFF) != 0x01 && hunting()) {
            // Between packets only a start code that begins something does anything: go
            // straight to the byte after its 01, keeping the window as if every byte up to it
            // had been scanned.
            const std::size_t hit = findStartCandidate(block, pos, length);
            const std::size_t end = hit < length ? hit + 1 : length;
            for (std::size_t at = end - std::min<std::size_t>(end - pos, 4); at < end; ++at)
                window_ = (window_ << 8) | block[at];
            pos = end;
            if (pos == length) break;
        }
        const uint8_t byte = block[pos];
        window_ = (window_ << 8) | byte;

        if (payloadActive_) {
            if (remaining_ > 0) {
                const std::size_t chunk =
                    static_cast<std::size_t>(std::min<int64_t>(remaining_, length - pos));
                deliver(block, length, pos, chunk);
                remaining_ -= static_cast<int64_t>(chunk);
                pos += chunk;
                if (remaining_ == 0) payloadActive_ = false;
                continue;
            }
            // An empty payload: this byte already belongs to what follows the packet.
            payloadActive_ = false;
        }
        if (skipRest_) {
            skipRest_ = false;
            const int64_t rest = remaining_;
            remaining_ = 0;
            jumpTo(pos, pos + static_cast<std::size_t>(rest), length);
            continue;
        }
        if (private2Pending_) {
            private2Pending_ = false;
            --remaining_;
            ++pos;
            if (byte == 0x01 && dsiUnseen_)
                dsiPending_ = true;
            else if (byte == 0x04 && gciUnseen_)
                gciPending_ = true;
            else if (remaining_ > 0)
                skipRest_ = true;
            continue;
        }
        if (gciPending_ || dsiPending_) {
            const bool dsi = dsiPending_;
            gciPending_ = dsiPending_ = false;
            if (remaining_ > 0) {
                if (dsi) {
                    if (listener_.dataSearchInformation(block + pos, length - pos))
                        dsiUnseen_ = false;
                } else if (listener_.generalControlInformation(block + pos, length - pos)) {
                    gciUnseen_ = false;
                }
                const int64_t rest = remaining_;
                remaining_ = 0;
                jumpTo(pos, pos + static_cast<std::size_t>(rest), length);
                continue;
            }
        }
        if ((window_ & 0xFFFFFF00u) == 0x00000100u) {
            bool started = true;
            switch (byte) {
            case kExtendedStreamId:
                // Named by its stream id extension; without one the packet is skipped.
                startPacket(PacketKind::Video);
                videoCodec_ = VideoCodec::None;
                videoNumber_ = -1;
                break;
            case 0xBC:
            case 0xBE: startPacket(PacketKind::MapOrPadding); break;
            case 0xBD: startPacket(PacketKind::Private1Header); break;
            case 0xBF: startPacket(PacketKind::Private2); break;
            case 0xBA:
                // A pack header starts no packet; the bytes after it are hunted over.
                state_.packHeaderSeen = true;
                started = false;
                break;
            default:
                if (const StreamType* type = typeOf(CodeSpace::StreamId, byte);
                    type && type->kind == StreamKind::Video) {
                    startPacket(PacketKind::Video);
                    videoStreamMet(byte, *type);
                } else if (byte >= 0xC0 && byte <= 0xCF) {
                    startPacket(PacketKind::MpegAudio);
                } else {
                    started = false;
                }
                break;
            }
            if (started) {
                packetStreamId_ = byte;
                ++pos;
                if (wholeHeaders_) takeWholeHeader(block, length, pos);
                continue;
            }
        }
        if (lengthCountdown_ > 0) {
            if (--lengthCountdown_ == 0) {
                remaining_ = window_ & 0xFFFF;
                if (kind_ == PacketKind::Private2) {
                    private2Pending_ = remaining_ > 0;
                } else if (kind_ == PacketKind::MapOrPadding) {
                    skipRest_ = remaining_ > 0;
                } else {
                    headerCountdown_ = 3;
                }
            }
            ++pos;
            continue;
        }
        if (headerCountdown_ > 0) {
            --remaining_;
            if (headerCountdown_ == 2) flags_ = byte;
            if (--headerCountdown_ == 0) {
                headerDataLeft_ = byte;
                if (headerDataLeft_ == 0) {
                    endHeader();
                } else {
                    inHeaderData_ = true;
                    switch (flags_ >> 6) {
                    case 2: ptsCountdown_ = 5; break;
                    case 3: ptsDtsCountdown_ = 10; break;
                    case 0:
                        if (flags_ & 0x01) extensionFlagsPending_ = true;
                        break;
                    default: break;
                    }
                }
            }
            ++pos;
            continue;
        }
        if (inHeaderData_) {
            consumeHeaderByte();
            ++pos;
            continue;
        }
        if (substreamCountdown_ > 0) {
            substreamHeaderByte(byte);
            ++pos;
            continue;
        }
        if (lpcmCountdown_ > 0 || trueHdCountdown_ > 0) {
            --remaining_;
            // The LPCM header's middle byte: word length, sampling frequency, channels. Kept
            // here, since the header may lie in the block before its payload.
            if (lpcmCountdown_ == 2) lpcmParameters_ = byte;
            int& countdown = lpcmCountdown_ > 0 ? lpcmCountdown_ : trueHdCountdown_;
            if (--countdown == 0) {
                kind_ = PacketKind::Audio;
                payloadActive_ = true;
                firstChunk_ = true;
            }
            ++pos;
            continue;
        }
        ++pos;
    }
}

} // namespace tessary
