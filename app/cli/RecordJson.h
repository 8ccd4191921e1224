#pragma once

#include <nlohmann/json.hpp>
#include <vector>

#include "engine/RunState.h"
#include "platform/ReportLine.h"
#include "shell/MessageLog.h"

// The records of the core as JSON: the named values of the report, the navigation data of a
// file, the runs of a log line.

namespace tessary::cli {

// {"name", "value"[, "unit"][, "group"]}: a whole number as an integer, a pair as an array.
nlohmann::ordered_json fieldJson(const ReportField& field);
nlohmann::ordered_json fieldsJson(const std::vector<ReportField>& fields);
// A stream's properties as one object, {"sampleRate": 48000, "channels": 6, "lfe": true}.
nlohmann::ordered_json propertiesJson(const std::vector<StreamProperty>& properties);

// The file's name, the data search information's values (null when the file had none), the
// encryption and copy-control flags of the general control information (null likewise).
nlohmann::ordered_json navigationJson(const NavigationReport& navigation);

// The runs of a line: {"text"} with only the attributes that differ from the log's default
// ("bold", "italic", "underline", "color" as "#RRGGBB", "pointSize").
nlohmann::ordered_json runsJson(const LogLine& line);

} // namespace tessary::cli
