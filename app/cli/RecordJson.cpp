#include "RecordJson.h"

#include <cmath>
#include <cstdio>
#include <variant>

namespace tessary::cli {

namespace {

using json = nlohmann::ordered_json;

// Integers print without a fraction; the largest whole number a double holds exactly bounds
// them.
json numberJson(double value) {
    constexpr double kExactIntegers = 9007199254740992.0; // 2^53
    if (std::isfinite(value) && std::trunc(value) == value && std::fabs(value) <= kExactIntegers)
        return static_cast<int64_t>(value);
    return value; // NaN and infinities print as null
}

json copyFlagJson(const std::optional<CopyFlag>& flag) {
    if (!flag) return nullptr;
    return {{"code", flag->code}, {"name", flag->name}};
}

json optionalJson(const std::optional<bool>& value) {
    return value ? json(*value) : json(nullptr);
}

std::string colourName(const Rgb& colour) {
    char name[8];
    std::snprintf(name, sizeof name, "#%02X%02X%02X", colour.r, colour.g, colour.b);
    return name;
}

} // namespace

json fieldJson(const ReportField& field) {
    json entry = {{"name", field.name}};
    std::visit(
        [&entry](const auto& value) {
            using Value = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<Value, double>) {
                entry["value"] = numberJson(value);
            } else if constexpr (std::is_same_v<Value, std::string>) {
                entry["value"] = value;
            } else {
                json numbers = json::array();
                for (const double number : value)
                    numbers.push_back(numberJson(number));
                entry["value"] = std::move(numbers);
            }
        },
        field.value);
    if (!field.unit.empty()) entry["unit"] = field.unit;
    if (!field.group.empty()) entry["group"] = field.group;
    return entry;
}

json fieldsJson(const std::vector<ReportField>& fields) {
    json list = json::array();
    for (const ReportField& field : fields)
        list.push_back(fieldJson(field));
    return list;
}

json propertiesJson(const std::vector<StreamProperty>& properties) {
    json object = json::object();
    for (const StreamProperty& property : properties)
        std::visit(
            [&](const auto& value) {
                using Value = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<Value, double>)
                    object[std::string(propertyName(property.key))] = numberJson(value);
                else
                    object[std::string(propertyName(property.key))] = value;
            },
            property.value);
    return object;
}

json navigationJson(const NavigationReport& navigation) {
    json entry = {{"file", navigation.file}};
    const auto& search = navigation.search;
    entry["vobId"] = search ? json(search->vobId) : json(nullptr);
    entry["videoStreams"] = search ? json(search->videoStreams) : json(nullptr);
    entry["audioStreams"] = search ? json(search->audioStreams) : json(nullptr);
    entry["subpictureStreams"] = search ? json(search->subpictureStreams) : json(nullptr);
    entry["firstPtm"] = search ? json(search->firstPtm) : json(nullptr);
    entry["lastPtm"] = search ? json(search->lastPtm) : json(nullptr);
    entry["duration"] = search ? json(search->seconds) : json(nullptr);
    const auto& control = navigation.control;
    entry["encrypted"] = control ? json(control->encrypted) : json(nullptr);
    entry["copyControl"] = control ? json{{"cgms", copyFlagJson(control->cgms)},
                                          {"aps", copyFlagJson(control->aps)},
                                          {"ict", optionalJson(control->ict)},
                                          {"dot", optionalJson(control->dot)}}
                                   : json(nullptr);
    return entry;
}

json runsJson(const LogLine& line) {
    const RunAttributes plain;
    json runs = json::array();
    for (const Run& run : line.runs) {
        json entry = {{"text", run.text}};
        const RunAttributes& a = run.attributes;
        if (a.bold) entry["bold"] = true;
        if (a.italic) entry["italic"] = true;
        if (a.underline) entry["underline"] = true;
        if (a.colour) entry["color"] = colourName(*a.colour);
        if (a.pointSize != plain.pointSize) entry["pointSize"] = a.pointSize;
        runs.push_back(std::move(entry));
    }
    return runs;
}

} // namespace tessary::cli
