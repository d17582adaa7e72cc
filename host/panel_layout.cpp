#include "panel_layout.h"

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
