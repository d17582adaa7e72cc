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

// A DPI-unaware host is given a scaled-down screen (logical pixels) on a display set to
// 125% or more, while the screen itself (PatBlt and StretchBlt on the screen DC) keeps
// its own (physical) pixels. The scale is the dots per inch the system draws at: 96
// where nothing is scaled (and in DPI-aware hosts, which see physical pixels).
const int32_t kUnscaledDpi = 96;

// The scale from the primary screen's width in both kinds of pixels, as the whole number
// of dots per inch nearest to 96 x physical / logical; 96 where the widths make no sense
// or show no enlargement (nor one beyond 800%).
int32_t ScaleDpiFromWidths(int32_t physicalWidth, int32_t logicalWidth);

// A logical coordinate or extent in physical pixels, and back, rounded half away from
// zero as the system maps points on the primary screen; saturating at 32 bits.
int32_t ToPhysical(int32_t logical, int32_t dpi);
int32_t ToLogical(int32_t physical, int32_t dpi);

// Source size for a client area of clientRight x clientBottom at `zoom`.
// A zero zoom leaves `current` unchanged (nothing is divided).
ViewSize ComputeSourceSize(int32_t clientRight, int32_t clientBottom, int32_t zoom, ViewSize current);

// The source extent actually drawn: a negative size (from a negative saved
// factor) is treated as empty so nothing mirrored or stray reaches the screen.
ViewSize DrawableSourceSize(const ToolInstance& instance);

// Centre held so the source area stays on the screen as far as its size allows.
ViewPoint ClampCenter(const ToolInstance& instance);

SourceRect ComputeSourceRect(const ToolInstance& instance);

// Size of the stretched copy in the window's own (logical) pixels at `dpi`: the source
// enlarged `zoom` times on the screen; 0 x 0 when the factor is not positive.
// Saturates instead of overflowing for huge restored factors.
ViewSize ComputeDestinationSize(const ToolInstance& instance, int32_t dpi = kUnscaledDpi);

// The frame one pixel outside the source rectangle, as four inverting strips.
ViewfinderStrips ComputeViewfinderStrips(const ToolInstance& instance);

#endif
