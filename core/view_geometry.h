// Pure arithmetic of the magnified view: source size, centre clamp, source
// rectangle and the four strips of the viewfinder frame.
#ifndef GLIMBER_CORE_VIEW_GEOMETRY_H
#define GLIMBER_CORE_VIEW_GEOMETRY_H

#include <stdint.h>

#include "tool_instance.h"

struct ViewPoint {
    int32_t x;
    int32_t y;
};

struct ViewSize {
    int32_t width;
    int32_t height;
};

// Screen area copied into the view: origin and extent.
struct SourceRect {
    int32_t left;
    int32_t top;
    int32_t width;
    int32_t height;
};

// One PatBlt strip: origin and signed extent, exactly as handed to GDI.
struct Strip {
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
};

struct ViewfinderStrips {
    Strip top;
    Strip left;
    Strip right;
    Strip bottom;
};

// Source size for a client area of clientRight x clientBottom at `zoom`.
// A zero zoom leaves `current` unchanged (nothing is divided).
ViewSize ComputeSourceSize(int32_t clientRight, int32_t clientBottom, int32_t zoom, ViewSize current);

// The source extent actually drawn: a negative size (from a negative saved
// factor) is treated as empty so nothing mirrored or stray reaches the screen.
ViewSize DrawableSourceSize(const ToolInstance& instance);

// Centre held so the source area stays on the screen as far as its size allows.
ViewPoint ClampCenter(const ToolInstance& instance);

SourceRect ComputeSourceRect(const ToolInstance& instance);

// Size of the stretched copy in the window; 0 x 0 when the factor is not
// positive. Saturates instead of overflowing for huge restored factors.
ViewSize ComputeDestinationSize(const ToolInstance& instance);

// The frame one pixel outside the source rectangle, as four inverting strips.
ViewfinderStrips ComputeViewfinderStrips(const ToolInstance& instance);

#endif
