// The jobs without a window: what they decide from their options and their port.
#include <gtest/gtest.h>

#include <fstream>

#include "DemoDisc.h"
#include "FakePrograms.h"
#include "Fakes.h"
#include "MemoryOutputs.h"
#include "TempDir.h"
#include "jobs/PlaylistJobs.h"
#include "jobs/ReadJob.h"
#include "jobs/TitlesJob.h"

namespace tessary::test {
namespace {

// A port whose live options, when set, replace the job's own after the first block.
class FakePort : public JobPort {
public:
    double nowDays() override { return clock.nowDays(); }
    std::optional<PassOptions> liveOptions() override { return live; }
    std::optional<PassOptions> live;
    FakeClock clock;
};

struct Rig {
    RunState state;
    FakePort port;
    RecordingReporter out;
    MemoryOutputs files;
    FakePrograms programs;
    JobContext context{state, port, out, {}, files, programs};
};

TEST(ReadJob, TheContinueOptionIsTakenAgainAfterTheFirstFile) {
    struct Row {
        std::optional<bool> liveContinue; // none: the job's own option (on)
        std::size_t filesRead;
    };
    for (const Row& row : {Row{std::nullopt, 2}, Row{true, 2}, Row{false, 1}}) {
        Rig rig;
        if (row.liveContinue) {
            rig.port.live = PassOptions{};
            rig.port.live->continueOnSecond = *row.liveContinue;
        }
        const ReadResult read =
            readSource({(demoDisc() / "HVDVD_TS" / "FEATURE_1.EVO").string(), {}}, rig.context);
        // The output names are those of the whole feature, decided before the Read.
        EXPECT_EQ(read.outputBaseName, "FEATURE_1_FEATURE_2");
        EXPECT_EQ(read.summary.navigation.size(), row.filesRead);
        EXPECT_TRUE(read.programStreamFound);
    }
}

TEST(PlaylistJob, ATitleNotFoundOrAFileWithoutTagsIsWarnedOf) {
    const std::string title =
        "<Playlist><TitleSet timeBase=\"60fps\"><Title displayName=\"Movie\">\n"
        "<PrimaryAudioVideoClip src=\"file:///dvddisc/HVDVD_TS/MOVIE.MAP\">\n"
        "<Audio streamNumber=\"1\" description=\"English\" langcode=\"en:00\"/>\n"
        "</PrimaryAudioVideoClip><ChapterList>\n"
        "<Chapter titleTimeBegin=\"00:01:02:30\" displayName=\"One\"/>\n"
        "</ChapterList></Title></TitleSet></Playlist>\n";
    struct Row {
        const char* text;
        const char* source;
        std::vector<std::string> warnings;
        std::vector<Chapter> chapters;
    };
    const Row rows[] = {
        {title.c_str(), "MOVIE.EVO", {}, {{62500, "00:01:02.500", "One"}}},
        {title.c_str(), "OTHER.EVO", {"no title of VPLST000.XPL plays OTHER.EVO"}, {}},
        {"not a playlist\n", "MOVIE.EVO", {"VPLST000.XPL holds no tag: it is no playlist"}, {}},
    };
    for (const Row& row : rows) {
        TempDir dir;
        std::ofstream(dir.file("VPLST000.XPL")) << row.text;
        MediaAttributes attributes;
        RecordingReporter out;
        PlaylistResult result;
        readPlaylistTitle({dir.file("VPLST000.XPL").string(), row.source}, attributes, out, result);
        EXPECT_EQ(result.warnings, row.warnings) << row.source;
        EXPECT_EQ(result.read.chapters, row.chapters) << row.source;
        EXPECT_EQ(out.lines.back(), "") << row.source; // "Done." and an empty line end the log
    }
}

// A disc is found from its folder, its HVDVD_TS folder (also as "." from inside it) or its
// playlist, with or without a trailing separator; an EVO file is no disc.
TEST(Titles, TheDiscIsFoundFromEachOfItsPlaces) {
    namespace fs = std::filesystem;
    const fs::path disc = demoDisc();
    const fs::path evo = disc / "HVDVD_TS";
    const fs::path playlist = disc / "ADV_OBJ" / "VPLST000.XPL";
    for (const std::string& given : {disc.string(), disc.string() + "/", evo.string(),
                                     evo.string() + "/", playlist.string()}) {
        const DiscPaths paths = locateDisc(given);
        EXPECT_TRUE(fs::equivalent(paths.playlist, playlist)) << given;
        EXPECT_TRUE(fs::equivalent(paths.evoFolder, evo)) << given;
    }
    const fs::path here = fs::current_path();
    fs::current_path(evo);
    const DiscPaths inside = locateDisc(".");
    fs::current_path(here);
    EXPECT_TRUE(fs::equivalent(evo / inside.playlist, playlist));
    EXPECT_THROW(locateDisc((evo / "FEATURE_1.EVO").string()), DiscError);
    EXPECT_THROW(locateDisc((disc / "ADV_OBJ").string()), DiscError);
}

} // namespace
} // namespace tessary::test
