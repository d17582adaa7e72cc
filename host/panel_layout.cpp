#include "panel_layout.h"

#include <cstdint>

std::vector<ToolSlot> LayoutTools(int32_t left, int32_t top, int32_t width, int32_t height, int count, int32_t gap,
                                  uint32_t minimumSize, const FitAnswer& fit)
{
    std::vector<ToolSlot> slots;
    if (count <= 0)
        return slots;
    const int32_t cellWidth = (width - gap * (count + 1)) / count;
    const int32_t cellHeight = height - 2 * gap;
    for (int i = 0; i < count; ++i) {
        FitRequest request = {};
        request.minWidth = PackedPanelWidth(minimumSize);
        request.minHeight = PackedPanelHeight(minimumSize);
        request.maxWidth = cellWidth > request.minWidth ? cellWidth : request.minWidth;
        request.maxHeight = cellHeight > request.minHeight ? cellHeight : request.minHeight;
        request.heightGiven = 0;
        request.given = request.maxWidth;
        const uint32_t size = fit(i, request);
        const int32_t cellLeft = left + gap + i * (cellWidth + gap);
        slots.push_back(ToolSlot{cellLeft, top + gap, PackedPanelWidth(size), PackedPanelHeight(size)});
    }
    return slots;
}

namespace {
int32_t Clamp(int32_t value, int32_t low, int32_t high)
{
    return value < low ? low : value > high ? high : value;
}

bool Overlaps(const PanelPlace& place, const ToolSlot& area)
{
    return place.left < area.left + area.width && area.left < place.left + place.width &&
           place.top < area.top + area.height && area.top < place.top + place.height;
}
}  // namespace

PanelPlace PlacePanel(const PanelPlace& saved, int32_t screenWidth, int32_t screenHeight, int32_t defaultWidth,
                      int32_t defaultHeight, ToolSlot keepVisible)
{
    const int32_t kMargin = 24, kSmallest = 120;
    PanelPlace place = saved;
    if (!saved.Known()) {
        place.width = defaultWidth;
        place.height = defaultHeight;
        place.left = screenWidth - defaultWidth - kMargin;
        place.top = kMargin;
    }
    place.width = Clamp(place.width, kSmallest < screenWidth ? kSmallest : screenWidth, screenWidth);
    place.height = Clamp(place.height, kSmallest < screenHeight ? kSmallest : screenHeight, screenHeight);
    place.left = Clamp(place.left, 0, screenWidth - place.width);
    place.top = Clamp(place.top, 0, screenHeight - place.height);
    // A screen too narrow for the corner to be clear: below the area instead, where it fits.
    if (!saved.Known() && Overlaps(place, keepVisible))
        place.top = Clamp(keepVisible.top + keepVisible.height + kMargin, 0, screenHeight - place.height);
    return place;
}
