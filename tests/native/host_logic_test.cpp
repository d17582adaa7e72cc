#include <gtest/gtest.h>

#include "core/panel_fit.h"
#include "host/panel_layout.h"

namespace {

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
