#include "engine/StreamReport.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

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

// Passes a stream's detail lines on, and keeps the named values they show and the first value
// of each property they hand over (unless `fields` is null).
class DetailCollector : public Reporter {
public:
    DetailCollector(Reporter& out, std::vector<ReportField>* fields,
                    std::vector<StreamProperty>* properties)
        : out_(out), fields_(fields), properties_(properties) {}
    void log(std::string_view message) override { out_.log(message); }
    void slog(std::string_view text, int panel) override { out_.slog(text, panel); }
    void report(const ReportLine& line) override {
        out_.report(line);
        if (!fields_) return;
        fields_->insert(fields_->end(), line.fields().begin(), line.fields().end());
        addProperties(*properties_, line.properties());
    }

private:
    Reporter& out_;
    std::vector<ReportField>* fields_;
    std::vector<StreamProperty>* properties_;
};

// A copy-control flag when the packet marks it valid.
std::optional<CopyFlag> validFlag(bool valid, int code, const char* const (&names)[8]) {
    if (!valid) return std::nullopt;
    return CopyFlag{code, names[code]};
}

// The inspector function of a stream type; none for subpictures, whose format line the
// report writes itself.
std::optional<InspectedCodec> inspectedCodec(Inspector inspector) {
    switch (inspector) {
    case Inspector::Mpeg2Video: return InspectedCodec::Mpeg2Video;
    case Inspector::H264Video: return InspectedCodec::H264Video;
    case Inspector::Vc1Video: return InspectedCodec::Vc1Video;
    case Inspector::Ac3: return InspectedCodec::Ac3;
    case Inspector::Dts: return InspectedCodec::Dts;
    case Inspector::Lpcm: return InspectedCodec::Lpcm;
    case Inspector::MlpTrueHd: return InspectedCodec::MlpTrueHd;
    case Inspector::SubpictureFormat: break;
    }
    return std::nullopt;
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
    : state_(state), out_(out), source_(source), readPass_(readPass), locale_(locale) {
    if (readPass_) state_.navigation.emplace_back();
}

void StreamReport::streamEntered(StreamKind kind, int number, int code) {
    if (!readPass_) return;
    const StreamType* type = findStreamType(kind, static_cast<uint32_t>(code), source_);
    if (!type) return;
    // A subpicture's name says its kind.
    std::string line(type->logName);
    if (kind != StreamKind::Subpicture) line += std::string(" ") + kindName(kind);
    out_.log(line + " stream " + num(number) + " found!");
}

void StreamReport::details(const PayloadChunk& chunk) {
    uint8_t* flag = nullptr;
    StreamKind kind = StreamKind::Video;
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
        kind = StreamKind::Audio;
        slot = audioSlot(chunk.number);
        firstPts = chunk.streamPts;
        code = chunk.substreamId;
        break;
    case PacketKind::Subpicture:
        flag = &state_.subpictureReported[chunk.number];
        kind = StreamKind::Subpicture;
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
    // The Read keeps the first description of a stream: that of the feature's start.
    const auto index = static_cast<std::size_t>(slot);
    const bool described = !state_.details[index].empty();
    if (!described) state_.firstPts[index] = firstPts;
    DetailCollector out(out_, described ? nullptr : &state_.details[index],
                        &state_.properties[index]);

    ReportLine first = detailLine("First PTS", static_cast<double>(firstPts), "",
                                  "[re]" + hex8(firstPts) + "[/re]");
    if (firstPts != state_.firstVideoPtm)
        first.text("  ([re]+" + num(ptsOffsetMs(firstPts, state_.firstVideoPtm)) + "[/re]ms)");
    out.report(first);
    const uint32_t id = static_cast<uint32_t>(code) & 0xFF;
    out.report(detailLine("Substream id", static_cast<double>(id), "", hex2(id)));

    const StreamType* type = findStreamType(kind, static_cast<uint32_t>(code), source_);
    if (!type) return;
    if (type->inspector == Inspector::SubpictureFormat) {
        if (chunk.length >= 2) {
            const uint32_t start = readBe16(chunk.block + chunk.position);
            const std::string_view format = start == 0 ? "8bitRLE" : "2bitRLE";
            // Bits per pixel of the run-length coded picture.
            out.report(detailLine("Format", std::string(format), "", blue(format))
                           .property(Property::BitDepth, start == 0 ? 8.0 : 2.0));
        }
        return;
    }
    state_.minFirstPts = std::min(state_.minFirstPts, firstPts);
    const std::optional<InspectedCodec> codec = inspectedCodec(type->inspector);
    if (!codec) return;

    InspectorInput input{};
    input.codec = *codec;
    input.block = chunk.block;
    input.blockLength = chunk.blockLength;
    input.position = chunk.position;
    input.length = chunk.length;
    input.number = chunk.number;
    input.firstPts = firstPts;
    input.substreamId = chunk.substreamId;
    input.dvdAudioSource = source_ == SourceType::Aob;
    input.locale = locale_;
    const InspectorResult result = inspectStream(input, out);
    if (result.frameRate && chunk.kind == PacketKind::Video && chunk.number >= 0 &&
        chunk.number < kVideoStreams)
        state_.frameRates[static_cast<std::size_t>(chunk.number)] = *result.frameRate;
}

bool StreamReport::dataSearchInformation(const uint8_t* d, std::size_t available) {
    const nav::SyncTables sync = nav::syncTables(source_ == SourceType::Vob);
    // A packet cut by the end of the valid bytes is not reported.
    if (available < sync.end()) return false;

    NavigationReport::Search search;
    search.vobId = readBe16(d + nav::kVobId);
    search.videoStreams = videoBound_;
    search.audioStreams = audioBound_;
    if (search.audioStreams == 0)
        for (int i = 0; i < nav::kAudioSyncEntries; ++i)
            if (readBe16(d + sync.audio + 2 * i) != 0) ++search.audioStreams;
    for (int i = 0; i < nav::kSubpictureSyncEntries; ++i)
        if (readBe32(d + sync.subpicture + 4 * i) != 0) ++search.subpictureStreams;
    search.firstPtm = readBe32(d + nav::kFirstVideoPtm);
    search.lastPtm = readBe32(d + nav::kLastVideoPtm);
    search.seconds = (search.lastPtm - search.firstPtm) / 90000.0;

    if (state_.firstVideoPtm == 0) state_.firstVideoPtm = search.firstPtm;
    state_.lastVideoPtm = search.lastPtm;
    state_.totalSeconds += search.seconds;
    state_.fileDuration = search.seconds / kSecondsPerDay;
    if (!readPass_) return true;

    const int subpictures = search.subpictureStreams;
    const int streams = search.videoStreams + search.audioStreams + subpictures;
    std::string line = "VOB number " + num(search.vobId) + " contains [b]" +
                       num(search.videoStreams) + "[/b] video " + (subpictures > 0 ? "," : "and") +
                       " [b]" + num(search.audioStreams) + "[/b] audio ";
    if (subpictures > 0) line += "and [b]" + num(subpictures) + "[/b] subpicture ";
    line += streams > 1 ? "streams." : "stream.";
    out_.log(line);
    out_.log("PTM of first video frame = [re]" + hex8(search.firstPtm) + "[/re]");
    out_.log("PTM of last video frame = " + hex8(search.lastPtm));
    out_.log("Duration = [b]" + formatTime(state_.fileDuration, "h:mm:ss.zzz", locale_) + "[/b]");
    state_.navigation.back().search = search;
    return true;
}

bool StreamReport::generalControlInformation(const uint8_t* d, std::size_t available) {
    if (available <= nav::kCopyValues) return false;
    const uint8_t valid = d[nav::kCopyValidFlags];
    const uint8_t values = d[nav::kCopyValues];
    NavigationReport::Control control;
    control.encrypted = (d[nav::kEncryption] & 0xC0) != 0;
    control.cgms = validFlag(valid & 0x80, values >> 5, kCgmsNames);
    control.aps = validFlag(valid & 0x40, (values >> 2) & 7, kApsNames);
    if (valid & 0x20) control.ict = (values & 0x02) != 0;
    if (valid & 0x10) control.dot = (values & 0x01) != 0;

    if (control.encrypted)
        out_.log("[b]This file is ENCRYPTED![/b] Decrypt it before any process.");
    // Copy freely and APS off go without a line.
    if (control.cgms && control.cgms->code != 0) out_.log("[b]" + control.cgms->name + "[/b]");
    if (control.aps && control.aps->code != 0) out_.log("[b]" + control.aps->name + "[/b]");
    if (control.ict.value_or(false)) out_.log("[b]ICT on, constrained analog output[/b]");
    if (control.dot.value_or(false)) out_.log("[b]DOT on, analog output not allowed[/b]");
    if (readPass_) state_.navigation.back().control = control;
    return true;
}

void StreamReport::dvdAudioSummary() {
    std::string line = "It contains";
    if (videoBound_ > 0) line += " [b]" + num(videoBound_) + "[/b] video stream and";
    line += " [b]" + num(audioBound_) + "[/b] audio stream" + (audioBound_ > 1 ? "s." : ".");
    out_.log(line);
}

} // namespace tessary
