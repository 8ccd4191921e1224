#include "JsonReport.h"

#include "RecordJson.h"

#include "jobs/StreamKeys.h"
#include "platform/Format.h"

namespace tessary::cli {

namespace {

using json = nlohmann::ordered_json;

template <typename T> json orNull(const std::optional<T>& value) {
    return value ? json(*value) : json(nullptr);
}

// The fields every stream entry begins with: slot, key, kind, number within the kind, caption.
json streamEntry(int slot, const std::string& caption) {
    const StreamRef stream = *streamOfSlot(slot);
    return {{"slot", slot},
            {"key", keyName(keyOfSlot(slot))},
            {"kind", kindName(stream.kind)},
            {"number", stream.number},
            {"caption", caption}};
}

// What the Read found out about a stream: its codec and identifiers, its first PTS, the
// frames of a video stream, the named values of its details and their properties.
json foundStream(const FoundStream& stream) {
    json entry = streamEntry(stream.slot, stream.caption);
    entry["codec"] = stream.codec.empty() ? json(nullptr) : json(stream.codec);
    entry["id"] = stream.code;
    entry["idHex"] = hex2(static_cast<uint32_t>(stream.code));
    entry["streamId"] = orNull(stream.streamId);
    entry["substreamId"] = orNull(stream.substreamId);
    entry["firstPts"] = orNull(stream.firstPts);
    entry["firstPtsOffsetMs"] = orNull(stream.firstPtsOffsetMs);
    entry["delayMs"] = orNull(stream.delayMs);
    if (stream.kind == StreamKind::Video) {
        entry["frames"] = orNull(stream.frames);
        entry["duration"] = orNull(stream.duration);
    }
    entry["fields"] = fieldsJson(stream.fields);
    entry["properties"] = propertiesJson(stream.properties);
    return entry;
}

json logLines(const MessageLog& log) {
    json lines = json::array();
    for (const LogLine& line : log.lines())
        lines.push_back(line.plainText());
    return lines;
}

json logRuns(const MessageLog& log) {
    json lines = json::array();
    for (const LogLine& line : log.lines())
        lines.push_back(runsJson(line));
    return lines;
}

// The description and language of a declared stream, null when none.
void describeDeclared(json& entry, const DeclaredStream* declared) {
    entry["description"] = declared ? json(declared->description) : json(nullptr);
    entry["language"] =
        declared && !declared->language.empty() ? json(declared->language) : json(nullptr);
}

json writtenFiles(const std::vector<const WrittenFile*>& files) {
    json outputs = json::array();
    for (const WrittenFile* file : files) {
        json entry;
        if (file->slot) entry["stream"] = file->key;
        entry["path"] = file->path;
        // Taken now: a file moved or removed since it was written has no size.
        entry["size"] = orNull(sizeOnDisk(file->path));
        outputs.push_back(std::move(entry));
    }
    return outputs;
}

json chapterList(const std::vector<Chapter>& chapters) {
    json list = json::array();
    for (const Chapter& chapter : chapters)
        list.push_back({{"time", chapter.time}, {"name", chapter.name}});
    return list;
}

json discTitle(const DiscTitle& title) {
    const TitleEntry& entry = title.read.title;
    json files = json::array();
    for (const TitleFile& file : title.files)
        files.push_back({{"clip", file.clip}, {"path", file.path}, {"exists", file.exists}});
    json streams = json::array();
    for (const DeclaredStream& stream : title.read.streams) {
        json item = {{"key", keyName(stream.kind, stream.number)},
                     {"kind", kindName(stream.kind)},
                     {"number", stream.number},
                     {"text", stream.text}};
        describeDeclared(item, &stream);
        streams.push_back(std::move(item));
    }
    return {{"number", entry.number},
            {"id", entry.id},
            {"name", entry.name},
            {"durationText", entry.duration},
            {"duration", entry.durationMs ? json(static_cast<double>(*entry.durationMs) / 1000)
                                          : json(nullptr)},
            {"files", std::move(files)},
            {"streams", std::move(streams)},
            {"chapterCount", title.read.chapters.size() + entry.chaptersDropped},
            {"chapters", chapterList(title.read.chapters)}};
}

json treeNodes(const std::vector<TreeNode>& nodes) {
    json list = json::array();
    for (const TreeNode& node : nodes)
        list.push_back({{"text", node.text}, {"children", treeNodes(node.children)}});
    return list;
}

} // namespace

std::vector<TreeNode> playlistTree(const PlaylistResult& playlist) {
    if (playlist.titleFound()) return playlist.read.tree;
    return {{"Video", {}}, {"Audio", {}}, {"Subpicture", {}}, {"Chapter", {}}};
}

nlohmann::ordered_json readReport(const ReadResult& read, const RunSummary& summary,
                                  const MessageLog& log) {
    json report;
    report["command"] = "read";
    report["source"] = read.source;
    report["outputBaseName"] = read.outputBaseName;
    report["continued"] = read.continued;
    json streams = json::array();
    for (const FoundStream& stream : summary.streams)
        streams.push_back(foundStream(stream));
    report["streams"] = std::move(streams);
    report["log"] = logLines(log);
    report["logRuns"] = logRuns(log);
    json navigation = json::array();
    for (const NavigationReport& file : summary.navigation)
        navigation.push_back(navigationJson(file));
    report["navigation"] = std::move(navigation);

    json video = json::array();
    for (const VideoFrames& frames : summary.frames)
        video.push_back({{"number", frames.number},
                         {"countedFrames", frames.counted},
                         {"frameRate", frames.frameRate},
                         {"countedSeconds", orNull(frames.countedSeconds)},
                         {"calculatedFrames", orNull(frames.calculatedFrames)}});
    report["frames"] = std::move(video);
    report["totalSeconds"] = summary.totalSeconds;
    report["lastFileSeconds"] = summary.lastFileSeconds;
    report["firstVideoPtm"] = summary.firstVideoPtm;
    report["lastVideoPtm"] = summary.lastVideoPtm;
    return report;
}

nlohmann::ordered_json demuxReport(const ReadResult& read, const RunSummary& summary,
                                   const MessageLog& log, const std::vector<WrittenFile>& files) {
    json report = readReport(read, summary, log);
    report["command"] = "demux";
    std::vector<const WrittenFile*> written;
    for (const WrittenFile& file : files)
        written.push_back(&file);
    report["outputs"] = writtenFiles(written);
    return report;
}

nlohmann::ordered_json rebuildReport(const ReadResult& read, const RunSummary& summary,
                                     const MessageLog& log, const RebuildResult* rebuild) {
    json report = readReport(read, summary, log);
    report["command"] = "rebuild";
    report["outputs"] =
        writtenFiles(rebuild ? std::vector{&rebuild->file} : std::vector<const WrittenFile*>());
    return report;
}

nlohmann::ordered_json playlistReport(const PlaylistResult& playlist, const MessageLog& log,
                                      const WrittenFile* chapters) {
    const std::vector<DeclaredStream>& declared = playlist.read.streams;
    json report;
    report["command"] = "playlist";
    report["playlist"] = playlist.playlist;
    report["source"] = playlist.source;
    report["titleFound"] = playlist.titleFound();
    // The streams that get a box: the first declaration of each, video track 1 only.
    std::array<const DeclaredStream*, kStreamSlotCount> boxed{};
    for (const DeclaredStream& stream : declared) {
        if (stream.number >= streamCount(stream.kind)) continue;
        if (stream.kind == StreamKind::Video && stream.number != 0) continue;
        const auto slot = static_cast<std::size_t>(slotOf({stream.kind, stream.number}));
        if (!boxed[slot]) boxed[slot] = &stream;
    }
    json streams = json::array();
    for (int slot = 1; slot < kStreamSlotCount; ++slot)
        if (const DeclaredStream* stream = boxed[static_cast<std::size_t>(slot)]) {
            json entry = streamEntry(slot, stream->text);
            describeDeclared(entry, stream);
            streams.push_back(std::move(entry));
        }
    report["streams"] = std::move(streams);
    json all = json::array();
    for (const DeclaredStream& stream : declared) {
        // A playlist may declare more video tracks than there are video slots.
        const int slot = slotOf({stream.kind, stream.number});
        const bool hasBox = stream.number < streamCount(stream.kind);
        json entry = {{"slot", hasBox ? json(slot) : json(nullptr)},
                      {"key", hasBox ? json(keyName(keyOfSlot(slot))) : json(nullptr)},
                      {"kind", kindName(stream.kind)},
                      {"number", stream.number},
                      {"text", stream.text}};
        describeDeclared(entry, &stream);
        all.push_back(std::move(entry));
    }
    report["declaredStreams"] = std::move(all);
    report["log"] = logLines(log);
    report["logRuns"] = logRuns(log);
    report["tree"] = treeNodes(playlistTree(playlist));
    report["chapters"] = presetChapterList(playlist.read.chapters);
    if (chapters) report["outputs"] = writtenFiles({chapters});
    return report;
}

nlohmann::ordered_json mkvReport(const ReadResult& read, const RunSummary& summary,
                                 const MessageLog& log, const MatroskaResult& matroska) {
    json report = demuxReport(read, summary, log, matroska.demux.files);
    report["command"] = "mkv";
    const MuxPlan& plan = matroska.plan;
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
    json chapters = chapterList(plan.chapters);
    report["matroska"] = {{"path", plan.output},
                          {"made", matroska.outcome.made},
                          {"command", matroska.outcome.command},
                          {"optionsFile", matroska.optionsPath},
                          {"tracks", std::move(tracks)},
                          {"chapters", std::move(chapters)},
                          {"subpictures", matroska.subpictures}};
    return report;
}

nlohmann::ordered_json titlesReport(const TitlesResult& titles, const MessageLog& log) {
    json report;
    report["command"] = "titles";
    report["disc"] = titles.disc;
    report["playlist"] = titles.paths.playlist;
    report["evoFolder"] =
        titles.paths.evoFolder.empty() ? json(nullptr) : json(titles.paths.evoFolder);
    json list = json::array();
    for (const DiscTitle& title : titles.titles)
        list.push_back(discTitle(title));
    report["titles"] = std::move(list);
    report["log"] = logLines(log);
    report["logRuns"] = logRuns(log);
    return report;
}

} // namespace tessary::cli
