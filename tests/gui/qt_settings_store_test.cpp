// The QSettings store over INI files: both types round trip, files written by hand read with
// the types their text allows, missing values and keys, and writes that cannot reach the file.
#include <gtest/gtest.h>

#include "QtSettingsStore.h"
#include "TempDir.h"

using namespace tessary;
using namespace tessary::test;
using tessary::gui::QtSettingsStore;
using Status = SettingsStore::ReadStatus;

namespace {

QString iniPath(const TempDir& dir, std::string_view name) {
    return QString::fromStdString(dir.file(name).string());
}

} // namespace

TEST(QtSettingsStore, BothTypesRoundTripThroughTheFile) {
    TempDir dir;
    const QString path = iniPath(dir, "round.ini");
    {
        QtSettingsStore store(path);
        EXPECT_FALSE(store.keyExists());
        EXPECT_TRUE(store.writeInteger("Width", 800));
        EXPECT_TRUE(store.writeInteger("Top", -32));
        EXPECT_TRUE(store.writeInteger("FastSize", 2147483647));
        EXPECT_TRUE(store.writeString("Workdir", "C:\\Movies, old\\"));
        EXPECT_TRUE(store.writeString("EVOdir", "/media/Überall/HVDVD_TS/"));
        EXPECT_TRUE(store.writeString("SubExt", ""));
        EXPECT_TRUE(store.writeString("VideoExt", "@Variant(x)"));
    }
    QtSettingsStore store(path);
    EXPECT_TRUE(store.keyExists());
    int32_t number = 0;
    EXPECT_EQ(store.readInteger("Width", number), Status::Ok);
    EXPECT_EQ(number, 800);
    EXPECT_EQ(store.readInteger("Top", number), Status::Ok);
    EXPECT_EQ(number, -32);
    EXPECT_EQ(store.readInteger("FastSize", number), Status::Ok);
    EXPECT_EQ(number, 2147483647);
    std::string text;
    EXPECT_EQ(store.readString("Workdir", text), Status::Ok);
    EXPECT_EQ(text, "C:\\Movies, old\\");
    EXPECT_EQ(store.readString("EVOdir", text), Status::Ok);
    EXPECT_EQ(text, "/media/Überall/HVDVD_TS/");
    EXPECT_EQ(store.readString("SubExt", text), Status::Ok);
    EXPECT_EQ(text, "");
    EXPECT_EQ(store.readString("VideoExt", text), Status::Ok);
    EXPECT_EQ(text, "@Variant(x)");
}

TEST(QtSettingsStore, HandWrittenValuesReadAsIntegersOnlyWhenTheirTextIsOne) {
    TempDir dir;
    const QString path = iniPath(dir, "hand.ini");
    dir.writeFile("hand.ini", "[General]\nWidth=800\nHeight=+600\nTop=12px\nLeft=0x10\n"
                              "TreeWidth=4294967296\nFastSize=1,2\nWorkdir=D:/out/\n"
                              "Continue=\n");
    QtSettingsStore store(path);
    int32_t number = 0;
    EXPECT_EQ(store.readInteger("Width", number), Status::Ok);
    EXPECT_EQ(number, 800);
    EXPECT_EQ(store.readInteger("Height", number), Status::Ok);
    EXPECT_EQ(number, 600);
    for (const char* name : {"Top", "Left", "TreeWidth", "FastSize", "Workdir", "Continue"})
        EXPECT_EQ(store.readInteger(name, number), Status::WrongType) << name;
    std::string text;
    EXPECT_EQ(store.readString("FastSize", text), Status::WrongType); // a list
    EXPECT_EQ(store.readString("Width", text), Status::Ok);           // text in a file
    EXPECT_EQ(text, "800");
}

TEST(QtSettingsStore, MissingValuesAndMissingKeys) {
    TempDir dir;
    QtSettingsStore empty(iniPath(dir, "none.ini"));
    EXPECT_FALSE(empty.keyExists());
    int32_t number = 7;
    std::string text = "kept";
    EXPECT_EQ(empty.readInteger("Width", number), Status::Missing);
    EXPECT_EQ(empty.readString("Workdir", text), Status::Missing);
    EXPECT_EQ(number, 7);
    EXPECT_EQ(text, "kept");

    dir.writeFile("other.ini", "[General]\nWidth=800\n");
    QtSettingsStore other(iniPath(dir, "other.ini"));
    EXPECT_TRUE(other.keyExists());
    EXPECT_EQ(other.readString("Workdir", text), Status::Missing);
}

TEST(QtSettingsStore, AWriteThatCannotReachTheFileFails) {
    TempDir dir;
    dir.writeFile("plain", "not a folder");
    QtSettingsStore store(iniPath(dir, "plain/settings.ini"));
    EXPECT_FALSE(store.writeInteger("Width", 800));
    EXPECT_FALSE(store.writeString("Workdir", "x"));
}

TEST(QtSettingsStore, AFileThatDidNotParseIsWrittenAnew) {
    TempDir dir;
    const QString path = iniPath(dir, "broken.ini");
    dir.writeFile("broken.ini", "[General\nWidth=800\n");
    {
        QtSettingsStore store(path);
        EXPECT_TRUE(store.writeInteger("Height", 600));
    }
    QtSettingsStore store(path);
    int32_t number = 0;
    EXPECT_EQ(store.readInteger("Height", number), Status::Ok);
    EXPECT_EQ(number, 600);
}
