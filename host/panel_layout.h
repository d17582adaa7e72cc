// Where the reference host puts its tools: a row of equal cells, each tool
// sized by its own answer to the host's proposal.
#ifndef GLIMBER_HOST_PANEL_LAYOUT_H
#define GLIMBER_HOST_PANEL_LAYOUT_H

#include <stdint.h>

#include <functional>
#include <vector>

#include "../plugin/protocol.h"
#include "settings_file.h"

struct ToolSlot {
    int32_t left, top, width, height;
};

// Tool `index`'s answer to a FitRequest, packed as the protocol packs sizes.
using FitAnswer = std::function<uint32_t(int index, const FitRequest&)>;

// Lays `count` tools out in a panel area of width x height, starting at (left, top),
// `gap` pixels apart. Each tool gets a cell; it proposes the cell's width and the
// tool fits it, held to the cell's height and to the tool's own minimum.
std::vector<ToolSlot> LayoutTools(int32_t left, int32_t top, int32_t width, int32_t height, int count, int32_t gap,
                                  uint32_t minimumSize, const FitAnswer& fit);

// Where the panel window opens on a screen of screenWidth x screenHeight. A saved place
// is kept as far as it fits: shrunk to the screen and moved wholly onto it. With none,
// the panel takes its default size in the top right corner, clear of `keepVisible` (the
// point new tools magnify), so they show the desktop at once and not the panel itself.
PanelPlace PlacePanel(const PanelPlace& saved, int32_t screenWidth, int32_t screenHeight, int32_t defaultWidth,
                      int32_t defaultHeight, ToolSlot keepVisible);

#endif
