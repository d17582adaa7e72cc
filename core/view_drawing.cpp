#include "view_drawing.h"

#include "view_geometry.h"

namespace {
// A display DC made on first use and kept until the module is unloaded: taking the
// screen DC from the window manager per step costs more than a small stretch.
HDC screenDC;
}  // namespace

HDC ScreenDC()
{
    if (screenDC == nullptr)
        screenDC = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    return screenDC;
}

void ReleaseScreenDC()
{
    if (screenDC != nullptr)
        DeleteDC(screenDC);
    screenDC = nullptr;
}

void RecomputeSourceSize(ToolInstance* instance)
{
    if (instance == nullptr || instance->hwnd == nullptr)
        return;
    RECT client;
    if (!GetClientRect(instance->hwnd, &client))
        return;
    const ViewSize size = ComputeSourceSize(client.right, client.bottom, instance->zoom,
                                            ViewSize{instance->sourceWidth, instance->sourceHeight});
    const bool changed = size.width != instance->sourceWidth || size.height != instance->sourceHeight;
    // The frame of a drag in progress is drawn around the source: it follows the new
    // size, or the next erase would miss it and leave an inverted frame on the screen.
    const bool moveFrame = changed && instance->tracking;
    if (moveFrame)
        DrawViewfinder(*instance);
    instance->sourceWidth = size.width;
    instance->sourceHeight = size.height;
    if (moveFrame)
        DrawViewfinder(*instance);
}

void SetViewStretchMode(HDC target)
{
    SetStretchBltMode(target, COLORONCOLOR);
}

namespace {
// The one stretch of a view whose destination is already known to be drawable.
void StretchView(HDC screen, HDC target, const ToolInstance& instance, ViewSize destination)
{
    const SourceRect source = ComputeSourceRect(instance);
    StretchBlt(target, 0, 0, destination.width, destination.height, screen, source.left, source.top, source.width,
               source.height, SRCCOPY);
}

// An empty source or a factor below 1 shows just the background.
bool IsDrawable(ViewSize destination)
{
    return destination.width > 0 && destination.height > 0;
}
}  // namespace

void StretchViewFromScreen(HDC screen, HDC target, const ToolInstance& instance)
{
    const ViewSize destination = ComputeDestinationSize(instance);
    if (IsDrawable(destination))
        StretchView(screen, target, instance, destination);
}

void PaintViewFromScreen(HDC screen, HDC target, const ToolInstance& instance)
{
    const ViewSize destination = ComputeDestinationSize(instance);
    if (!IsDrawable(destination))
        return;
    SetViewStretchMode(target);
    StretchView(screen, target, instance, destination);
}

void DrawViewfinderOnScreen(HDC screen, const ToolInstance& instance)
{
    const ViewfinderStrips strips = ComputeViewfinderStrips(instance);
    const Strip order[] = {strips.top, strips.left, strips.right, strips.bottom};
    for (const Strip& strip : order)
        PatBlt(screen, strip.x, strip.y, strip.width, strip.height, DSTINVERT);
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
    if (HDC screen = ScreenDC())
        PaintViewFromScreen(screen, target, instance);
    if (windowDC != nullptr)
        ReleaseDC(instance.hwnd, windowDC);
}

void DrawViewfinder(const ToolInstance& instance)
{
    if (HDC screen = ScreenDC())
        DrawViewfinderOnScreen(screen, instance);
}
