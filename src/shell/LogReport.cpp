#include "shell/LogReport.h"

#include <cstdio>

namespace tessary {

namespace {

void appendEscaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
}

// The CSS of the attributes that differ from the log's defaults; empty when none does.
std::string styleOf(const RunAttributes& a) {
    const RunAttributes plain;
    std::string style;
    auto add = [&style](const std::string& declaration) {
        style += style.empty() ? declaration : "; " + declaration;
    };
    if (a.bold) add("font-weight: bold");
    if (a.italic) add("font-style: italic");
    if (a.underline) add("text-decoration: underline");
    if (a.pointSize != plain.pointSize) add("font-size: " + std::to_string(a.pointSize) + "pt");
    if (a.colour) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "#%02x%02x%02x", a.colour->r, a.colour->g, a.colour->b);
        add(std::string("color: ") + hex);
    }
    return style;
}

} // namespace

std::string logReportText(const std::vector<LogLine>& lines) {
    std::string out;
    for (const LogLine& line : lines) {
        out += line.plainText();
        out += '\n';
    }
    return out;
}

std::string logReportHtml(const std::vector<LogLine>& lines, std::string_view title) {
    std::string out = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>";
    appendEscaped(out, title);
    // The window shows the log in Tahoma, 8 points, without wrapping.
    out += "</title>\n</head>\n<body>\n"
           "<pre style=\"font-family: Tahoma, sans-serif; font-size: 8pt\">\n";
    for (const LogLine& line : lines) {
        for (const Run& run : line.runs) {
            const std::string style = styleOf(run.attributes);
            if (!style.empty()) out += "<span style=\"" + style + "\">";
            appendEscaped(out, run.text);
            if (!style.empty()) out += "</span>";
        }
        out += '\n';
    }
    out += "</pre>\n</body>\n</html>\n";
    return out;
}

} // namespace tessary
