#include <gtest/gtest.h>

#include <vector>

#include "shell/StatusBar.h"

namespace tessary {
namespace {

TEST(StatusBar, PanelTextsAndHint) {
    StatusBar bar;
    EXPECT_EQ(bar.panelText(0), " Ready");
    EXPECT_EQ(bar.panelText(1), " Select or drop an EVO file to demux");
    EXPECT_EQ(bar.hint(), " Select or drop an EVO file to demux");
    std::vector<int> changed;
    bar.changed.connect([&](int panel) { changed.push_back(panel); });

    bar.slog("Reading F.EVO", 0);
    EXPECT_EQ(bar.panelText(0), " Reading F.EVO");
    EXPECT_EQ(bar.hint(), " Select or drop an EVO file to demux");
    bar.slog("", 1);
    EXPECT_EQ(bar.panelText(1), " ");
    EXPECT_EQ(bar.hint(), "");
    bar.slog("ignored", 2);
    EXPECT_EQ(changed, (std::vector<int>{0, 1}));
}

} // namespace
} // namespace tessary
