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

// Gives back the window DC held for a drag, if any: the module is being unloaded.
void ReleaseHeldDragDC();

#endif
