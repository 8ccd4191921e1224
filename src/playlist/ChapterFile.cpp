#include "playlist/ChapterFile.h"

#include <cinttypes>
#include <cstdio>

#include "platform/Utf8.h"

namespace tessary {

namespace {

std::string xmlEscaped(std::string_view text) {
    std::string escaped;
    for (const char c : validUtf8(text))
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        default:
            // Control characters other than tab have no place in XML 1.0.
            escaped += static_cast<unsigned char>(c) < 0x20 && c != '\t' ? ' ' : c;
        }
    return escaped;
}

// "hh:mm:ss.nnnnnnnnn", the form of ChapterTimeStart.
std::string xmlTime(int64_t ms) {
    if (ms < 0) ms = 0;
    char text[40];
    std::snprintf(text, sizeof text,
                  "%02" PRId64 ":%02" PRId64 ":%02" PRId64 ".%03" PRId64 "000000", ms / 3600000,
                  ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
    return text;
}

std::string linesText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

} // namespace

std::optional<ChapterFormat> chapterFormatNamed(std::string_view name) {
    for (const ChapterFormat format :
         {ChapterFormat::Preset, ChapterFormat::Ogm, ChapterFormat::Xml})
        if (name == chapterFormatName(format)) return format;
    return std::nullopt;
}

const char* chapterFormatName(ChapterFormat format) {
    switch (format) {
    case ChapterFormat::Ogm: return "ogm";
    case ChapterFormat::Xml: return "xml";
    case ChapterFormat::Preset: break;
    }
    return "preset";
}

const char* chapterFileExtension(ChapterFormat format) {
    return format == ChapterFormat::Xml ? ".xml" : ".txt";
}

std::string chapterFileText(const std::vector<Chapter>& chapters, ChapterFormat format,
                            std::string_view language) {
    if (format == ChapterFormat::Preset) return linesText(presetChapterList(chapters));
    if (format == ChapterFormat::Ogm) return linesText(ogmChapterLines(chapters));
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<!DOCTYPE Chapters SYSTEM \"matroskachapters.dtd\">\n"
                      "<Chapters>\n"
                      "  <EditionEntry>\n";
    for (const Chapter& chapter : chapters)
        xml += "    <ChapterAtom>\n"
               "      <ChapterTimeStart>" +
               xmlTime(chapter.ms) +
               "</ChapterTimeStart>\n"
               "      <ChapterDisplay>\n"
               "        <ChapterString>" +
               xmlEscaped(chapter.name) +
               "</ChapterString>\n"
               "        <ChapLanguageIETF>" +
               xmlEscaped(language) +
               "</ChapLanguageIETF>\n"
               "      </ChapterDisplay>\n"
               "    </ChapterAtom>\n";
    xml += "  </EditionEntry>\n"
           "</Chapters>\n";
    return xml;
}

} // namespace tessary
