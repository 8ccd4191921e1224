#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/PackScanner.h"
#include "platform/Format.h"

namespace tessary {

class Reporter;

// What the pack engine itself writes while it walks a source: the discovery line of each
// stream, the per-stream details (first PTS, substream id, then the codec inspector), the
// DVD-Audio summary, the VOB report of the first data search information and the encryption
// and copy-control report of the first general control information of the pass.
// A Read pass keeps what the details and the navigation lines show in the run state (the named
// values of each stream's first details, one NavigationReport per pass).
class StreamReport : public PassListener {
public:
    StreamReport(RunState& state, Reporter& out, SourceType source, bool readPass,
                 const LocaleSettings& locale);

    void setBounds(int videoBound, int audioBound) {
        videoBound_ = videoBound;
        audioBound_ = audioBound;
    }

    // "Detailed info": a Read pass reports each stream's details.
    void setDetails(bool details) { details_ = details; }

    void streamEntered(StreamKind kind, int number, int code) override;
    void payload(const PayloadChunk& chunk) override {
        if (readPass_ && details_) details(chunk);
    }
    bool dataSearchInformation(const uint8_t* data, std::size_t available) override;
    bool generalControlInformation(const uint8_t* data, std::size_t available) override;
    void dvdAudioSummary();

    // The details of a stream, once per pass, at its first payload chunk.
    void details(const PayloadChunk& chunk);

private:
    RunState& state_;
    Reporter& out_;
    SourceType source_;
    bool readPass_;
    bool details_ = true;
    LocaleSettings locale_;
    int videoBound_ = 0;
    int audioBound_ = 0;
};

SourceType sourceTypeOf(const std::string& path);

// How far a stream's first PTS lies behind the first video frame, in whole milliseconds of the
// 90 kHz clock. Counted modulo 2^32 as the details line counts it, so a PTS before the first
// frame gives a large number.
inline constexpr uint32_t ptsOffsetMs(uint32_t pts, uint32_t firstVideoPtm) {
    return (pts - firstVideoPtm) / 90;
}

} // namespace tessary
