// The magnifier tool window: its class, its creation and its window procedure.
#ifndef GLIMBER_UI_TOOL_WINDOW_H
#define GLIMBER_UI_TOOL_WINDOW_H

#include <windows.h>

#include "../core/tool_instance.h"

extern const char kToolClassName[];  // "GlimberTool"

ATOM RegisterToolClass(HINSTANCE instance, HCURSOR cursor);

// A tool window with its record, or null; `state` is a saved StateBlob or null.
HWND CreateToolWindow(HWND parent, const RECT* rect, const void* state, HINSTANCE instance);

LRESULT CALLBACK ToolWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The record attached to a tool window, or null (during creation, after destruction).
ToolInstance* InstanceOf(HWND tool);

// Ends the drag of whichever tool holds the mouse, erasing its frame. A menu or a
// box about to open would otherwise cover the frame, and the screen bits restored
// when it closes would bring the frame back after it was erased.
void EndActiveDrag();

// Sends a notification to the host window that holds the tool.
void NotifyParent(HWND tool, UINT message, WPARAM wParam);

#endif
