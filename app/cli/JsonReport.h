#pragma once

#include <nlohmann/json.hpp>

namespace tessary {
class TfMain;
}

namespace tessary::cli {

// The outcome of a Read as one JSON document: the source, the streams found (one per enabled
// stream box), the log lines as plain text, the frame counts and the durations.
nlohmann::ordered_json readReport(TfMain& main);

// The outcome of a Read followed by a Demux: the Read's document (its log holding the lines
// of both) and the files written, in the order they were created, each with its stream key,
// its path and its size on disk.
nlohmann::ordered_json demuxReport(TfMain& main);

// The outcome of a Read followed by a Rebuild: the Read's document (its log holding the lines
// of both) and the rebuilt file, with its path and its size on disk.
nlohmann::ordered_json rebuildReport(TfMain& main);

} // namespace tessary::cli
