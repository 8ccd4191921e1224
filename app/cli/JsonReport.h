#pragma once

#include <nlohmann/json.hpp>

namespace tessary {
class TfMain;
}

namespace tessary::cli {

// The outcome of a Read as one JSON document: the source, the streams found (one per enabled
// stream box), the log lines as plain text, the frame counts and the durations.
nlohmann::ordered_json readReport(TfMain& main);

} // namespace tessary::cli
