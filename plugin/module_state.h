// Module-wide state: one copy per loaded module, all zero at load.
#ifndef GLIMBER_PLUGIN_MODULE_STATE_H
#define GLIMBER_PLUGIN_MODULE_STATE_H

#include <cstdint>
#include <windows.h>

#include "../core/tool_instance.h"
#include "protocol.h"

extern HINSTANCE moduleInstance;  // every resource is loaded from here
extern HINSTANCE hostInstance;    // the window class and every tool window live under it
extern int32_t typesEnumerated;   // tool types already reported: 0 or 1
extern uint32_t classAtom;        // 0 until the tool window class is registered
extern ToolTypeInfo typeInfo;     // handed to the host by address
extern HMENU zoomSubmenu;         // the zoom submenu while a context menu is open
extern HWND pageWindow;           // the latest property page, or 0
extern ToolInstance* pageTarget;  // the record the property page edits, or null
extern int32_t gestureCount;      // progress of the About box's double-click sequence

#endif
