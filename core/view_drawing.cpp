#include "view_drawing.h"

#include "system_function.h"
#include "view_geometry.h"

namespace {
// A display DC made on first use and kept until the module is unloaded: taking the
// screen DC from the window manager per step costs more than a small stretch.
HDC screenDC;
// The host's coordinates against the screen's pixels, as last read.
int32_t screenDpi = kUnscaledDpi;

// GetDeviceCaps, found at run time: the module's import table stays as it was. Looked up
// once, on the one thread that calls the module (a guarded static would allocate a lock).
using DeviceCapsProc = int(WINAPI*)(HDC, int);
DeviceCapsProc deviceCaps;
bool deviceCapsLookedUp;

int DeviceCaps(HDC dc, int index)
{
    if (!deviceCapsLookedUp) {
        deviceCaps = reinterpret_cast<DeviceCapsProc>(SystemFunction("gdi32.dll", "GetDeviceCaps"));
        deviceCapsLookedUp = true;
    }
    return deviceCaps != nullptr && dc != nullptr ? deviceCaps(dc, index) : 0;
}
}  // namespace

ScreenExtent ReadScreenExtent()
{
    const ScreenExtent logical = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    // A DPI-unaware host is given a screen scaled down; the screen DC keeps its physical size.
    HDC screen = ScreenDC();
    const int32_t physicalWidth = DeviceCaps(screen, DESKTOPHORZRES);
    screenDpi = ScaleDpiFromWidths(physicalWidth, logical.width);
    if (screenDpi == kUnscaledDpi)
        return logical;
    return ScreenExtent{physicalWidth, DeviceCaps(screen, DESKTOPVERTRES)};
}

int32_t ScreenDpi()
{
    return screenDpi;
}

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
    // The factor holds as the user sees it: the client's size on the screen is divided.
    ReadScreenExtent();
    const ViewSize size = ComputeSourceSize(ToPhysical(client.right, screenDpi), ToPhysical(client.bottom, screenDpi),
                                            instance->zoom, ViewSize{instance->sourceWidth, instance->sourceHeight});
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
    const ViewSize destination = ComputeDestinationSize(instance, screenDpi);
    if (IsDrawable(destination))
        StretchView(screen, target, instance, destination);
}

void PaintViewFromScreen(HDC screen, HDC target, const ToolInstance& instance)
{
    const ViewSize destination = ComputeDestinationSize(instance, screenDpi);
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
