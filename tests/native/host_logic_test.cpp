#include <gtest/gtest.h>

#include <cstdio>

#include "core/panel_fit.h"
#include "host/panel_layout.h"
#include "host/settings_file.h"

namespace {

TEST(HostSettings, RoundTripThroughTheFile)
{
    PanelSettings saved;
    saved.toolStates = {4, 16, 0, -4, 40, 2147483647};
    const std::string path = ::testing::TempDir() + "glimber-host-settings.ini";
    ASSERT_TRUE(SaveSettings(path, saved));
    PanelSettings loaded;
    ASSERT_TRUE(LoadSettings(path, loaded));
    EXPECT_EQ(saved.toolStates, loaded.toolStates);
    std::remove(path.c_str());
    EXPECT_FALSE(LoadSettings(path, loaded)) << "a missing file is reported";
}

TEST(HostSettings, MalformedLinesAreSkippedAndMissingStatesDefault)
{
    const PanelSettings settings =
        ParseSettings("[Panel]\r\nTools=3\r\nTool0State=9\r\ngarbage\r\nTool1State=x\r\nTool7State=5\r\nToolState=2\r\n");
    EXPECT_EQ((std::vector<int32_t>{9, 4, 4}), settings.toolStates);
    EXPECT_TRUE(ParseSettings("Tools=-2\n").toolStates.empty());
    EXPECT_TRUE(ParseSettings("Tools=100000\n").toolStates.empty()) << "no runaway panel from a bad file";
    EXPECT_TRUE(ParseSettings("").toolStates.empty());
}

TEST(HostLayout, ToolsShareTheRowAndKeepTheirFit)
{
    const auto fit = [](int, const FitRequest& request) { return FitPanelSize(request); };
    const std::vector<ToolSlot> slots = LayoutTools(0, 40, 440, 200, 2, 8, GLIMBER_FIXED_SIZE, fit);
    ASSERT_EQ(2u, slots.size());
    // Cells of (440 - 3 * 8) / 2 = 208 wide and 184 high; 208 wide fits 208 x 156.
    EXPECT_EQ(8, slots[0].left);
    EXPECT_EQ(48, slots[0].top);
    EXPECT_EQ(224, slots[1].left);
    for (const ToolSlot& slot : slots) {
        EXPECT_EQ(208, slot.width);
        EXPECT_EQ(156, slot.height);
    }
    // A short panel holds the height and derives the width from it.
    const std::vector<ToolSlot> shortRow = LayoutTools(0, 0, 440, 100, 2, 8, GLIMBER_FIXED_SIZE, fit);
    EXPECT_EQ(84, shortRow[0].height);
    EXPECT_EQ(111, shortRow[0].width) << "84 is a multiple of 3: one short of 4/3";
}

TEST(HostLayout, NeverBelowTheToolsMinimumAndNothingForNoTools)
{
    const auto fit = [](int, const FitRequest& request) { return FitPanelSize(request); };
    EXPECT_TRUE(LayoutTools(0, 0, 400, 300, 0, 8, GLIMBER_FIXED_SIZE, fit).empty());
    const std::vector<ToolSlot> crowded = LayoutTools(0, 0, 200, 60, 10, 8, GLIMBER_FIXED_SIZE, fit);
    ASSERT_EQ(10u, crowded.size());
    for (const ToolSlot& slot : crowded) {
        EXPECT_GE(slot.width, 40);
        EXPECT_GE(slot.height, 30);
    }
}

}  // namespace
