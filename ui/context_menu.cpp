#include "context_menu.h"

#include <cstdint>
#include <windowsx.h>

#include "../core/view_drawing.h"
#include "../plugin/module_state.h"
#include "../plugin/protocol.h"
#include "../resources/resource.h"
#include "about_box.h"
#include "resource_text.h"
#include "tool_record.h"

namespace {

const int kZoomCommandBase = IDM_ZOOM1 - 1;

HMENU BuildZoomSubmenu(int32_t zoom)
{
    HMENU submenu = CreatePopupMenu();
    if (submenu == nullptr)
        return nullptr;
    char label[kLabelBufferSize];
    for (int factor = 1; factor <= 16; ++factor) {
        wsprintfA(label, "%d", factor);
        AppendMenuA(submenu, MF_STRING, kZoomCommandBase + factor, label);
    }
    // A restored factor outside the menu's range checks nothing.
    if (zoom >= 1 && zoom <= 16)
        CheckMenuRadioItem(submenu, IDM_ZOOM1, IDM_ZOOM16, kZoomCommandBase + zoom, MF_BYCOMMAND);
    return submenu;
}

void AppendMainEntries(HMENU popup, HMENU submenu)
{
    char label[kLabelBufferSize];
    LoadLabel(IDS_ZOOMFACTOR, label);
    AppendMenuA(popup, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), label);
    AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
    LoadLabelWithEllipsis(IDS_ABOUT, label);
    AppendMenuA(popup, MF_STRING, IDM_ABOUT, label);
    AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
    LoadLabelWithEllipsis(IDS_PROPERTIES, label);
    AppendMenuA(popup, MF_STRING, IDM_PROPERTIES, label);
}

void TrackAndDestroy(HWND tool, HMENU popup, HMENU submenu, LPARAM lParam)
{
    // Signed, like the drag: a release left of or above the window opens the menu there.
    POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(tool, &point);
    TrackPopupMenuEx(popup, TPM_RIGHTBUTTON, point.x, point.y, tool, nullptr);
    // Detached first so each menu is destroyed exactly once. A menu asked for inside this
    // one's loop has come and gone with its own: this one destroys what it made.
    RemoveMenu(popup, 0, MF_BYPOSITION);
    DestroyMenu(submenu);
    if (zoomSubmenu == submenu)
        zoomSubmenu = nullptr;
    DestroyMenu(popup);
}

void SetZoomFromMenu(HWND tool, ToolInstance* instance, int32_t zoom)
{
    instance->zoom = zoom;
    NotifyParent(tool, PNM_STATECHANGED, reinterpret_cast<WPARAM>(tool));
    instance = InstanceOf(tool);  // the host may have destroyed the tool meanwhile
    if (instance == nullptr)
        return;
    RecomputeSourceSize(instance);
    InvalidateRect(tool, nullptr, TRUE);
}

}  // namespace

void ShowContextMenu(HWND tool, LPARAM lParam)
{
    // The 1's 0 goes to the window that got the 1, whatever happens to the tool meanwhile.
    const HWND host = GetParent(tool);
    NotifyTracking(host, 1);
    const ToolInstance* instance = InstanceOf(tool);
    HMENU popup = instance != nullptr ? CreatePopupMenu() : nullptr;
    if (popup != nullptr) {
        HMENU submenu = BuildZoomSubmenu(instance->zoom);
        if (submenu != nullptr) {
            zoomSubmenu = submenu;
            AppendMainEntries(popup, submenu);
            TrackAndDestroy(tool, popup, submenu, lParam);
        } else {
            DestroyMenu(popup);
        }
    }
    NotifyTracking(host, 0);
}

void OnToolCommand(HWND tool, ToolInstance* instance, UINT id)
{
    if (id >= IDM_ZOOM1 && id <= IDM_ZOOM16)
        SetZoomFromMenu(tool, instance, static_cast<int32_t>(id) - kZoomCommandBase);
    else if (id == IDM_PROPERTIES)
        NotifyParent(tool, PNM_SHOWPROPERTIES, reinterpret_cast<WPARAM>(tool));
    else if (id == IDM_ABOUT)
        RunAboutBox(tool);
}
