// tessary-bench-playlist: times the playlist reader over a playlist, the way Read XPL runs it:
// readPlaylist for the title that plays SOURCEBASE, the report lines dropped. Every run starts
// from empty media attributes and an empty result; the time of a run is that of readPlaylist
// alone (the result is freed after the clock stops). Printed: a line a run, then the lines
// tools/bench_playlist.sh reads back:
//
//   bytes: N
//   best: S s, R MB/s
//   tag lines: N (the title's when it was found, else the file's)
//   chapters: N
//   streams: N
//   peak RSS: M MB (B MB before the first read), X times the file
//
// --lines prints the tag lines, the tree, the streams and the chapter lines of the last run after
// the figures (to compare two builds of the reader). MB are 10^6 bytes.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <string_view>

#include "CommandBench.h"
#include "platform/Reporter.h"
#include "playlist/PlaylistReader.h"

namespace {

using Clock = std::chrono::steady_clock;

class DroppingReporter : public tessary::Reporter {
public:
    void log(std::string_view) override {}
    void slog(std::string_view, int) override {}
};

void usage(std::FILE* to) {
    std::fprintf(to, "usage: tessary-bench-playlist PLAYLIST SOURCEBASE [REPEATS] [--lines]\n"
                     "Reads PLAYLIST for the title that plays SOURCEBASE REPEATS times (default "
                     "5)\n"
                     "and prints the time of each run and the best, MB/s (10^6 bytes per "
                     "second),\n"
                     "the tag lines, chapters and streams found and the peak RSS.\n");
}

} // namespace

int main(int argc, char** argv) {
    std::string positional[3];
    int count = 0;
    bool lines = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            usage(stdout);
            return 0;
        }
        if (arg == "--lines") {
            lines = true;
        } else if (count < 3 && !arg.starts_with("-")) {
            positional[count++] = arg;
        } else {
            usage(stderr);
            return 2;
        }
    }
    const int repeats = count == 3 ? std::atoi(positional[2].c_str()) : 5;
    if (count < 2 || repeats < 1) {
        usage(stderr);
        return 2;
    }
    const std::string& path = positional[0];
    const std::string& sourceBase = positional[1];

    try {
        const auto bytes = static_cast<double>(std::filesystem::file_size(path));
        const long before = tessary::bench::rssKb();
        double best = 0;
        tessary::PlaylistRead last;
        for (int run = 1; run <= repeats; ++run) {
            tessary::MediaAttributes attributes;
            DroppingReporter out;
            tessary::PlaylistRead result;
            const auto start = Clock::now();
            tessary::readPlaylist(path, "VPLST000.XPL", sourceBase, attributes, out, result);
            const std::chrono::duration<double> elapsed = Clock::now() - start;
            const double seconds = elapsed.count();
            best = run == 1 ? seconds : std::min(best, seconds);
            std::printf("run %d: %.0f bytes in %.3f s = %.0f MB/s, %zu tag lines, %zu chapters%s\n",
                        run, bytes, seconds, bytes / 1e6 / seconds, result.tagLines.size(),
                        result.chapters.size() / 2, result.titleFound ? "" : " (no title)");
            if (run == repeats) last = std::move(result);
        }
        std::printf("bytes: %.0f\n", bytes);
        std::printf("best: %.3f s, %.0f MB/s\n", best, bytes / 1e6 / best);
        std::printf("tag lines: %zu (%s)\n", last.tagLines.size(),
                    last.titleFound ? "the title's" : "no title: the file's");
        std::printf("chapters: %zu\n", last.chapters.size() / 2);
        std::printf("streams: %zu\n", last.streams.size());
        const long peak = tessary::bench::peakRssKb();
        std::printf("peak RSS: %.1f MB (%.1f MB before the first read), %.2f times the file\n",
                    static_cast<double>(peak) / 1000, static_cast<double>(before) / 1000,
                    static_cast<double>(peak) * 1000 / bytes);
        if (lines) {
            for (const std::string& line : last.tagLines)
                std::printf("line: %s\n", line.c_str());
            for (const tessary::TreeNode& top : last.tree)
                for (const tessary::TreeNode& node : top.children)
                    std::printf("tree: %s: %s\n", top.text.c_str(), node.text.c_str());
            for (const tessary::DeclaredStream& stream : last.streams)
                std::printf("stream: %s\n", stream.text.c_str());
            for (const std::string& line : tessary::ogmChapterLines(last.chapters))
                std::printf("chapter: %s\n", line.c_str());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tessary-bench-playlist: %s\n", e.what());
        return 1;
    }
    return 0;
}
