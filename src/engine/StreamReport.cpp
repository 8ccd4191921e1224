#include "engine/StreamReport.h"

#include <algorithm>
#include <string>

#include "engine/NavigationLayout.h"
#include "engine/RunState.h"
#include "inspect/InspectorSeam.h"
#include "platform/Paths.h"
#include "platform/Reporter.h"
#include "platform/Text.h"

namespace tessary {

namespace {

using nav::readBe16;
using nav::readBe32;

const char* const kCgmsNames[8] = {"Copy Freely",
                                   "",
                                   "No More Copies",
                                   "Encryption Plus Non-Assertion",
                                   "Copy One Generation",
                                   "Copy Never",
                                   "",
                                   ""};
const char* const kApsNames[8] = {"off",
                                  "Type 1 of APS1 is ON",
                                  "Type 2 of APS1 is ON",
                                  "Type 3 of APS1 is ON",
                                  "",
                                  "",
                                  "APS2 is ON",
                                  "APS2 is ON"};

std::string num(long long value) {
    return std::to_string(value);
}

} // namespace

SourceType sourceTypeOf(const std::string& path) {
    const std::string extension = upperCase(extensionPart(path));
    if (extension == ".VOB") return SourceType::Vob;
    if (extension == ".AOB") return SourceType::Aob;
    return SourceType::Evo;
}

StreamReport::StreamReport(RunState& state, Reporter& out, SourceType source, bool readPass,
                           const LocaleSettings& locale)
    : state_(state), out_(out), source_(source), readPass_(readPass), locale_(locale) {}

void StreamReport::streamEntered(StreamKind kind, int number, int code, VideoCodec video,
                                 AudioCodec audio) {
    if (!readPass_) return;
    const std::string n = num(number);
    switch (kind) {
    case StreamKind::Video:
        if (video == VideoCodec::Mpeg2) out_.log("[b]MPEG-2[/b] video stream " + n + " found!");
        if (video == VideoCodec::H264) out_.log("[b]H.264 (AVC)[/b] video stream " + n + " found!");
        if (video == VideoCodec::Vc1) out_.log("[b]VC-1[/b] video stream " + n + " found!");
        break;
    case StreamKind::Subpicture:
        if (!isExtendedSubpicture(static_cast<uint32_t>(code)))
            out_.log("[b]Subpicture[/b] stream " + n + " found!");
        else
            out_.log("[b]Extended subpicture[/b] stream " + n + " found!");
        break;
    case StreamKind::Audio:
        switch (audio) {
        case AudioCodec::Ac3: out_.log("[b]Dolby Digital[/b] audio stream " + n + " found!"); break;
        case AudioCodec::Dts: out_.log("[b]DTS HD (DTS)[/b] audio stream " + n + " found!"); break;
        case AudioCodec::DdPlus:
            out_.log("[b]Dolby Digital[/b] Plus audio stream " + n + " found!");
            break;
        case AudioCodec::Lpcm:
            if (code == 0xA1 && source_ == SourceType::Aob)
                out_.log("[b]MLP[/b] audio stream " + n + " found!");
            else
                out_.log("[b]LPCM[/b] audio stream " + n + " found!");
            break;
        case AudioCodec::TrueHd:
            out_.log("[b]Dolby TrueHD[/b] audio stream " + n + " found!");
            break;
        case AudioCodec::None: break;
        }
        break;
    }
}

void StreamReport::details(const PayloadChunk& chunk) {
    uint8_t* flag = nullptr;
    int slot = 0;
    uint32_t firstPts = 0;
    int code = 0;
    switch (chunk.kind) {
    case PacketKind::Video:
        flag = &state_.videoReported[chunk.number];
        slot = videoSlot(chunk.number);
        firstPts = chunk.lastPts;
        code = chunk.videoCode;
        break;
    case PacketKind::Audio:
        flag = &state_.audioReported[chunk.number];
        slot = audioSlot(chunk.number);
        firstPts = chunk.streamPts;
        code = chunk.substreamId;
        break;
    case PacketKind::Subpicture:
        flag = &state_.subpictureReported[chunk.number];
        slot = subpictureSlot(chunk.number);
        firstPts = chunk.streamPts;
        code = chunk.substreamId;
        break;
    default: return;
    }
    // Only streams that were found are described (an id taken by an earlier codec's test
    // has no table entry of its own).
    if (*flag || state_.streamTable[slot] == kNoStream) return;
    *flag = 1;
    state_.firstPts[static_cast<std::size_t>(slot)] = firstPts;

    std::string line = "   First PTS = [re]" + hex8(firstPts) + "[/re]";
    if (firstPts != state_.firstVideoPtm)
        line += "  ([re]+" + num((firstPts - state_.firstVideoPtm) / 90) + "[/re]ms)";
    out_.log(line);
    out_.log("   Substream id = " + hex2(static_cast<uint32_t>(code)));

    if (chunk.kind == PacketKind::Subpicture) {
        if (chunk.length >= 2) {
            const uint32_t start = readBe16(chunk.block + chunk.position);
            out_.log(start == 0 ? "   Format = [bl]8bitRLE[/bl]" : "   Format = [bl]2bitRLE[/bl]");
        }
        return;
    }
    state_.minFirstPts = std::min(state_.minFirstPts, firstPts);

    InspectorInput input{};
    input.block = chunk.block;
    input.blockLength = chunk.blockLength;
    input.position = chunk.position;
    input.length = chunk.length;
    input.number = chunk.number;
    input.firstPts = firstPts;
    input.substreamId = chunk.substreamId;
    input.dvdAudioSource = source_ == SourceType::Aob;
    input.locale = locale_;
    if (chunk.kind == PacketKind::Video) {
        switch (chunk.videoCodec) {
        case VideoCodec::Mpeg2: input.codec = InspectedCodec::Mpeg2Video; break;
        case VideoCodec::Vc1: input.codec = InspectedCodec::Vc1Video; break;
        case VideoCodec::H264: input.codec = InspectedCodec::H264Video; break;
        case VideoCodec::None: return;
        }
    } else {
        switch (chunk.audioCodec) {
        case AudioCodec::Ac3:
        case AudioCodec::DdPlus: input.codec = InspectedCodec::Ac3; break;
        case AudioCodec::Dts: input.codec = InspectedCodec::Dts; break;
        case AudioCodec::TrueHd: input.codec = InspectedCodec::MlpTrueHd; break;
        case AudioCodec::Lpcm:
            input.codec = chunk.substreamId == 0xA1 && source_ == SourceType::Aob
                              ? InspectedCodec::MlpTrueHd
                              : InspectedCodec::Lpcm;
            break;
        case AudioCodec::None: return;
        }
    }
    const InspectorResult result = inspectStream(input, out_);
    if (result.frameRate && chunk.kind == PacketKind::Video && chunk.number >= 0 &&
        chunk.number < kVideoStreams)
        state_.frameRates[static_cast<std::size_t>(chunk.number)] = *result.frameRate;
}

bool StreamReport::dataSearchInformation(const uint8_t* d, std::size_t available) {
    const nav::SyncTables sync = nav::syncTables(source_ == SourceType::Vob);
    // A packet cut by the end of the valid bytes is not reported.
    if (available < sync.end()) return false;

    int audioCount = audioBound_;
    if (audioCount == 0)
        for (int i = 0; i < nav::kAudioSyncEntries; ++i)
            if (readBe16(d + sync.audio + 2 * i) != 0) ++audioCount;
    int subpictureCount = 0;
    for (int i = 0; i < nav::kSubpictureSyncEntries; ++i)
        if (readBe32(d + sync.subpicture + 4 * i) != 0) ++subpictureCount;

    if (readPass_) {
        std::string line = "VOB number " + num(readBe16(d + nav::kVobId)) + " contains [b]" +
                           num(videoBound_) + "[/b] video " + (subpictureCount > 0 ? "," : "and") +
                           " [b]" + num(audioCount) + "[/b] audio ";
        if (subpictureCount > 0) line += "and [b]" + num(subpictureCount) + "[/b] subpicture ";
        line += videoBound_ + audioCount + subpictureCount > 1 ? "streams." : "stream.";
        out_.log(line);
    }

    const uint32_t first = readBe32(d + nav::kFirstVideoPtm);
    if (state_.firstVideoPtm == 0) state_.firstVideoPtm = first;
    if (readPass_) out_.log("PTM of first video frame = [re]" + hex8(first) + "[/re]");
    state_.lastVideoPtm = readBe32(d + nav::kLastVideoPtm);
    if (readPass_) out_.log("PTM of last video frame = " + hex8(state_.lastVideoPtm));

    const uint32_t span = state_.lastVideoPtm - first;
    state_.totalSeconds += span / 90000.0;
    state_.fileDuration = span / 90000.0 / kSecondsPerDay;
    if (readPass_)
        out_.log("Duration = [b]" + formatTime(state_.fileDuration, "h:mm:ss.zzz", locale_) +
                 "[/b]");
    return true;
}

bool StreamReport::generalControlInformation(const uint8_t* d, std::size_t available) {
    if (available <= nav::kCopyValues) return false;
    if (d[nav::kEncryption] & 0xC0)
        out_.log("[b]This file is ENCRYPTED![/b] Decrypt it before any process.");
    const uint8_t valid = d[nav::kCopyValidFlags];
    const uint8_t values = d[nav::kCopyValues];
    const int cgms = values >> 5;
    const int aps = (values >> 2) & 7;
    if ((valid & 0x80) && cgms != 0) out_.log(std::string("[b]") + kCgmsNames[cgms] + "[/b]");
    if ((valid & 0x40) && aps != 0) out_.log(std::string("[b]") + kApsNames[aps] + "[/b]");
    if ((valid & 0x20) && (values & 0x02)) out_.log("[b]ICT on, constrained analog output[/b]");
    if ((valid & 0x10) && (values & 0x01)) out_.log("[b]DOT on, analog output not allowed[/b]");
    return true;
}

void StreamReport::dvdAudioSummary() {
    std::string line = "It contains";
    if (videoBound_ > 0) line += " [b]" + num(videoBound_) + "[/b] video stream and";
    line += " [b]" + num(audioBound_) + "[/b] audio stream" + (audioBound_ > 1 ? "s." : ".");
    out_.log(line);
}

} // namespace tessary
