#include "tool_record.h"

#include <cstdint>

#include "../plugin/module_state.h"

ToolInstance* InstanceOf(HWND tool)
{
    return reinterpret_cast<ToolInstance*>(GetWindowLongPtrA(tool, 0));
}

void NotifyParent(HWND tool, UINT message, WPARAM wParam)
{
    if (HWND parent = GetParent(tool))
        SendMessageA(parent, message, wParam, 0);
}

void NotifyTracking(HWND host, WPARAM value)
{
    if (host != nullptr)
        SendMessageA(host, PNM_TRACKING, value, 0);
}

void EndActiveDrag()
{
    HWND captured = GetCapture();
    // Only a window of this module's tool class is asked; whatever else holds the
    // mouse keeps it. The tool ends its drag on WM_CANCELMODE, as windows end their
    // modes when a box is about to appear.
    if (captured != nullptr && classAtom != 0 &&
        static_cast<uint32_t>(static_cast<ATOM>(GetClassLongPtrA(captured, GCW_ATOM))) == classAtom)
        SendMessageA(captured, WM_CANCELMODE, 0, 0);
}
