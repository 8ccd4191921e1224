// tessary-cli on the demo disc, byte for byte: each case runs the program as a user would and
// compares its whole output with a file of tests/golden/.
//
// The output is normalised in one way only: the demo disc's folder (samples/ of the source tree)
// becomes @DISC@ and the case's fresh output folder becomes @OUT@, wherever they occur, so that
// the files hold on any clone. Nothing else differs from run to run.
//
// An intended change of the output: tools/update-golden.sh writes the files anew (it runs these
// tests with TESSARY_UPDATE_GOLDEN=1); review the change with git diff.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "ShellCommands.h"
#include "TempDir.h"

using namespace tessary::test;
namespace fs = std::filesystem;

namespace {

// What a case compares: the program's stdout (stderr joined to it, empty on the demo disc),
// each file written to @OUT@ as "NAME SIZE MD5" in name order, or one written file's bytes.
enum class Output { Stdout, WrittenFiles, WrittenFile };

struct GoldenCase {
    const char* golden;  // the file of tests/golden/
    const char* command; // tessary-cli's arguments, split at spaces
    Output output = Output::Stdout;
    const char* writtenFile = "";
};

void PrintTo(const GoldenCase& c, std::ostream* out) {
    *out << c.golden;
}

const std::vector<GoldenCase> kCases = {
    {"read.txt", "read --color never @DISC@/HVDVD_TS/FEATURE_1.EVO"},
    {"read.json", "read --format json @DISC@/HVDVD_TS/FEATURE_1.EVO"},
    {"demux.txt", "demux -q --color never -o @OUT@ @DISC@/HVDVD_TS/FEATURE_1.EVO",
     Output::WrittenFiles},
    {"demux-codec-ext.txt", "demux -q --codec-ext -o @OUT@ @DISC@/HVDVD_TS/FEATURE_1.EVO",
     Output::WrittenFiles},
    {"demux-log.txt", "demux -q --color never -o @OUT@ @DISC@/HVDVD_TS/FEATURE_1.EVO"},
    {"playlist.txt", "playlist --color never --source @DISC@/HVDVD_TS/FEATURE_1.EVO "
                     "@DISC@/ADV_OBJ/VPLST000.XPL"},
    {"chapters.txt",
     "playlist --chapters -o @OUT@ --source @DISC@/HVDVD_TS/FEATURE_1.EVO "
     "@DISC@/ADV_OBJ/VPLST000.XPL",
     Output::WrittenFile, "FEATURE_1.chapters.txt"},
    {"chapters.xml",
     "playlist --chapters --chapters-format xml -o @OUT@ --source "
     "@DISC@/HVDVD_TS/FEATURE_1.EVO @DISC@/ADV_OBJ/VPLST000.XPL",
     Output::WrittenFile, "FEATURE_1.chapters.xml"},
    // Three titles: one split over two files (the second named in lower case), one missing.
    {"titles.txt", "titles --color never @DISC@/../tests/fixtures/titles-disc"},
};

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

std::string quoted(const std::string& word) {
    return "'" + replaceAll(word, "'", "'\\''") + "'";
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string writtenFiles(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            names.push_back(entry.path().lexically_relative(folder).generic_string());
    std::sort(names.begin(), names.end());
    std::string list;
    for (const std::string& name : names) {
        const fs::path file = folder / name;
        const std::string md5 = programOutput("md5sum < " + quoted(file.string())).substr(0, 32);
        list += name + ' ' + std::to_string(fs::file_size(file)) + ' ' + md5 + '\n';
    }
    return list;
}

class CliOutput : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(CliOutput, IsTheGoldenFile) {
    const GoldenCase& c = GetParam();
    TempDir work;
    const fs::path out = work.file("out");
    const std::string disc = (fs::path(TESSARY_SOURCE_DIR) / "samples").string();

    std::string command = quoted(TESSARY_CLI_PATH);
    std::istringstream words(c.command);
    for (std::string word; words >> word;)
        command +=
            ' ' + quoted(replaceAll(replaceAll(word, "@OUT@", out.string()), "@DISC@", disc));
    std::string output;
    const int status = outputOf(command + " 2>&1", output);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command << "\n" << output;

    if (c.output == Output::WrittenFiles) output = writtenFiles(out);
    if (c.output == Output::WrittenFile) output = readFile(out / c.writtenFile);
    output = replaceAll(replaceAll(output, out.string(), "@OUT@"), disc, "@DISC@");

    const fs::path golden = fs::path(TESSARY_SOURCE_DIR) / "tests" / "golden" / c.golden;
    if (std::getenv("TESSARY_UPDATE_GOLDEN") != nullptr) {
        fs::create_directories(golden.parent_path());
        std::ofstream file(golden, std::ios::binary);
        file << output;
        ASSERT_TRUE(file.good()) << "cannot write " << golden;
        return;
    }
    if (output == readFile(golden)) return;
    const fs::path actual = work.file(c.golden);
    std::ofstream(actual, std::ios::binary) << output;
    ADD_FAILURE() << "the output differs from tests/golden/" << c.golden
                  << " (tools/update-golden.sh writes it anew when the change is intended):\n"
                  << programOutput("diff -u --label golden/" + std::string(c.golden) +
                                   " --label actual " + quoted(golden.string()) + " " +
                                   quoted(actual.string()));
}

// The test's name: the golden file's, e.g. golden/CliOutput.IsTheGoldenFile/read_json.
std::string caseName(const ::testing::TestParamInfo<GoldenCase>& info) {
    std::string name = info.param.golden;
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(golden, CliOutput, ::testing::ValuesIn(kCases), caseName);

} // namespace
