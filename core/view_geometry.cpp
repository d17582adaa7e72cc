#include "view_geometry.h"

#include <cstdint>
#include <limits.h>

// Far beyond any screen, and small enough that the frame's arithmetic around a source
// of this size still fits in 32 bits.
static const int64_t kMaxSourceExtent = int64_t{1} << 29;

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

static int32_t ScaleExtent(int32_t extent, int32_t zoom)
{
    const int64_t scaled = static_cast<int64_t>(extent) * zoom;
    return scaled > INT32_MAX ? INT32_MAX : static_cast<int32_t>(scaled);
}

ViewSize ComputeDestinationSize(const ToolInstance& instance)
{
    if (instance.zoom <= 0)
        return ViewSize{0, 0};
    const ViewSize size = DrawableSourceSize(instance);
    return ViewSize{ScaleExtent(size.width, instance.zoom), ScaleExtent(size.height, instance.zoom)};
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
