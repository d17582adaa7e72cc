#include "core/panel_fit.h"

#include <cstdint>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

const int32_t kOpen = 1 << 30;

FitRequest Request(int32_t heightGiven, int32_t given, int32_t minWidth = 0, int32_t minHeight = 0,
                   int32_t maxWidth = kOpen, int32_t maxHeight = kOpen)
{
    return FitRequest{minWidth, minHeight, maxWidth, maxHeight, heightGiven, given};
}

void ExpectFit(uint32_t packed, int32_t width, int32_t height)
{
    EXPECT_EQ(width, PackedPanelWidth(packed));
    EXPECT_EQ(height, PackedPanelHeight(packed));
}

TEST(PanelFit, AspectConstantIsTheFloatNearestToOnePointThreeRepeated)
{
    uint32_t bits;
    std::memcpy(&bits, &kAspect, sizeof bits);
    EXPECT_EQ(0x3FAAAAA8u, bits);
    EXPECT_EQ(1398101.0 / 1048576.0, static_cast<double>(kAspect));
}

TEST(PanelFit, ListedCases)
{
    ExpectFit(FitPanelSize(Request(1, 30)), 39, 30);
    EXPECT_EQ(0x001E0028u, FitPanelSize(Request(1, 30, 40, 30)));
    ExpectFit(FitPanelSize(Request(0, 40)), 40, 30);
    ExpectFit(FitPanelSize(Request(1, 100)), 133, 100);
    ExpectFit(FitPanelSize(Request(1, 60)), 79, 60);
    ExpectFit(FitPanelSize(Request(0, 200)), 200, 150);
    ExpectFit(FitPanelSize(Request(1, 300, 0, 0, 320)), 320, 240);
    ExpectFit(FitPanelSize(Request(0, 400, 0, 0, kOpen, 100)), 133, 100);
    ExpectFit(FitPanelSize(Request(0, 50, 40, 30)), 50, 37);
}

TEST(PanelFit, GivenSideIsNeverHeldToItsOwnMaximum)
{
    ExpectFit(FitPanelSize(Request(1, 300, 0, 0, kOpen, 100)), 399, 300);
    ExpectFit(FitPanelSize(Request(0, 400, 0, 0, 100, kOpen)), 400, 300);
}

TEST(PanelFit, MinimumIsCheckedAfterTheMaximumClamp)
{
    // The clamp brings the height to 100, below the minimum 120: the minimum wins, ratio dropped.
    ExpectFit(FitPanelSize(Request(0, 400, 50, 120, kOpen, 100)), 50, 120);
    ExpectFit(FitPanelSize(Request(1, 300, 400, 0, 320)), 400, 0);
}

TEST(PanelFit, IntegerFormMatchesDoublePrecisionForEveryExtent)
{
    const double aspect = kAspect;
    auto check = [&](int32_t extent) {
        const auto width = static_cast<int32_t>(std::trunc(extent * aspect));
        const auto height = static_cast<int32_t>(std::trunc(extent / aspect));
        // Limits wide enough for negative and huge extents to pass unchanged.
        EXPECT_EQ(PackPanelSize(width, extent),
                  FitPanelSize(Request(1, extent, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX)));
        EXPECT_EQ(PackPanelSize(extent, height),
                  FitPanelSize(Request(0, extent, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX)));
    };
    for (int32_t extent = 1; extent <= 65535; ++extent) {
        check(extent);
        if (HasFailure())
            FAIL() << "extent " << extent;
    }
    for (int32_t extent : {-1, -3, -30, -100, -65535, -1000000, 1000000, 123456789, 1610613120, -1610613120})
        check(extent);
}

TEST(PanelFit, ShortfallShowsOnlyOnMultiplesOfThree)
{
    for (int32_t height = 1; height <= 65535; ++height) {
        const int32_t width = PackedPanelWidth(FitPanelSize(Request(1, height)));
        const int32_t expected = height % 3 == 0 ? 4 * height / 3 - 1 : 4 * height / 3;
        ASSERT_EQ(expected & 0xFFFF, width) << height;
    }
}

TEST(PanelFit, PackingKeepsTheLowSixteenBitsOfEachSide)
{
    EXPECT_EQ(0x001E0028u, PackPanelSize(40, 30));
    EXPECT_EQ(0xFFFFFFFFu, PackPanelSize(-1, -1));
    EXPECT_EQ(0x00020001u, PackPanelSize(0x10001, 0x20002));
}

}  // namespace
