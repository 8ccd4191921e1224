#include "ops/MatroskaPlan.h"

#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "platform/Utf8.h"
#include "streams/Codecs.h"

namespace tessary {

namespace {

const DeclaredStream* declared(const PlaylistRead* playlist, StreamRef stream) {
    if (!playlist) return nullptr;
    for (const DeclaredStream& candidate : playlist->streams)
        if (candidate.kind == stream.kind && candidate.number == stream.number) return &candidate;
    return nullptr;
}

// MPEG-2 video carries its frame rate in every sequence header; H.264 and VC-1 elementary
// streams need not, so the muxer is told the rate the Read found.
bool needsDefaultDuration(int32_t code) {
    const VideoCodec codec = videoCodecOfCode(static_cast<uint32_t>(code));
    return codec == VideoCodec::H264 || codec == VideoCodec::Vc1;
}

// A JSON string of the text, made UTF-8 first: the muxer refuses an options file that is not.
void appendJsonString(std::string& out, const std::string& text) {
    out += '"';
    for (const char c : validUtf8(text)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    out += '"';
}

} // namespace

uint32_t firstVideoPts(const RunState& state) {
    for (int number = 0; number < kVideoStreams; ++number) {
        const uint32_t pts = state.firstPts[static_cast<std::size_t>(videoSlot(number))];
        if (pts != kNoPts) return pts;
    }
    return state.firstVideoPtm;
}

int64_t delayMs(uint32_t pts, uint32_t reference) {
    const auto ticks = static_cast<int32_t>(pts - reference);
    return std::llround(static_cast<double>(ticks) / 90.0);
}

std::string defaultDurationOf(double frameRate) {
    if (!(frameRate > 0) || !std::isfinite(frameRate)) return {};
    static constexpr std::array<int, 4> kNtscRates = {24000, 30000, 48000, 60000};
    for (const int numerator : kNtscRates)
        if (std::abs(frameRate - numerator / 1001.0) < 0.001)
            return std::to_string(numerator) + "/1001p";
    char text[32];
    std::snprintf(text, sizeof text, "%.6gp", frameRate);
    return text;
}

std::string muxLanguage(const std::string& language) {
    // The two-letter codes of ISO 639-1. The muxer refuses a code it does not know, and a
    // playlist's code is not checked by anyone before it: one outside the list is unknown.
    static constexpr std::string_view kCodes =
        "aa ab ae af ak am an ar as av ay az ba be bg bi bm bn bo br bs ca ce ch co cr cs cu cv "
        "cy da de dv dz ee el en eo es et eu fa ff fi fj fo fr fy ga gd gl gn gu gv ha he hi ho "
        "hr ht hu hy hz ia id ie ig ii ik io is it iu ja jv ka kg ki kj kk kl km kn ko kr ks ku "
        "kv kw ky la lb lg li ln lo lt lu lv mg mh mi mk ml mn mr ms mt my na nb nd ne ng nl nn "
        "no nr nv ny oc oj om or os pa pi pl ps pt qu rm rn ro ru rw sa sc sd se sg si sk sl sm "
        "sn so sq sr ss st su sv sw ta te tg th ti tk tl tn to tr ts tt tw ty ug uk ur uz ve vi "
        "vo wa wo xh yi yo za zh zu";
    if (language.size() != 2) return "und";
    std::string code;
    for (const char c : language)
        code += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (std::size_t at = 0; at + 2 <= kCodes.size(); at += 3)
        if (kCodes.substr(at, 2) == code) return code;
    return "und";
}

MuxPlan planMatroska(const RunState& state, const std::vector<DemuxedStream>& streams,
                     const PlaylistRead* playlist, const std::string& output,
                     const std::string& chaptersPath) {
    MuxPlan plan;
    plan.output = output;
    const uint32_t reference = firstVideoPts(state);
    for (const DemuxedStream& stream : streams) {
        const auto ref = streamOfSlot(stream.slot);
        if (!ref) continue;
        if (ref->kind == StreamKind::Subpicture) {
            plan.subpictureFiles.push_back(stream.path);
            continue;
        }
        MuxTrack track;
        track.slot = stream.slot;
        track.path = stream.path;
        track.name = stream.caption;
        if (const DeclaredStream* entry = declared(playlist, *ref)) {
            if (!entry->description.empty()) track.name = entry->description;
            track.language = muxLanguage(entry->language);
        }
        const uint32_t first = state.firstPts[static_cast<std::size_t>(stream.slot)];
        if (first != kNoPts) track.delayMs = delayMs(first, reference);
        if (ref->kind == StreamKind::Video &&
            needsDefaultDuration(state.streamTable[static_cast<std::size_t>(stream.slot)]))
            track.defaultDuration =
                defaultDurationOf(state.frameRates[static_cast<std::size_t>(ref->number)]);
        plan.tracks.push_back(std::move(track));
    }
    if (playlist && !playlist->chapters.empty()) {
        plan.chaptersPath = chaptersPath;
        plan.chapters = playlist->chapters;
    }
    return plan;
}

std::vector<std::string> mkvmergeArguments(const MuxPlan& plan) {
    std::vector<std::string> arguments = {"--output", plan.output};
    for (const MuxTrack& track : plan.tracks) {
        arguments.insert(arguments.end(),
                         {"--language", "0:" + track.language, "--track-name", "0:" + track.name,
                          "--sync", "0:" + std::to_string(track.delayMs)});
        if (!track.defaultDuration.empty())
            arguments.insert(arguments.end(), {"--default-duration", "0:" + track.defaultDuration});
        arguments.push_back(track.path);
    }
    if (!plan.chaptersPath.empty())
        arguments.insert(arguments.end(),
                         {"--chapter-charset", "UTF-8", "--chapters", plan.chaptersPath});
    return arguments;
}

std::string jsonStringArray(const std::vector<std::string>& arguments) {
    std::string out = "[";
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        out += i == 0 ? "\n  " : ",\n  ";
        appendJsonString(out, arguments[i]);
    }
    out += "\n]\n";
    return out;
}

} // namespace tessary
