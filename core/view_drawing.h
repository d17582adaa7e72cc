// The window-system side of the view: source size from the client area, the
// stretched copy of the screen and the inverted frame around its source.
#ifndef GLIMBER_CORE_VIEW_DRAWING_H
#define GLIMBER_CORE_VIEW_DRAWING_H

#include <cstdint>
#include <windows.h>

#include "tool_instance.h"

// The primary screen in its own pixels, read now: GetSystemMetrics' size, or on a display
// the system scales for a DPI-unaware host, the screen DC's physical size. Also updates
// the scale ScreenDpi() gives.
struct ScreenExtent {
    int32_t width;
    int32_t height;
};
ScreenExtent ReadScreenExtent();

// The scale of the host's coordinates against the screen's pixels, as last read by
// ReadScreenExtent (at a tool's creation, size change or press): 96 where nothing is scaled.
// A drag step uses it without asking the system again.
int32_t ScreenDpi();

// Source size from the tool window's client area as the screen shows it; no-op for a
// null record or window.
void RecomputeSourceSize(ToolInstance* instance);

// Stretches the source area of the screen into `target`, or into the window's own DC when null.
void PaintView(HDC target, const ToolInstance& instance);

// Inverts the frame around the source area on the screen; a second call erases it.
void DrawViewfinder(const ToolInstance& instance);

// The same two steps on a screen DC the caller already holds, so a drag step
// that erases, redraws and repaints takes each device context only once.
void PaintViewFromScreen(HDC screen, HDC target, const ToolInstance& instance);
// The two halves of PaintViewFromScreen. The mode stays on the DC once set, so a DC
// held for a whole drag has it set once, when taken, and each step only stretches.
void SetViewStretchMode(HDC target);
void StretchViewFromScreen(HDC screen, HDC target, const ToolInstance& instance);
void DrawViewfinderOnScreen(HDC screen, const ToolInstance& instance);

// The whole screen as a device context. Taking a screen DC from the window
// manager costs more than the copy itself on some systems, so one display DC
// is made on first use and kept; ReleaseScreenDC deletes it when the module goes.
HDC ScreenDC();
void ReleaseScreenDC();

#endif
