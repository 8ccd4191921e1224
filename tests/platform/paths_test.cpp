#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/Paths.h"

namespace tessary {
namespace {

const std::string kSep(1, kPathSeparator);

TEST(Paths, FolderNameAndExtension) {
    const std::string path = kSep + "disc" + kSep + "HVDVD_TS" + kSep + "F.EVO";
    EXPECT_EQ(folderPart(path), kSep + "disc" + kSep + "HVDVD_TS" + kSep);
    EXPECT_EQ(namePart(path), "F.EVO");
    EXPECT_EQ(extensionPart(path), ".EVO");
    EXPECT_EQ(folderPart("F.EVO"), "");
    EXPECT_EQ(namePart("dir" + kSep), "");
    EXPECT_EQ(extensionPart("x.y" + kSep + "file"), "");
#ifdef _WIN32
    EXPECT_EQ(folderPart("C:/disc/F.EVO"), "C:/disc/");
    EXPECT_EQ(folderPart("C:F.EVO"), "C:");
#endif
}

TEST(Paths, FileExistsOnlyForRegularFiles) {
    namespace fs = std::filesystem;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const fs::path folder = fs::temp_directory_path() / ("tessary_paths_" + std::to_string(stamp));
    fs::create_directories(folder);
    std::ofstream(folder / "f.EVO") << "x";

    EXPECT_TRUE(fileExists((folder / "f.EVO").string()));
    EXPECT_FALSE(fileExists(folder.string()));
    EXPECT_FALSE(fileExists((folder / "missing.EVO").string()));
    EXPECT_FALSE(fileExists(""));
    EXPECT_FALSE(fileExists(std::string("bad\0name", 8)));
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

} // namespace
} // namespace tessary
