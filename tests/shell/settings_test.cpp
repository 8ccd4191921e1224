// Loading and saving the settings through an in-memory store: defaults, the round trip with
// each value's type, the maximised close, wrong types, failing writes and the reactions of the
// loaded controls.
#include <gtest/gtest.h>

#include <map>

#include "Fakes.h"
#include "MemorySettingsStore.h"
#include "shell/Main.h"
#include "shell/Settings.h"

using namespace tessary;
using namespace tessary::test;

namespace {

// A window bound to a store, counting the placement notifications it sends to the face.
struct Window {
    explicit Window(SettingsStore& store) {
        main.setSettingsStore(&store);
        main.placementChanged.connect([this] { ++placementNotices; });
    }
    FakeUi ui;
    FakeClock clock;
    TfMain main{ui, clock};
    int placementNotices = 0;
};

void expectDefaultOptions(const TfMain& m) {
    EXPECT_EQ(m.eVideoExt.text(), "mpv");
    EXPECT_EQ(m.eAudioExt.text(), "mpa");
    EXPECT_EQ(m.eSubExt.text(), "sup");
    EXPECT_EQ(m.eWorkdir.text(), "");
    EXPECT_EQ(m.EVOdir, "");
    EXPECT_EQ(m.XPLdir, "");
    EXPECT_TRUE(m.cbContinue.checked());
    EXPECT_TRUE(m.cbFastCheck.checked());
    EXPECT_TRUE(m.ieFastSize.enabled());
    EXPECT_EQ(m.ieFastSize.value(), 300);
    EXPECT_TRUE(m.cbCountFr.checked());
    EXPECT_TRUE(m.cbDetails.checked());
    EXPECT_TRUE(m.cbAutoRead.checked());
    EXPECT_TRUE(m.rbNoAuto.checked());
    EXPECT_FALSE(m.rbAutoDemux.checked());
    EXPECT_FALSE(m.rbAutoRebuild.checked());
    EXPECT_FALSE(m.cbAutoClear.checked());
    EXPECT_FALSE(m.cbRBAdvanced.checked());
    EXPECT_FALSE(m.cbLpcmWav.checked());
}

// Records the name of every value read, with the index of its type in `Value`.
struct RecordingStore : MemorySettingsStore {
    ReadStatus readInteger(std::string_view name, int32_t& value) override {
        reads[std::string(name)] = 0;
        return MemorySettingsStore::readInteger(name, value);
    }
    ReadStatus readString(std::string_view name, std::string& value) override {
        reads[std::string(name)] = 1;
        return MemorySettingsStore::readString(name, value);
    }
    std::map<std::string, std::size_t> reads;
};

// Every value changed from its default.
void changeEverything(TfMain& m) {
    m.placement = {.state = 0, .top = 40, .left = 25, .width = 900, .height = 700};
    m.treeWidth = 180;
    m.eVideoExt.setText("vc1");
    m.eAudioExt.setText("ac3");
    m.eSubExt.setText("sub");
    m.eWorkdir.setText("D:\\out\\");
    m.EVOdir = "D:\\disc\\HVDVD_TS\\";
    m.XPLdir = "D:\\disc\\ADV_OBJ\\";
    m.cbContinue.setChecked(false);
    m.cbFastCheck.setChecked(false);
    m.ieFastSize.setText("+45");
    m.cbCountFr.setChecked(false);
    m.cbDetails.setChecked(false);
    m.cbAutoRead.setChecked(false);
    m.rbAutoRebuild.setChecked(true);
    m.cbAutoClear.setChecked(true);
    m.cbRBAdvanced.setChecked(true);
    m.cbLpcmWav.setChecked(true);
    m.cobChapters.setIndex(2);
    m.cbCodecExt.setChecked(true);
}

} // namespace

TEST(Settings, FirstStartKeepsEveryDefaultAndTheFirstCloseStoresEveryValue) {
    MemorySettingsStore store;
    Window w(store);
    w.main.RegRead();
    expectDefaultOptions(w.main);
    EXPECT_EQ(w.main.placement, WindowPlacement{});
    EXPECT_EQ(w.main.treeWidth, 96);
    EXPECT_EQ(w.placementNotices, 0);

    w.main.RegWrite();
    EXPECT_EQ(store.values.size(), 26u);
    EXPECT_EQ(*store.integer("FastSize"), 300);
    EXPECT_EQ(*store.integer("AutoDemux"), 0);
    EXPECT_EQ(*store.string("Workdir"), "");
}

