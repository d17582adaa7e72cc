// What the menu, the page and the About box need of a tool window: its record,
// its host, and a way to end the drag of whichever tool holds the mouse.
#ifndef GLIMBER_UI_TOOL_RECORD_H
#define GLIMBER_UI_TOOL_RECORD_H

#include <windows.h>

#include "../core/tool_instance.h"

// The record attached to a tool window, or null (during creation, after destruction).
ToolInstance* InstanceOf(HWND tool);

// Sends a notification to the host window that holds the tool.
void NotifyParent(HWND tool, UINT message, WPARAM wParam);

// Sends PNM_TRACKING 1 or 0 to `host`, the window that got (or gets) the 1; nothing for none.
void NotifyTracking(HWND host, WPARAM value);

// Ends the drag of whichever tool holds the mouse, erasing its frame. A menu or a
// box about to open would otherwise cover the frame, and the screen bits restored
// when it closes would bring the frame back after it was erased.
void EndActiveDrag();

#endif
