#include "MkvReport.h"

#include "JsonReport.h"
#include "Selection.h"
#include "shell/Main.h"

namespace tessary::cli {

namespace {

using json = nlohmann::ordered_json;

// The chapter lines "CHAPTERnn=TIME" and "CHAPTERnnNAME=NAME" as {time, name} pairs.
json chapterList(const std::vector<std::string>& lines) {
    json chapters = json::array();
    for (const std::string& line : lines) {
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string value = line.substr(equals + 1);
        if (equals >= 4 && line.compare(equals - 4, 4, "NAME") == 0) {
            if (!chapters.empty()) chapters.back()["name"] = value;
        } else {
            chapters.push_back({{"time", value}, {"name", nullptr}});
        }
    }
    return chapters;
}

} // namespace

nlohmann::ordered_json mkvReport(TfMain& main, const std::vector<std::string>& subpictures) {
    json report = demuxReport(main);
    report["command"] = "mkv";
    const MuxPlan& plan = main.lastMuxPlan();
    const MuxOutcome& outcome = main.lastMuxOutcome();
    json tracks = json::array();
    for (const MuxTrack& track : plan.tracks)
        tracks.push_back(
            {{"stream", keyName(keyOfSlot(track.slot))},
             {"path", track.path},
             {"name", track.name},
             {"language", track.language},
             {"delayMs", track.delayMs},
             {"defaultDuration",
              track.defaultDuration.empty() ? json(nullptr) : json(track.defaultDuration)}});
    report["matroska"] = {
        {"path", plan.output},         {"made", outcome.made},
        {"command", outcome.command},  {"optionsFile", main.lastMuxOptionsPath()},
        {"tracks", std::move(tracks)}, {"chapters", chapterList(plan.chapterLines)},
        {"subpictures", subpictures}};
    return report;
}

} // namespace tessary::cli
