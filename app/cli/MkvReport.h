#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace tessary {
class TfMain;
}

namespace tessary::cli {

// The outcome of the mkv command: the Read's document (its log holding every line), the files
// demuxed, and under "matroska" the file made (or to be made), whether it was, the command to
// make it by hand, its options file, each track with its stream key, file, name, language,
// delay and default duration, the chapters (time and name) and the subpicture files kept
// beside it.
nlohmann::ordered_json mkvReport(TfMain& main, const std::vector<std::string>& subpictures);

} // namespace tessary::cli
