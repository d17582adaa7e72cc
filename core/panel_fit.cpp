#include "panel_fit.h"

#include <cstdint>

// kAspect is exactly 1398101 / 2^20, so multiplying or dividing by it in double
// precision and truncating equals this exact 64-bit integer arithmetic.
static int32_t TimesAspect(int32_t extent)
{
    return static_cast<int32_t>(static_cast<int64_t>(extent) * 1398101 / 1048576);
}

static int32_t DividedByAspect(int32_t extent)
{
    return static_cast<int32_t>(static_cast<int64_t>(extent) * 1048576 / 1398101);
}

uint32_t FitPanelSize(const FitRequest& request)
{
    int32_t width;
    int32_t height;
    // Only the derived side is held to its maximum; the given side is taken as it is.
    if (request.heightGiven != 0) {
        height = request.given;
        width = TimesAspect(height);
        if (request.maxWidth < width) {
            width = request.maxWidth;
            height = DividedByAspect(width);
        }
    } else {
        width = request.given;
        height = DividedByAspect(width);
        if (request.maxHeight < height) {
            height = request.maxHeight;
            width = TimesAspect(height);
        }
    }
    if (request.minWidth > width || request.minHeight > height)
        return PackPanelSize(request.minWidth, request.minHeight);
    return PackPanelSize(width, height);
}
