#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "shell/MessageLog.h"

namespace tessary {

// The message log as a report file: each line's text followed by "\n".
std::string logReportText(const std::vector<LogLine>& lines);

// The message log as an HTML page titled `title`, its lines as the window shows them: in the
// log's font, 8 points, with each run's bold, italic, underline, size and colour; runs in the
// window-text colour take the page's. Text bytes are kept as they are (the page says UTF-8).
std::string logReportHtml(const std::vector<LogLine>& lines, std::string_view title);

} // namespace tessary
