#include "core/view_geometry.h"

#include <cstdint>
#include <gtest/gtest.h>

namespace {

// A record on a 1024 x 768 screen with the given centre and source size.
ToolInstance Tool(int32_t centerX, int32_t centerY, int32_t width, int32_t height, int32_t zoom = 4)
{
    ToolInstance tool{};
    tool.zoom = zoom;
    tool.centerX = centerX;
    tool.centerY = centerY;
    tool.sourceWidth = width;
    tool.sourceHeight = height;
    tool.screenMaxX = 1023;
    tool.screenMaxY = 767;
    return tool;
}

TEST(SourceSize, CoversTheClientAreaWithOneSpareSourcePixel)
{
    const ViewSize none{0, 0};
    EXPECT_EQ(51, ComputeSourceSize(200, 150, 4, none).width);
    EXPECT_EQ(38, ComputeSourceSize(200, 150, 4, none).height);
    EXPECT_EQ(201, ComputeSourceSize(200, 150, 1, none).width);
    EXPECT_EQ(151, ComputeSourceSize(200, 150, 1, none).height);
    EXPECT_EQ(13, ComputeSourceSize(200, 150, 16, none).width);
    EXPECT_EQ(10, ComputeSourceSize(200, 150, 16, none).height);
}

TEST(SourceSize, ZeroZoomKeepsTheCurrentSizeAndDividesNothing)
{
    const ViewSize kept = ComputeSourceSize(200, 150, 0, ViewSize{51, 38});
    EXPECT_EQ(51, kept.width);
    EXPECT_EQ(38, kept.height);
    const ViewSize fresh = ComputeSourceSize(200, 150, 0, ViewSize{0, 0});
    EXPECT_EQ(0, fresh.width);
    EXPECT_EQ(0, fresh.height);
}

TEST(SourceSize, NegativeZoomTruncatesTowardZero)
{
    const ViewSize size = ComputeSourceSize(200, 150, -4, ViewSize{0, 0});
    EXPECT_EQ(-49, size.width);
    EXPECT_EQ(-36, size.height);
}

TEST(SourceSize, HugeClientsSaturateSoTheFrameStillFitsInThirtyTwoBits)
{
    EXPECT_EQ(1 << 29, ComputeSourceSize(INT32_MAX, 0, 1, ViewSize{0, 0}).width);
    EXPECT_EQ(-(1 << 29), ComputeSourceSize(INT32_MAX, 0, -1, ViewSize{0, 0}).width);
    ToolInstance instance = {};
    instance.zoom = 1;
    instance.sourceWidth = instance.sourceHeight = 1 << 29;
    instance.screenMaxX = 1023;
    instance.screenMaxY = 767;
    const ViewfinderStrips strips = ComputeViewfinderStrips(instance);
    EXPECT_EQ((1 << 29) + 2, strips.top.width);
    EXPECT_EQ(-((1 << 29) + 2), strips.left.height);
}

TEST(ClampCenter, KeepsTheSourceOnTheScreen)
{
    ToolInstance tool = Tool(100, 100, 51, 38);
    EXPECT_EQ(100, ClampCenter(tool).x);
    EXPECT_EQ(100, ClampCenter(tool).y);
    EXPECT_EQ(75, ComputeSourceRect(tool).left);
    EXPECT_EQ(81, ComputeSourceRect(tool).top);

    tool = Tool(10, 5, 51, 38);
    EXPECT_EQ(25, ClampCenter(tool).x);
    EXPECT_EQ(19, ClampCenter(tool).y);
    EXPECT_EQ(0, ComputeSourceRect(tool).left);
    EXPECT_EQ(0, ComputeSourceRect(tool).top);

    // Odd width reaches the last column; even height stops one row short.
    tool = Tool(1020, 760, 51, 38);
    EXPECT_EQ(998, ClampCenter(tool).x);
    EXPECT_EQ(748, ClampCenter(tool).y);
    const SourceRect source = ComputeSourceRect(tool);
    EXPECT_EQ(1023, source.left + source.width - 1);
    EXPECT_EQ(766, source.top + source.height - 1);
}

TEST(ClampCenter, CrossingBoundsJumpAsTheCentrePassesHalf)
{
    ToolInstance wide = Tool(549, 100, 1100, 38);
    EXPECT_EQ(550, ClampCenter(wide).x);
    EXPECT_EQ(0, ComputeSourceRect(wide).left);
    wide.centerX = 550;
    EXPECT_EQ(473, ClampCenter(wide).x);
    EXPECT_EQ(-77, ComputeSourceRect(wide).left);

    ToolInstance exact = Tool(100, 100, 1024, 38);
    EXPECT_EQ(0, ComputeSourceRect(exact).left);
    exact.centerX = 900;
    EXPECT_EQ(-1, ComputeSourceRect(exact).left);
}

TEST(ClampCenter, NegativeSourceSizesAreTreatedAsEmpty)
{
    const ToolInstance tool = Tool(300, 200, -49, -36, -4);
    const SourceRect source = ComputeSourceRect(tool);
    EXPECT_EQ(300, source.left);
    EXPECT_EQ(200, source.top);
    EXPECT_EQ(0, source.width);
    EXPECT_EQ(0, source.height);
}

TEST(DestinationSize, ScalesTheSourceAndDrawsNothingBelowFactorOne)
{
    EXPECT_EQ(204, ComputeDestinationSize(Tool(0, 0, 51, 38, 4)).width);
    EXPECT_EQ(152, ComputeDestinationSize(Tool(0, 0, 51, 38, 4)).height);
    // A restored factor paints the old source by the new factor.
    EXPECT_EQ(408, ComputeDestinationSize(Tool(0, 0, 51, 38, 8)).width);
    EXPECT_EQ(0, ComputeDestinationSize(Tool(0, 0, 51, 38, 0)).width);
    EXPECT_EQ(0, ComputeDestinationSize(Tool(0, 0, -49, -36, -4)).width);
    EXPECT_EQ(0, ComputeDestinationSize(Tool(0, 0, 51, 38, -4)).height);
    EXPECT_EQ(INT32_MAX, ComputeDestinationSize(Tool(0, 0, 201, 151, INT32_MAX)).width);
}

void ExpectStrip(const Strip& strip, int32_t x, int32_t y, int32_t width, int32_t height)
{
    EXPECT_EQ(x, strip.x);
    EXPECT_EQ(y, strip.y);
    EXPECT_EQ(width, strip.width);
    EXPECT_EQ(height, strip.height);
}

TEST(Viewfinder, OddSourceFrameLiesOnePixelOutside)
{
    // 51 x 37 around (100, 100): source (75, 82) to (125, 118) inclusive.
    const ViewfinderStrips strips = ComputeViewfinderStrips(Tool(100, 100, 51, 37));
    ExpectStrip(strips.top, 74, 81, 53, 1);
    ExpectStrip(strips.left, 74, 120, 1, -39);
    ExpectStrip(strips.right, 126, 81, 1, 39);
    ExpectStrip(strips.bottom, 127, 119, -53, 1);
}

TEST(Viewfinder, EvenSourceFrameLiesOnePixelOutside)
{
    // 51 x 38 around (100, 100): source (75, 81) to (125, 118) inclusive.
    const ViewfinderStrips strips = ComputeViewfinderStrips(Tool(100, 100, 51, 38));
    ExpectStrip(strips.top, 74, 80, 53, 1);
    ExpectStrip(strips.left, 74, 120, 1, -40);
    ExpectStrip(strips.right, 126, 80, 1, 40);
    ExpectStrip(strips.bottom, 127, 119, -53, 1);
}

TEST(Viewfinder, EmptySourceFramesTheFewPixelsAroundTheCentre)
{
    const ViewfinderStrips strips = ComputeViewfinderStrips(Tool(300, 200, 0, 0));
    ExpectStrip(strips.top, 299, 199, 2, 1);
    ExpectStrip(strips.left, 299, 201, 1, -2);
    ExpectStrip(strips.right, 300, 199, 1, 2);
    ExpectStrip(strips.bottom, 301, 200, -2, 1);
}

}  // namespace
