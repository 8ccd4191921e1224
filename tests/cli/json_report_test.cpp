// tessary-cli --format json on the demo disc: every command's document follows
// docs/tessary-cli.schema.json, and the values it gives agree with the lines of its log.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>
#include <sys/wait.h>
#include <utility>
#include <vector>

#include "CliRun.h"
#include "DemoDisc.h"
#include "FieldAgreement.h"
#include "TempDir.h"
#include "platform/Format.h"

using namespace tessary;
using namespace tessary::test;
using json = nlohmann::json;

namespace {

json runJson(const std::vector<std::string>& args) {
    const CliResult r = runCliArgs(args);
    EXPECT_EQ(r.status, 0) << r.err;
    return json::parse(r.out);
}

// The named values of a stream, read back from its document.
std::vector<ReportField> fieldsOf(const json& stream) {
    std::vector<ReportField> fields;
    for (const json& field : stream["fields"]) {
        FieldValue value;
        const json& v = field["value"];
        if (v.is_number())
            value = v.get<double>();
        else if (v.is_string())
            value = v.get<std::string>();
        else
            value = v.get<std::vector<double>>();
        fields.push_back({field["name"], value, field.value("unit", ""), field.value("group", "")});
    }
    return fields;
}

// The stream's first details in the log: from its "First PTS" line (followed by its substream
// id) up to a line that is not indented or starts another stream's details.
std::vector<std::string> detailLines(const std::vector<std::string>& log, const json& stream) {
    const std::string first = "   First PTS = " + hex8(stream["firstPts"].get<uint32_t>());
    const std::string id = "   Substream id = " + hex2(stream["id"].get<uint32_t>());
    std::size_t start = log.size();
    for (std::size_t i = log.size() - 1; i-- > 0;)
        if (log[i].starts_with(first) && log[i + 1] == id) start = i;
    std::vector<std::string> lines;
    for (std::size_t i = start; i < log.size(); ++i) {
        if (i > start && (!log[i].starts_with("   ") || log[i].starts_with("   First PTS = ")))
            break;
        lines.push_back(log[i]);
    }
    return lines;
}

// The mkv command's document, whether mkvmerge is there (exit status 0) or not (3).
json mkvJson(const std::string& folder) {
    const CliResult r = runCliArgs({"mkv", "--format", "json", "-o", folder,
                                    (demoDisc() / "HVDVD_TS" / "FEATURE_1.EVO").string()});
    EXPECT_TRUE(r.status == 0 || r.status == 3) << r.err;
    return json::parse(r.out);
}

class JsonReport : public ::testing::Test {
protected:
    // The document of each command on the demo disc, FEATURE_1.EVO continuing onto FEATURE_2.EVO.
    std::vector<std::pair<std::string, json>> documents() const {
        const std::string folder = (dir.path() / "out").string();
        return {{"read", runJson({"read", "--format", "json", source})},
                {"demux", runJson({"demux", "--format", "json", "-o", folder, source})},
                {"rebuild", runJson({"rebuild", "--format", "json", "-o", folder, source})},
                {"playlist", runJson({"playlist", "--format", "json", "--chapters", "-o", folder,
                                      playlist, "--source", source})},
                {"mkv", mkvJson(folder)},
                {"titles", runJson({"titles", "--format", "json", demoDisc().string()})}};
    }

    // Exit status of the schema check of `files` (77: no jsonschema module, 127: no python3)
    // and its reasons.
    std::pair<int, std::string> validate(const std::string& files) const {
        const std::filesystem::path root(TESSARY_SOURCE_DIR);
        const auto reasons = dir.path() / "reasons.txt";
        const std::string command = "python3 '" +
                                    (root / "tests" / "support" / "validate_json.py").string() +
                                    "' '" + (root / "docs" / "tessary-cli.schema.json").string() +
                                    "'" + files + " 2>'" + reasons.string() + "'";
        const int status = std::system(command.c_str());
        std::ifstream in(reasons);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1,
                {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()}};
    }

    TempDir dir;
    const std::string source = (demoDisc() / "HVDVD_TS" / "FEATURE_1.EVO").string();
    const std::string playlist = (demoDisc() / "ADV_OBJ" / "VPLST000.XPL").string();
};

} // namespace

