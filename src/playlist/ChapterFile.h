#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "playlist/PlaylistValues.h"

namespace tessary {

// The forms a chapter file is written in: the chapter list between the preset lines
// ("Preset=!OGG" ... "Footer="), the plain OGM lines (CHAPTERnn=, CHAPTERnnNAME=) that
// Matroska muxers and most players read, or Matroska's chapter XML.
enum class ChapterFormat { Preset, Ogm, Xml };

// "preset", "ogm", "xml"; nullopt for any other name.
std::optional<ChapterFormat> chapterFormatNamed(std::string_view name);
const char* chapterFormatName(ChapterFormat format);
// The file's extension: ".xml" for XML, else ".txt".
const char* chapterFileExtension(ChapterFormat format);

// The whole file. Preset and OGM lines end in CR LF, with the names' bytes as the playlist
// gives them; the XML is UTF-8 (bytes that are not become U+FFFD), its names escaped, every
// chapter displayed in `language` (a BCP 47 tag such as "en", or "und").
std::string chapterFileText(const std::vector<Chapter>& chapters, ChapterFormat format,
                            std::string_view language);

} // namespace tessary