TEST(Settings, WithoutAStoreNothingIsLoadedOrSaved) {
    FakeUi ui;
    FakeClock clock;
    TfMain main{ui, clock};
    main.RegRead();
    expectDefaultOptions(main);
    EXPECT_NO_THROW(main.RegWrite());
}

TEST(Settings, EveryValueRoundTripsWithItsType) {
    MemorySettingsStore store;
    {
        Window before(store);
        changeEverything(before.main);
        before.main.RegWrite();
        EXPECT_EQ(before.main.ieFastSize.text(), "45");
    }

    for (const char* name :
         {"WindowState", "Top",       "Left",        "Width",          "Height",
          "TreeWidth",   "Continue",  "FastCheck",   "CountFrames",    "Details",
          "AutoRead",    "AutoDemux", "AutoRebuild", "AutoClear",      "FastSize",
          "ADV_PCK",     "LpcmAsWav", "MakeMkv",     "ChaptersFormat", "CodecExt"})
        EXPECT_NE(store.integer(name), nullptr) << name;
    for (const char* name : {"AudioExt", "VideoExt", "SubExt", "Workdir", "EVOdir", "XPLdir"})
        EXPECT_NE(store.string(name), nullptr) << name;
    EXPECT_EQ(*store.integer("AutoRebuild"), 1);
    EXPECT_EQ(*store.integer("Continue"), 0);

    Window after(store);
    after.main.RegRead();
    const TfMain& m = after.main;
    EXPECT_EQ(m.placement,
              (WindowPlacement{.state = 0, .top = 40, .left = 25, .width = 900, .height = 700}));
    EXPECT_EQ(m.treeWidth, 180);
    EXPECT_EQ(after.placementNotices, 1);
    EXPECT_EQ(m.eVideoExt.text(), "vc1");
    EXPECT_EQ(m.eAudioExt.text(), "ac3");
    EXPECT_EQ(m.eSubExt.text(), "sub");
    EXPECT_EQ(m.eWorkdir.text(), "D:\\out\\");
    EXPECT_EQ(m.EVOdir, "D:\\disc\\HVDVD_TS\\");
    EXPECT_EQ(m.XPLdir, "D:\\disc\\ADV_OBJ\\");
    EXPECT_FALSE(m.cbContinue.checked());
    EXPECT_FALSE(m.cbFastCheck.checked());
    EXPECT_FALSE(m.ieFastSize.enabled());
    EXPECT_EQ(m.ieFastSize.value(), 45);
    EXPECT_FALSE(m.cbCountFr.checked());
    EXPECT_FALSE(m.cbDetails.checked());
    EXPECT_FALSE(m.cbAutoRead.checked());
    EXPECT_FALSE(m.rbNoAuto.checked());
    EXPECT_FALSE(m.rbAutoDemux.checked());
    EXPECT_TRUE(m.rbAutoRebuild.checked());
    EXPECT_TRUE(m.cbAutoClear.checked());
    EXPECT_TRUE(m.cbRBAdvanced.checked());
    EXPECT_TRUE(m.cbLpcmWav.checked());
    EXPECT_EQ(m.cobChapters.index(), 2);
    EXPECT_TRUE(m.cbCodecExt.checked());
}

TEST(Settings, LoadingReadsExactlyTheValuesSavingWritesWithTheirTypes) {
    RecordingStore store;
    Window(store).main.RegWrite();
    Window(store).main.RegRead();
    std::map<std::string, std::size_t> written;
    for (const auto& [name, value] : store.values)
        written[name] = value.index();
    EXPECT_EQ(store.reads, written);
}

TEST(Settings, AMaximisedCloseKeepsTheLastNormalPlacement) {
    MemorySettingsStore store;
    {
        Window normal(store);
        normal.main.placement = {.state = 0, .top = 10, .left = 20, .width = 800, .height = 600};
        normal.main.RegWrite();
    }
    {
        Window maximised(store);
        maximised.main.placement = {.state = 2, .top = 0, .left = 0, .width = 1920, .height = 1080};
        maximised.main.RegWrite();
    }
    EXPECT_EQ(*store.integer("WindowState"), 2);
    EXPECT_EQ(*store.integer("Top"), 10);
    EXPECT_EQ(*store.integer("Width"), 800);

    Window next(store);
    next.main.RegRead();
    EXPECT_EQ(next.main.placement,
              (WindowPlacement{.state = 2, .top = 10, .left = 20, .width = 800, .height = 600}));
}

