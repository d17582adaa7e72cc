#include "core/view_geometry.h"

#include <cstdint>
#include <cstdlib>
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

// The scales a display is commonly set to (100% to 300%), as dots per inch.
const int32_t kScales[] = {96, 120, 144, 168, 192, 288};

TEST(ScaledScreen, TheScaleIsFoundAgainFromTheWidthsTheSystemGives)
{
    for (const int32_t width : {1024, 1366, 1920, 2560, 3840})
        for (const int32_t dpi : kScales) {
            // The system gives a DPI-unaware process the physical width scaled down, rounded.
            const int32_t logical = ToLogical(width, dpi);
            EXPECT_EQ(dpi, ScaleDpiFromWidths(width, logical)) << width << " wide, " << logical << " logical";
        }
    EXPECT_EQ(96, ScaleDpiFromWidths(1024, 1024));
    EXPECT_EQ(96, ScaleDpiFromWidths(1024, 0));
    EXPECT_EQ(96, ScaleDpiFromWidths(800, 1024));
    EXPECT_EQ(96, ScaleDpiFromWidths(1024, 100));  // beyond 800%: not a scale
}

TEST(ScaledScreen, APointerPixelMapsBackWithinHalfALogicalPixel)
{
    for (const int32_t dpi : kScales) {
        // A mouse message gives the pointer in logical pixels; mapped back, it lands on the
        // pointer's own screen pixel or a neighbour (exactly, unscaled).
        const int32_t tolerance = dpi == 96 ? 0 : 1;
        for (int32_t pointer = 0; pointer < 1024; ++pointer) {
            const int32_t mapped = ToPhysical(ToLogical(pointer, dpi), dpi);
            ASSERT_LE(std::abs(mapped - pointer), tolerance) << "dpi " << dpi << ", pixel " << pointer;
        }
        // The last logical column lands on or next to the last physical one.
        EXPECT_GE(ToPhysical(ToLogical(1024, dpi) - 1, dpi), 1024 - dpi / 96 - 1) << dpi;
        EXPECT_LE(ToPhysical(ToLogical(1024, dpi) - 1, dpi), 1023) << dpi;
    }
    // The system's rounding: half away from zero, negative points (left of the screen) alike.
    EXPECT_EQ(188, ToPhysical(125, 144));
    EXPECT_EQ(473, ToPhysical(315, 144));
    EXPECT_EQ(-188, ToPhysical(-125, 144));
    EXPECT_EQ(INT32_MAX, ToPhysical(INT32_MAX, 192));
    EXPECT_EQ(INT32_MIN, ToPhysical(INT32_MIN, 192));
}

TEST(ScaledScreen, TheViewEnlargesPhysicalPixelsByTheFactorAndCoversTheClient)
{
    for (const int32_t dpi : kScales)
        for (const int32_t zoom : {1, 2, 4, 16}) {
            // A 200 x 150 client as the screen shows it, and its source there.
            const ViewSize source = ComputeSourceSize(ToPhysical(200, dpi), ToPhysical(150, dpi), zoom, ViewSize{});
            const ViewSize view = ComputeDestinationSize(Tool(0, 0, source.width, source.height, zoom), dpi);
            EXPECT_GE(view.width, 200) << dpi << " " << zoom;
            EXPECT_GE(view.height, 150) << dpi << " " << zoom;
            // On the screen each source pixel is `zoom` pixels wide, to within a logical pixel.
            EXPECT_LE(std::abs(ToPhysical(view.width, dpi) - source.width * zoom), (dpi + 95) / 96)
                << dpi << " " << zoom;
        }
    // At 150%, a 200 x 150 client covers 300 x 225 screen pixels: factor 4 copies 76 x 57 of them.
    const ViewSize source = ComputeSourceSize(300, 225, 4, ViewSize{});
    EXPECT_EQ(76, source.width);
    EXPECT_EQ(57, source.height);
    EXPECT_EQ(203, ComputeDestinationSize(Tool(0, 0, 76, 57, 4), 144).width);
    EXPECT_EQ(152, ComputeDestinationSize(Tool(0, 0, 76, 57, 4), 144).height);
    // Unscaled, every size is what it always was.
    EXPECT_EQ(204, ComputeDestinationSize(Tool(0, 0, 51, 38, 4), 96).width);
    EXPECT_EQ(INT32_MAX, ComputeDestinationSize(Tool(0, 0, 201, 151, INT32_MAX), 96).width);
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
