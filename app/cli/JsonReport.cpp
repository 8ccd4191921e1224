#include "JsonReport.h"

#include <cmath>
#include <filesystem>
#include <system_error>

#include "Selection.h"

#include "platform/Format.h"
#include "shell/Main.h"

namespace tessary::cli {

nlohmann::ordered_json readReport(TfMain& main) {
    using json = nlohmann::ordered_json;
    const RunState& state = main.state;
    json report;
    report["source"] = main.eEVOfile.text();
    report["outputBaseName"] = state.outputBaseName;
    report["continued"] = main.lastReadContinued();

    json streams = json::array();
    for (int slot = 1; slot < kStreamSlotCount; ++slot) {
        const CheckBox* box = main.boxOfSlot(slot);
        if (!box || !box->enabled()) continue;
        const int id = state.streamTable[slot];
        const StreamRef stream = *streamOfSlot(slot);
        streams.push_back({{"slot", slot},
                           {"kind", kindName(stream.kind)},
                           {"number", stream.number},
                           {"id", id},
                           {"idHex", hex2(static_cast<uint32_t>(id))},
                           {"caption", box->caption()}});
    }
    report["streams"] = std::move(streams);

    json lines = json::array();
    for (const LogLine& line : main.reMessage.lines())
        lines.push_back(line.plainText());
    report["log"] = std::move(lines);

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

namespace {

// The size of a file written, null when it cannot be had.
nlohmann::ordered_json sizeOnDisk(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(size);
}

} // namespace

nlohmann::ordered_json demuxReport(TfMain& main) {
    using json = nlohmann::ordered_json;
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
    using json = nlohmann::ordered_json;
    json report = readReport(main);
    json outputs = json::array();
    // A Rebuild skipped (no stream box checked) wrote nothing.
    if (const std::string& path = main.lastRebuildPath(); !path.empty())
        outputs.push_back({{"path", path}, {"size", sizeOnDisk(path)}});
    report["outputs"] = std::move(outputs);
    return report;
}

} // namespace tessary::cli
