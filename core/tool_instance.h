// The per-tool record and the state a host persists for it.
#ifndef GLIMBER_CORE_TOOL_INSTANCE_H
#define GLIMBER_CORE_TOOL_INSTANCE_H

#include <stdint.h>

// Opaque handle types as <windows.h> declares them, so the record compiles without it.
struct HWND__;
struct HPALETTE__;

struct ToolInstance {
    int32_t zoom;      // magnification factor; also the persisted state
    HWND__* hwnd;      // the tool window, 0 until it exists
    int32_t tracking;  // 1 while the left button drags the viewfinder
    int32_t centerX;   // screen point the view is centred on, before clamping
    int32_t centerY;
    int32_t sourceWidth;  // size of the copied screen area
    int32_t sourceHeight;
    int32_t screenMaxX;  // primary screen size minus 1, taken once at creation
    int32_t screenMaxY;
    HPALETTE__* palette;  // reserved, always 0
};

// The 4 bytes a host stores: the record's first field, copied raw.
struct StateBlob {
    int32_t zoom;
};

static_assert(sizeof(StateBlob) == 4, "the persisted state is exactly 4 bytes");
static_assert(sizeof(int32_t) == 4, "32-bit fields");

#if defined(_WIN32) && !defined(_WIN64)
#include <stddef.h>
// Hosts built for 32-bit Windows see this exact layout.
static_assert(sizeof(ToolInstance) == 40, "ten 32-bit fields");
static_assert(offsetof(ToolInstance, zoom) == 0, "zoom is the state blob");
static_assert(offsetof(ToolInstance, hwnd) == 4, "layout");
static_assert(offsetof(ToolInstance, palette) == 36, "layout");
#endif

#endif
