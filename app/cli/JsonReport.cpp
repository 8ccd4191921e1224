#include "JsonReport.h"

#include <cmath>
#include <filesystem>
#include <functional>
#include <system_error>

#include "Selection.h"

#include "platform/Format.h"
#include "shell/Main.h"

namespace tessary::cli {

namespace {

using json = nlohmann::ordered_json;

// The enabled stream boxes in slot order: slot, kind, number within the kind, the fields that
// `more` adds for the slot, and the caption.
json streamBoxes(TfMain& main, const std::function<void(json&, int)>& more) {
    json streams = json::array();
    for (int slot = 1; slot < kStreamSlotCount; ++slot) {
        const CheckBox* box = main.boxOfSlot(slot);
        if (!box || !box->enabled()) continue;
        const StreamRef stream = *streamOfSlot(slot);
        json entry = {{"slot", slot}, {"kind", kindName(stream.kind)}, {"number", stream.number}};
        more(entry, slot);
        entry["caption"] = box->caption();
        streams.push_back(std::move(entry));
    }
    return streams;
}

json logLines(TfMain& main) {
    json lines = json::array();
    for (const LogLine& line : main.reMessage.lines())
        lines.push_back(line.plainText());
    return lines;
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
    report["source"] = main.eEVOfile.text();
    report["outputBaseName"] = state.outputBaseName;
    report["continued"] = main.lastReadContinued();
    report["streams"] = streamBoxes(main, [&state](json& entry, int slot) {
        const int id = state.streamTable[slot];
        entry["id"] = id;
        entry["idHex"] = hex2(static_cast<uint32_t>(id));
    });
    report["log"] = logLines(main);

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
    // A Rebuild skipped (no stream box checked) wrote nothing.
    report["outputs"] = writtenFile(main.lastRebuildPath());
    return report;
}

bool titleFound(const TfMain& main) {
    const std::vector<TreeNode>& nodes = main.tvXPL.nodes();
    return !nodes.empty() && nodes.front().text == "Info" && !nodes.front().children.empty();
}

nlohmann::ordered_json playlistReport(TfMain& main) {
    json report;
    report["playlist"] = main.eXPLfile.text();
    report["source"] = main.eEVOfile.text();
    report["titleFound"] = titleFound(main);
    report["streams"] =
        streamBoxes(main, [](json& entry, int slot) { entry["key"] = keyName(keyOfSlot(slot)); });
    report["log"] = logLines(main);
    report["tree"] = treeNodes(main.tvXPL.nodes());
    report["chapters"] = main.mChapter.lines();
    if (!main.lastChaptersPath().empty()) report["outputs"] = writtenFile(main.lastChaptersPath());
    return report;
}

} // namespace tessary::cli
