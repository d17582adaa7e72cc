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

TEST(HostLayout, PanelOpensClearOfNewToolsAndWhereItWasLeftWhileThatFits)
{
    const ToolSlot newTools = {0, 0, 201, 201};
    // First start: the default size, in the top right corner, clear of what new tools show.
    const PanelPlace first = PlacePanel(PanelPlace{}, 1024, 768, 480, 320, newTools);
    EXPECT_EQ(520, first.left);
    EXPECT_EQ(24, first.top);
    EXPECT_EQ(480, first.width);
    EXPECT_EQ(320, first.height);
    // A screen too narrow for that: below the area instead.
    const PanelPlace narrow = PlacePanel(PanelPlace{}, 640, 480, 480, 240, newTools);
    EXPECT_GE(narrow.top, 201);
    EXPECT_LE(narrow.top + narrow.height, 480);

    // A saved place is kept as it is, even over the tools' area: the user put it there.
    const PanelPlace saved = {30, 40, 500, 300};
    const PanelPlace kept = PlacePanel(saved, 1024, 768, 480, 320, newTools);
    EXPECT_EQ(saved.left, kept.left);
    EXPECT_EQ(saved.top, kept.top);
    EXPECT_EQ(saved.width, kept.width);
    EXPECT_EQ(saved.height, kept.height);
    // Saved on a larger screen: moved and shrunk until the whole panel is on this one.
    for (const PanelPlace& off : {PanelPlace{1800, 900, 500, 300}, PanelPlace{-700, -50, 500, 300},
                                  PanelPlace{100, 100, 3000, 2000}, PanelPlace{0, 0, 5, 5}}) {
        const PanelPlace fitted = PlacePanel(off, 1024, 768, 480, 320, newTools);
        EXPECT_GE(fitted.left, 0);
        EXPECT_GE(fitted.top, 0);
        EXPECT_LE(fitted.left + fitted.width, 1024);
        EXPECT_LE(fitted.top + fitted.height, 768);
        EXPECT_GE(fitted.width, 120) << "never too small to grab";
        EXPECT_GE(fitted.height, 120);
    }
}

}  // namespace