TEST_F(JsonReport, EveryCommandFollowsTheSchema) {
    std::string files;
    json read;
    for (const auto& [command, document] : documents()) {
        EXPECT_EQ(document["command"], command);
        files += " '" + dir.writeFile(command + ".json", document.dump()).string() + "'";
        if (command == "read") read = document;
    }
    // The schema describes every member: one it does not know makes the check fail.
    read["streams"][0]["undocumented"] = 1;
    const std::string refused = " '" + dir.writeFile("refused.json", read.dump()).string() + "'";

    const auto [status, reasons] = validate(files);
    if (status == 77 || status == 127) GTEST_SKIP() << "python3 or python3-jsonschema is missing";
    EXPECT_EQ(status, 0) << reasons;
    const auto [refusedStatus, refusedReasons] = validate(refused);
    EXPECT_EQ(refusedStatus, 1);
    EXPECT_NE(refusedReasons.find("/streams/0: Additional properties are not allowed"),
              std::string::npos)
        << refusedReasons;
}

TEST_F(JsonReport, DetailValuesAndRunsAgreeWithTheLogLines) {
    for (const auto& [command, document] : documents()) {
        const auto log = document["log"].get<std::vector<std::string>>();
        ASSERT_EQ(document["logRuns"].size(), log.size()) << command;
        for (std::size_t i = 0; i < log.size(); ++i) {
            std::string text;
            for (const json& run : document["logRuns"][i])
                text += run["text"].get<std::string>();
            EXPECT_EQ(text, log[i]) << command;
        }
        if (command == "playlist" || command == "titles") continue;
        for (const json& stream : document["streams"]) {
            const std::vector<ReportField> fields = fieldsOf(stream);
            EXPECT_GE(fields.size(), 3u) << command << ' ' << stream["key"];
            EXPECT_EQ(fieldDisagreement(detailLines(log, stream), fields), "")
                << command << ' ' << stream["key"];
        }
    }
    // Without details nothing is reported, and nothing is made up.
    const json plain = runJson({"read", "--format", "json", "--no-details", source});
    for (const json& stream : plain["streams"]) {
        EXPECT_TRUE(stream["firstPts"].is_null());
        EXPECT_TRUE(stream["firstPtsOffsetMs"].is_null());
        EXPECT_TRUE(stream["fields"].empty());
    }
}

TEST_F(JsonReport, StreamsNavigationAndDeclaredStreamsOfTheDemoDisc) {
    // Each stream's codec, stream id, substream id, first PTS (of the first file's details) and
    // its offset from the first video frame.
    const json read = runJson({"read", "--format", "json", source});
    std::vector<json> streams;
    for (const json& s : read["streams"])
        streams.push_back({s["key"], s["codec"], s["streamId"], s["substreamId"], s["firstPts"],
                           s["firstPtsOffsetMs"], s.value("frames", json()),
                           s.value("duration", json())});
    EXPECT_EQ(json(streams), json::parse(R"([["v0", "H.264", 226, null, 90000, 0, 276, 11.5115],
        ["v1", "VC-1", 253, 86, 90000, 0, 276, 11.5115],
        ["a0", "AC-3", 189, 128, 90000, 0, null, null],
        ["a1", "E-AC-3", 189, 193, 90000, 0, null, null],
        ["a2", "DTS", 189, 138, 90000, 0, null, null],
        ["a3", "TrueHD", 189, 179, 90000, 0, null, null],
        ["a4", "LPCM", 189, 164, 90000, 0, null, null],
        ["s0", "Subpicture", 189, 32, 135000, 500, null, null],
        ["s1", "Subpicture", 189, 33, 153000, 700, null, null]])"));
    EXPECT_EQ(read["logRuns"][0], json::parse(R"([{"text": "Opening file "},
        {"text": "FEATURE_1.EVO", "bold": true}])"));
    EXPECT_EQ(read["logRuns"][6], json::parse(R"([{"text": "PTM of first video frame = "},
        {"text": "00015F90", "color": "#FF0000"}])"));
    const std::string copyControl = R"("encrypted": false, "copyControl": {"cgms": {"code": 2,
        "name": "No More Copies"}, "aps": {"code": 1, "name": "Type 1 of APS1 is ON"},
        "ict": null, "dot": null}})";
    EXPECT_EQ(read["navigation"],
              json::parse(R"([{"file": "FEATURE_1.EVO", "vobId": 1, "videoStreams": 2,
        "audioStreams": 5, "subpictureStreams": 2, "firstPtm": 90000, "lastPtm": 630540,
        "duration": 6.006, )" +
                          copyControl + R"(, {"file": "FEATURE_2.EVO", "vobId": 2,
        "videoStreams": 2, "audioStreams": 5, "subpictureStreams": 2, "firstPtm": 630540,
        "lastPtm": 1126035, "duration": 5.5055, )" +
                          copyControl + "]"));

    // The playlist: every declared stream, and the boxes (no second video box) with the same
    // description and language.
    const json playlistDoc =
        runJson({"playlist", "--format", "json", playlist, "--source", source});
    std::vector<json> declared, boxes;
    for (const json& s : playlistDoc["declaredStreams"])
        declared.push_back({s["key"], s["text"], s["description"], s["language"]});
    for (const json& s : playlistDoc["streams"])
        boxes.push_back({s["key"], s["caption"], s["description"], s["language"]});
    EXPECT_EQ(json(declared), json::parse(R"([["v0", "AVC.s0", "Main", null],
        ["v1", "VC-1.s1", "Alternate", null], ["a0", "AC-3.6ch.s00.English", "English", "en"],
        ["a1", "DD+.6ch.s01.French", "French", "fr"], ["a2", "DTS.6ch.s02.German", "German", "de"],
        ["a3", "MLP.2ch.s03.Japanese", "Japanese", "ja"],
        ["a4", "LPCM.2ch.s04.Commentary", "Commentary", "en"],
        ["s0", "2bitRLE.s00.English", "English", "en"], ["s1", "2bitRLE.s01.French", "French", "fr"]])"));
    declared.erase(declared.begin() + 1);
    EXPECT_EQ(boxes, declared);
}

