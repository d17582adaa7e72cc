// The right-click menu of a tool window and the commands it posts back.
#ifndef GLIMBER_UI_CONTEXT_MENU_H
#define GLIMBER_UI_CONTEXT_MENU_H

#include <windows.h>

#include "../core/tool_instance.h"

// Builds, tracks and destroys the menu at the click point in `lParam` (client coordinates).
void ShowContextMenu(HWND tool, LPARAM lParam);

// A command from the menu: a factor, the About box or the host's properties.
void OnToolCommand(HWND tool, ToolInstance* instance, UINT id);

#endif
