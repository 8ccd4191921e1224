#include "JsonReport.h"

#include <cmath>
#include <filesystem>
#include <functional>
#include <system_error>

#include "RecordJson.h"
#include "Selection.h"

#include "engine/StreamIdentity.h"
#include "platform/Format.h"
#include "platform/Paths.h"
#include "shell/FileNames.h"
#include "shell/Main.h"

namespace tessary::cli {

namespace {

using json = nlohmann::ordered_json;

// The enabled stream boxes in slot order: slot, key, kind, number within the kind, caption,
// and the fields that `more` adds for the slot.
json streamBoxes(TfMain& main, const std::function<void(json&, int)>& more) {
    json streams = json::array();
    for (int slot = 1; slot < kStreamSlotCount; ++slot) {
        const CheckBox* box = main.boxOfSlot(slot);
        if (!box || !box->enabled()) continue;
        const StreamRef stream = *streamOfSlot(slot);
        json entry = {{"slot", slot},
                      {"key", keyName(keyOfSlot(slot))},
                      {"kind", kindName(stream.kind)},
                      {"number", stream.number},
                      {"caption", box->caption()}};
        more(entry, slot);
        streams.push_back(std::move(entry));
    }
    return streams;
}

// What the Read found out about the stream of a slot: its codec and identifiers, its first
// PTS, the frames of a video stream and the named values of its details.
void describeStream(json& entry, const TfMain& main, int slot) {
    const RunState& state = main.state;
    const auto index = static_cast<std::size_t>(slot);
    const int code = state.streamTable[index];
    const StreamRef stream = *streamOfSlot(slot);
    const StreamIdentity identity =
        identifyStream(stream.kind, code, sourceTypeOf(main.eEVOfile.text()));
    entry["codec"] = identity.codec.empty() ? json(nullptr) : json(identity.codec);
    entry["id"] = code;
    entry["idHex"] = hex2(static_cast<uint32_t>(code));
    entry["streamId"] = identity.streamId ? json(*identity.streamId) : json(nullptr);
    entry["substreamId"] = identity.substreamId ? json(*identity.substreamId) : json(nullptr);
    const uint32_t pts = state.firstPts[index];
    entry["firstPts"] = pts == kNoPts ? json(nullptr) : json(pts);
    entry["firstPtsOffsetMs"] =
        pts == kNoPts ? json(nullptr) : json(ptsOffsetMs(pts, state.firstVideoPtm));
    if (stream.kind == StreamKind::Video) {
        const auto n = static_cast<std::size_t>(stream.number);
        const uint32_t frames = state.frameCounts[n];
        const double rate = state.frameRates[n];
        const bool counted = main.cbCountFr.checked();
        entry["frames"] = counted ? json(frames) : json(nullptr);
        entry["duration"] = counted && rate > 0 ? json(frames / rate) : json(nullptr);
    }
    entry["fields"] = fieldsJson(state.details[index]);
}

json logLines(TfMain& main) {
    json lines = json::array();
    for (const LogLine& line : main.reMessage.lines())
        lines.push_back(line.plainText());
    return lines;
}

json logRuns(TfMain& main) {
    json lines = json::array();
    for (const LogLine& line : main.reMessage.lines())
        lines.push_back(runsJson(line));
    return lines;
}

// The description and language of the stream a playlist declares for a slot, null when none.
void describeDeclared(json& entry, const DeclaredStream* declared) {
    entry["description"] = declared ? json(declared->description) : json(nullptr);
    entry["language"] =
        declared && !declared->language.empty() ? json(declared->language) : json(nullptr);
}

// The size of a file written, null when it cannot be had.
json sizeOnDisk(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? json(nullptr) : json(size);
}

// The one file a command wrote, with its size; none when the path is empty.
json writtenFile(const std::string& path) {
    json outputs = json::array();
    if (!path.empty()) outputs.push_back({{"path", path}, {"size", sizeOnDisk(path)}});
    return outputs;
}

json treeNodes(const std::vector<TreeNode>& nodes) {
    json list = json::array();
    for (const TreeNode& node : nodes)
        list.push_back({{"text", node.text}, {"children", treeNodes(node.children)}});
    return list;
}

} // namespace

nlohmann::ordered_json readReport(TfMain& main) {
    const RunState& state = main.state;
    json report;
    report["command"] = "read";
    report["source"] = main.eEVOfile.text();
    report["outputBaseName"] = state.outputBaseName;
    report["continued"] = main.lastReadContinued();
    report["streams"] =
        streamBoxes(main, [&main](json& entry, int slot) { describeStream(entry, main, slot); });
    report["log"] = logLines(main);
    report["logRuns"] = logRuns(main);
    json navigation = json::array();
    for (const NavigationReport& file : state.navigation)
        navigation.push_back(navigationJson(file));
    report["navigation"] = std::move(navigation);

    json video = json::array();
    for (int n = 0; n < kVideoStreams; ++n) {
        const double rate = state.frameRates[n];
        json entry = {{"number", n}, {"countedFrames", state.frameCounts[n]}, {"frameRate", rate}};
        entry["countedSeconds"] =
            rate > 0 ? json(static_cast<double>(state.frameCounts[n]) / rate) : json(nullptr);
        // Frames that the measured video duration amounts to, rounded half to even.
        entry["calculatedFrames"] =
            rate > 0 ? json(static_cast<int64_t>(std::nearbyint(state.totalSeconds * rate)))
                     : json(nullptr);
        video.push_back(std::move(entry));
    }
    report["frames"] = std::move(video);
    report["totalSeconds"] = state.totalSeconds;
    report["lastFileSeconds"] = state.fileDuration * kSecondsPerDay;
    report["firstVideoPtm"] = state.firstVideoPtm;
    report["lastVideoPtm"] = state.lastVideoPtm;
    return report;
}

nlohmann::ordered_json demuxReport(TfMain& main) {
    json report = readReport(main);
    report["command"] = "demux";
    json outputs = json::array();
    for (const DemuxTarget& target : main.lastDemuxTargets())
        outputs.push_back({{"stream", keyName(keyOfSlot(target.slot))},
                           {"path", target.path},
                           {"size", sizeOnDisk(target.path)}});
    report["outputs"] = std::move(outputs);
    return report;
}

nlohmann::ordered_json rebuildReport(TfMain& main) {
    json report = readReport(main);
    report["command"] = "rebuild";
    // A Rebuild skipped (no stream box checked) wrote nothing.
    report["outputs"] = writtenFile(main.lastRebuildPath());
    return report;
}

bool titleFound(const TfMain& main) {
    const std::vector<TreeNode>& nodes = main.tvXPL.nodes();
    return !nodes.empty() && nodes.front().text == "Info" && !nodes.front().children.empty();
}

nlohmann::ordered_json playlistReport(TfMain& main) {
    const PlaylistRead* read = main.playlistFor(CutExt(namePart(main.eEVOfile.text())));
    const std::vector<DeclaredStream> none;
    const std::vector<DeclaredStream>& declared = read ? read->streams : none;
    auto declaredAt = [&declared](int slot) -> const DeclaredStream* {
        for (const DeclaredStream& stream : declared)
            if (slotOf({stream.kind, stream.number}) == slot) return &stream;
        return nullptr;
    };

    json report;
    report["command"] = "playlist";
    report["playlist"] = main.eXPLfile.text();
    report["source"] = main.eEVOfile.text();
    report["titleFound"] = titleFound(main);
    report["streams"] = streamBoxes(
        main, [&declaredAt](json& entry, int slot) { describeDeclared(entry, declaredAt(slot)); });
    json streams = json::array();
    for (const DeclaredStream& stream : declared) {
        // A playlist may declare more video tracks than there are video slots.
        const int slot = slotOf({stream.kind, stream.number});
        const bool boxed = stream.number < streamCount(stream.kind);
        json entry = {{"slot", boxed ? json(slot) : json(nullptr)},
                      {"key", boxed ? json(keyName(keyOfSlot(slot))) : json(nullptr)},
                      {"kind", kindName(stream.kind)},
                      {"number", stream.number},
                      {"text", stream.text}};
        describeDeclared(entry, &stream);
        streams.push_back(std::move(entry));
    }
    report["declaredStreams"] = std::move(streams);
    report["log"] = logLines(main);
    report["logRuns"] = logRuns(main);
    report["tree"] = treeNodes(main.tvXPL.nodes());
    report["chapters"] = main.mChapter.lines();
    if (!main.lastChaptersPath().empty()) report["outputs"] = writtenFile(main.lastChaptersPath());
    return report;
}

} // namespace tessary::cli
