#pragma once

#include <string>

#include "shell/MessageLog.h"

namespace tessary::cli {

// A log line as the terminal shows it: its plain text, or with the runs' attributes as ANSI
// escape codes (bold, italic, underline, colour).
std::string plainLine(const LogLine& line);
std::string ansiLine(const LogLine& line);

} // namespace tessary::cli
