#include "TerminalOutput.h"

#include <ostream>

#include "jobs/StreamKeys.h"
#include "platform/LogText.h"

namespace tessary::cli {

std::string plainLine(const LogLine& line) {
    return line.plainText();
}

std::string ansiLine(const LogLine& line) {
    std::string out;
    for (const Run& run : line.runs) {
        const RunAttributes& a = run.attributes;
        std::string codes;
        auto add = [&codes](const std::string& code) {
            codes += codes.empty() ? code : ";" + code;
        };
        if (a.bold) add("1");
        if (a.italic) add("3");
        if (a.underline) add("4");
        if (a.colour) {
            const Rgb c = *a.colour;
            if (c == Rgb{0, 0, 255})
                add("34");
            else if (c == Rgb{255, 0, 0})
                add("31");
            else
                add("38;2;" + std::to_string(c.r) + ";" + std::to_string(c.g) + ";" +
                    std::to_string(c.b));
        }
        if (codes.empty()) {
            out += run.text;
        } else {
            out += "\x1b[" + codes + "m" + run.text + "\x1b[0m";
        }
    }
    return out;
}

void printTree(std::ostream& out, const std::vector<TreeNode>& nodes, int level) {
    for (const TreeNode& node : nodes) {
        out << std::string(2 * static_cast<std::size_t>(level), ' ') << printable(node.text)
            << '\n';
        printTree(out, node.children, level + 1);
    }
}

// Playlist texts may hold control characters: they are shown, not sent to the terminal.
void printTitles(std::ostream& out, const TitlesResult& titles) {
    for (const DiscTitle& title : titles.titles) {
        out << "Title " << printable(titleLine(title)) << '\n';
        for (const DeclaredStream& stream : title.read.streams)
            // A video stream's text does not hold its description.
            out << "   " << keyName(stream.kind, stream.number) << "  " << printable(stream.text)
                << (stream.kind == StreamKind::Video && !stream.description.empty()
                        ? "  " + printable(stream.description)
                        : "")
                << (stream.language.empty() ? "" : "  " + printable(stream.language)) << '\n';
    }
}

} // namespace tessary::cli
