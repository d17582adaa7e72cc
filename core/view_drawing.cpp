#include "view_drawing.h"

#include "view_geometry.h"

void RecomputeSourceSize(ToolInstance* instance)
{
    if (instance == nullptr || instance->hwnd == nullptr)
        return;
    RECT client;
    if (!GetClientRect(instance->hwnd, &client))
        return;
    const ViewSize size = ComputeSourceSize(client.right, client.bottom, instance->zoom,
                                            ViewSize{instance->sourceWidth, instance->sourceHeight});
    instance->sourceWidth = size.width;
    instance->sourceHeight = size.height;
}

void PaintViewFromScreen(HDC screenDC, HDC target, const ToolInstance& instance)
{
    const ViewSize destination = ComputeDestinationSize(instance);
    // An empty source or a factor below 1 shows just the background.
    if (destination.width <= 0 || destination.height <= 0)
        return;
    const SourceRect source = ComputeSourceRect(instance);
    SetStretchBltMode(target, COLORONCOLOR);
    StretchBlt(target, 0, 0, destination.width, destination.height, screenDC, source.left, source.top, source.width,
               source.height, SRCCOPY);
}

void DrawViewfinderOnScreen(HDC screenDC, const ToolInstance& instance)
{
    const ViewfinderStrips strips = ComputeViewfinderStrips(instance);
    const Strip order[] = {strips.top, strips.left, strips.right, strips.bottom};
    for (const Strip& strip : order)
        PatBlt(screenDC, strip.x, strip.y, strip.width, strip.height, DSTINVERT);
}

void PaintView(HDC target, const ToolInstance& instance)
{
    HDC windowDC = nullptr;
    if (target == nullptr) {
        windowDC = GetDC(instance.hwnd);
        target = windowDC;
    }
    if (target == nullptr)
        return;
    HDC screenDC = GetDC(nullptr);
    if (screenDC != nullptr) {
        PaintViewFromScreen(screenDC, target, instance);
        ReleaseDC(nullptr, screenDC);
    }
    if (windowDC != nullptr)
        ReleaseDC(instance.hwnd, windowDC);
}

void DrawViewfinder(const ToolInstance& instance)
{
    HDC screenDC = GetDC(nullptr);
    if (screenDC == nullptr)
        return;
    DrawViewfinderOnScreen(screenDC, instance);
    ReleaseDC(nullptr, screenDC);
}
