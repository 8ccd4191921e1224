#pragma once

#include <string>
#include <string_view>

namespace tessary {

// A byte that never reaches a log message from outside (text from outside passes through
// `literal`, which replaces control characters): in a message it stands for a '[' that is
// shown as it is rather than read as the start of markup.
inline constexpr char kLiteralBracket = '\x01';

// Text from outside the program (a file name, a caption, a playlist's text) made fit for a
// log message: it shows literally, its brackets are no markup, and each control character
// (C0, DEL, C1) shows as U+FFFD rather than reaching a terminal.
std::string literal(std::string_view text);

// Text for a terminal line outside the log (stderr): control characters replaced as above.
std::string printable(std::string_view text);

} // namespace tessary
