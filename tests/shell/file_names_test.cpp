#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "jobs/FileNames.h"
#include "platform/Paths.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
const std::string kSep(1, kPathSeparator);

TEST(CutExt, CutsOnlyAnExtensionOfTheName) {
    EXPECT_EQ(CutExt("FEATURE_1.EVO"), "FEATURE_1");
    EXPECT_EQ(CutExt("a.b.EVO"), "a.b");
    EXPECT_EQ(CutExt("FEATURE_1"), "FEATURE_1");
    EXPECT_EQ(CutExt("d" + kSep + "F.EVO"), "d" + kSep + "F");
    EXPECT_EQ(CutExt(kSep + "x.y" + kSep + "file"), kSep + "x.y" + kSep + "file");
}

class SecondFile : public ::testing::Test {
protected:
    void SetUp() override {
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        folder_ = fs::temp_directory_path() / ("tessary_getsecond_" + std::to_string(stamp));
        fs::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    std::string path(const std::string& name) const { return (folder_ / name).string(); }
    void touch(const std::string& name) const { std::ofstream(folder_ / name) << "x"; }

    fs::path folder_;
};

TEST_F(SecondFile, FeatureOneContinuesOnFeatureTwoWhenItExists) {
    EXPECT_EQ(getsecond(path("FEATURE_1.EVO")), "");
    touch("FEATURE_2.EVO");
    EXPECT_EQ(getsecond(path("FEATURE_1.EVO")), path("FEATURE_2.EVO"));
    EXPECT_EQ(getsecond(path("FEATURE_2.EVO")), "");
    touch("MOVIE_22.EVO"); // the first "_1" changes, whatever follows it
    EXPECT_EQ(getsecond(path("MOVIE_12.EVO")), path("MOVIE_22.EVO"));
    const std::string tail(200, 'n'); // long names are taken over whole
    touch("F_2" + tail);
    EXPECT_EQ(getsecond(path("F_1" + tail)), path("F_2" + tail));
}

TEST_F(SecondFile, LayerPrefixOnlyWithoutUnderscoreOne) {
    touch("L1_FEATURE.EVO");
    touch("L1_MOVIE_1.EVO");
    EXPECT_EQ(getsecond(path("L0_FEATURE.EVO")), path("L1_FEATURE.EVO"));
    // "_1" occurs, so only L0_MOVIE_2.EVO is tried.
    EXPECT_EQ(getsecond(path("L0_MOVIE_1.EVO")), "");
}

TEST_F(SecondFile, FolderIsNeverChangedAndAnythingOfTheNameCounts) {
    fs::create_directories(folder_ / "D_1" / "X_2.EVO");
    std::ofstream(folder_ / "D_1" / "Y_2.EVO") << "x";
    // A folder of the name is returned for the Read to refuse.
    EXPECT_EQ(getsecond((folder_ / "D_1" / "X_1.EVO").string()),
              (folder_ / "D_1" / "X_2.EVO").string());
    EXPECT_EQ(getsecond((folder_ / "D_1" / "Z_1.EVO").string()), "");
    EXPECT_EQ(getsecond((folder_ / "D_1" / "Y_1.EVO").string()),
              (folder_ / "D_1" / "Y_2.EVO").string());
}

} // namespace
} // namespace tessary
