#include "view_geometry.h"

#include <cstdint>
#include <limits.h>

// Far beyond any screen, and small enough that the frame's arithmetic around a source
// of this size still fits in 32 bits.
static const int64_t kMaxSourceExtent = int64_t{1} << 29;

static int32_t Saturated(int64_t value)
{
    return static_cast<int32_t>(value > INT32_MAX ? INT32_MAX : value < INT32_MIN ? INT32_MIN : value);
}

// value x numerator / denominator, rounded half away from zero (the system's MulDiv).
static int32_t ScaledRounded(int32_t value, int32_t numerator, int32_t denominator)
{
    const int64_t product = static_cast<int64_t>(value) * numerator;
    const int64_t half = denominator / 2;
    return Saturated(product >= 0 ? (product + half) / denominator : -((-product + half) / denominator));
}

int32_t ScaleDpiFromWidths(int32_t physicalWidth, int32_t logicalWidth)
{
    if (physicalWidth <= logicalWidth || logicalWidth <= 0)
        return kUnscaledDpi;
    const int32_t dpi = ScaledRounded(physicalWidth, kUnscaledDpi, logicalWidth);
    return dpi > 8 * kUnscaledDpi ? kUnscaledDpi : dpi;
}

int32_t ToPhysical(int32_t logical, int32_t dpi)
{
    return dpi == kUnscaledDpi ? logical : ScaledRounded(logical, dpi, kUnscaledDpi);
}

int32_t ToLogical(int32_t physical, int32_t dpi)
{
    return dpi == kUnscaledDpi ? physical : ScaledRounded(physical, kUnscaledDpi, dpi);
}

static int32_t SourceExtent(int32_t client, int32_t zoom)
{
    // The extra pixel lets the stretched copy cover the whole client area; its overhang is clipped.
    const int64_t extent = static_cast<int64_t>(client) / zoom + 1;
    return static_cast<int32_t>(extent > kMaxSourceExtent    ? kMaxSourceExtent
                                : extent < -kMaxSourceExtent ? -kMaxSourceExtent
                                                             : extent);
}

ViewSize ComputeSourceSize(int32_t clientRight, int32_t clientBottom, int32_t zoom, ViewSize current)
{
    if (zoom == 0)
        return current;
    return ViewSize{SourceExtent(clientRight, zoom), SourceExtent(clientBottom, zoom)};
}

ViewSize DrawableSourceSize(const ToolInstance& instance)
{
    return ViewSize{instance.sourceWidth > 0 ? instance.sourceWidth : 0,
                    instance.sourceHeight > 0 ? instance.sourceHeight : 0};
}

static int32_t ClampAxis(int32_t center, int32_t size, int32_t screenMax)
{
    const int32_t half = size / 2;
    if (center < half)
        return half;
    const int32_t upper = screenMax - half;
    return center < upper ? center : upper;
}

ViewPoint ClampCenter(const ToolInstance& instance)
{
    const ViewSize size = DrawableSourceSize(instance);
    return ViewPoint{ClampAxis(instance.centerX, size.width, instance.screenMaxX),
                     ClampAxis(instance.centerY, size.height, instance.screenMaxY)};
}

SourceRect ComputeSourceRect(const ToolInstance& instance)
{
    const ViewSize size = DrawableSourceSize(instance);
    const ViewPoint center = ClampCenter(instance);
    return SourceRect{center.x - size.width / 2, center.y - size.height / 2, size.width, size.height};
}

// The source enlarged on the screen, in the window's own pixels.
static int32_t DestinationExtent(int32_t extent, int32_t zoom, int32_t dpi)
{
    return ToLogical(Saturated(static_cast<int64_t>(extent) * zoom), dpi);
}

ViewSize ComputeDestinationSize(const ToolInstance& instance, int32_t dpi)
{
    if (instance.zoom <= 0)
        return ViewSize{0, 0};
    const ViewSize size = DrawableSourceSize(instance);
    return ViewSize{DestinationExtent(size.width, instance.zoom, dpi),
                    DestinationExtent(size.height, instance.zoom, dpi)};
}

ViewfinderStrips ComputeViewfinderStrips(const ToolInstance& instance)
{
    const SourceRect source = ComputeSourceRect(instance);
    // Inflated by one pixel so the frame lies just outside the copied pixels.
    const int32_t left = source.left - 1;
    const int32_t top = source.top - 1;
    const int32_t right = source.left + source.width + 1;
    const int32_t bottom = source.top + source.height + 1;
    ViewfinderStrips strips;
    strips.top = Strip{left, top, right - left, 1};
    strips.left = Strip{left, bottom, 1, -(bottom - top)};
    strips.right = Strip{right - 1, top, 1, bottom - top};
    strips.bottom = Strip{right, bottom - 1, -(right - left), 1};
    return strips;
}