TEST(Settings, AWrongTypeStopsLoadingAndKeepsWhatWasLoadedBefore) {
    MemorySettingsStore store;
    store.values = {{"AudioExt", "ac3"},
                    {"VideoExt", int32_t{5}},
                    {"SubExt", "sub"},
                    {"Continue", int32_t{0}},
                    {"FastSize", int32_t{20}}};
    Window w(store);
    try {
        w.main.RegRead();
        FAIL() << "no error";
    } catch (const SettingsError& error) {
        EXPECT_STREQ(error.what(), "Invalid data type for 'VideoExt'");
    }
    EXPECT_EQ(w.main.eAudioExt.text(), "ac3");
    EXPECT_EQ(w.main.eVideoExt.text(), "mpv");
    EXPECT_EQ(w.main.eSubExt.text(), "sup");
    EXPECT_TRUE(w.main.cbContinue.checked());
    EXPECT_EQ(w.main.ieFastSize.value(), 300);
}

TEST(Settings, AWrongTypeInThePlacementStillAppliesTheSizeLoadedBeforeIt) {
    MemorySettingsStore store;
    store.values = {{"Width", int32_t{800}}, {"Height", int32_t{600}}, {"Top", "high"}};
    Window w(store);
    EXPECT_THROW(w.main.RegRead(), SettingsError);
    EXPECT_EQ(w.main.placement.width, 800);
    EXPECT_EQ(w.main.placement.top, 0);
    EXPECT_EQ(w.placementNotices, 1);
}

TEST(Settings, AWrongTypeAtStartUpIsShownAndEndsTheStartUp) {
    MemorySettingsStore store;
    store.values = {{"FastCheck", "yes"}};
    Window w(store);
    w.main.FormActivate({});
    ASSERT_EQ(w.ui.errors.size(), 1u);
    EXPECT_EQ(w.ui.errors[0], "Invalid data type for 'FastCheck'");
}

TEST(Settings, LoadedBoxesAndRadiosReactAsIfClicked) {
    MemorySettingsStore store;
    store.values = {{"FastCheck", int32_t{0}}, {"AutoRebuild", int32_t{1}}};
    Window rebuild(store);
    rebuild.main.RegRead();
    EXPECT_FALSE(rebuild.main.ieFastSize.enabled());
    EXPECT_TRUE(rebuild.main.rbAutoRebuild.checked());
    EXPECT_FALSE(rebuild.main.rbNoAuto.checked());

    // Any value but 0 is true.
    store.values = {{"FastCheck", int32_t{-7}}, {"AutoDemux", int32_t{2}}};
    Window demux(store);
    demux.main.RegRead();
    EXPECT_TRUE(demux.main.ieFastSize.enabled());
    EXPECT_TRUE(demux.main.rbAutoDemux.checked());
    EXPECT_FALSE(demux.main.rbNoAuto.checked());

    store.values = {{"AutoDemux", int32_t{0}}, {"AutoRebuild", int32_t{0}}};
    Window none(store);
    none.main.RegRead();
    EXPECT_TRUE(none.main.rbNoAuto.checked());
}

TEST(Settings, StoredValuesAreBroughtIntoTheWindowsLimits) {
    MemorySettingsStore store;
    store.values = {{"Width", int32_t{200}},
                    {"Height", int32_t{0}},
                    {"WindowState", int32_t{9}},
                    {"FastSize", int32_t{5000}},
                    {"VideoExt", "longext"}};
    Window w(store);
    w.main.RegRead();
    EXPECT_EQ(w.main.placement.width, kMinWindowWidth);
    EXPECT_EQ(w.main.placement.height, 0); // the default size
    EXPECT_EQ(w.main.placement.state, 0);
    EXPECT_EQ(w.main.ieFastSize.value(), 999);
    EXPECT_EQ(w.main.eVideoExt.text(), "longe");

    store.values = {{"FastSize", int32_t{-5000}}};
    Window negative(store);
    negative.main.RegRead();
    EXPECT_EQ(negative.main.ieFastSize.value(), -99);
}

TEST(Settings, AFailingWriteNamesTheValue) {
    MemorySettingsStore store;
    store.failWrites = true;
    Window w(store);
    try {
        w.main.RegWrite();
        FAIL() << "no error";
    } catch (const SettingsError& error) {
        EXPECT_STREQ(error.what(), "Failed to set data for 'WindowState'");
    }
    EXPECT_TRUE(store.values.empty());
}

TEST(Settings, AnUnreadableSizeFieldIsSavedAsZero) {
    MemorySettingsStore store;
    Window w(store);
    w.main.ieFastSize.setText("-");
    w.main.RegWrite();
    EXPECT_EQ(*store.integer("FastSize"), 0);
    EXPECT_EQ(w.main.ieFastSize.text(), "0");
}