TEST_F(JsonReport, PropertiesAgreeWithTheFieldsTheyComeFrom) {
    // Each property that a field shows too: the field's names in the reports of the codecs, the
    // number of a pair it is (-1: the whole value), and how far the property may lie from it.
    struct Counterpart {
        std::string property;
        std::vector<std::string> fields;
        int index = -1;
        double offset = 0, tolerance = 0;
    };
    const std::vector<Counterpart> table = {
        {"width", {"Size", "size"}, 0},
        {"height", {"Size", "size"}, 1},
        {"displayWidth", {"Display size"}, 0},
        {"displayHeight", {"Display size"}, 1},
        {"sampleAspectRatio", {"Aspect ratio"}},
        {"frameRate", {"Frame rate", "Frame Rate"}, -1, 0, 0.0005}, // shown to 0.001
        {"profile", {"Profile"}},
        {"level", {"Level"}},
        {"chromaFormat", {"Chroma format", "Chroma Format"}},
        {"bitDepth", {"(l, c)"}, 0},
        {"chromaBitDepth", {"(l, c)"}, 1},
        {"bitDepth", {"Quantization length", "Source PCM resolution"}},
        {"sampleRate", {"Sampling frequency"}},
        {"channels", {"Number of audio channels"}},
        {"channelLayout", {"Channel arrangement"}},
        {"lfe", {"LFE channel"}}, // "present ..." is true
        {"bitRate", {"Transmission bitrate"}},
        {"frameSize", {"frame size"}},
        {"frameSize", {"Primary frame byte size"}, -1, 1}, // FSIZE, the size less one
    };
    const json read = runJson({"read", "--format", "json", source});
    std::vector<int> met(table.size());
    for (const json& stream : read["streams"]) {
        const json& properties = stream["properties"];
        for (std::size_t row = 0; row < table.size(); ++row) {
            const Counterpart& c = table[row];
            // The first field of one of the names: the one the property comes from.
            const auto field =
                std::find_if(stream["fields"].begin(), stream["fields"].end(), [&](const json& f) {
                    return std::find(c.fields.begin(), c.fields.end(), f["name"]) != c.fields.end();
                });
            if (field == stream["fields"].end()) continue;
            ++met[row];
            const json& value = c.index < 0 ? (*field)["value"] : (*field)["value"][c.index];
            const std::string where = stream["key"].get<std::string>() + ' ' + c.property;
            ASSERT_TRUE(properties.contains(c.property)) << where;
            const json& property = properties[c.property];
            if (property.is_boolean())
                EXPECT_EQ(property, value.get<std::string>().starts_with("present")) << where;
            else if (property.is_string())
                EXPECT_EQ(property, value) << where;
            else
                EXPECT_NEAR(property.get<double>(), value.get<double>() + c.offset, c.tolerance)
                    << where;
        }
    }
    // Every row is met on the demo disc but the size of MPEG-2, which shares one.
    for (std::size_t row = 0; row < table.size(); ++row)
        EXPECT_GT(met[row], 0) << table[row].property << " of " << table[row].fields[0];
}
