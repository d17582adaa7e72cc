// How a tool answers a host's size proposal: about 4:3, within the host's limits.
#ifndef GLIMBER_CORE_PANEL_FIT_H
#define GLIMBER_CORE_PANEL_FIT_H

#include <stdint.h>

#include "../plugin/protocol.h"

// 1.333333 rounded to the nearest float (bit pattern 0x3FAAAAA8), exactly 1398101 / 1048576.
// Hosts' layouts depend on its shortfall from 4/3, so it is kept as it is.
constexpr float kAspect = 1.333333f;

// Packed size (width low word, height high word) for the request.
uint32_t FitPanelSize(const FitRequest& request);

#endif
