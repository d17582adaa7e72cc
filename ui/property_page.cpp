#include "property_page.h"

#include <cstdint>
#include <commctrl.h>

#include "../core/view_drawing.h"
#include "../plugin/module_state.h"
#include "../plugin/protocol.h"
#include "../resources/resource.h"
#include "about_box.h"
#include "resource_text.h"
#include "tool_record.h"

namespace {

const int kSliderMin = 1;
const int kSliderMax = 16;

void OnInitPage(HWND page)
{
    char label[kLabelBufferSize];
    LoadLabelWithEllipsis(IDS_ABOUT, label);
    SetDlgItemTextA(page, IDC_ABOUTBUTTON, label);
    LoadLabel(IDS_ZOOMFACTOR, label);
    SetDlgItemTextA(page, IDC_ZOOMGROUP, label);
    SendDlgItemMessageA(page, IDC_ZOOMSLIDER, TBM_SETRANGE, TRUE, MAKELPARAM(kSliderMin, kSliderMax));
    if (pageTarget != nullptr)
        SendDlgItemMessageA(page, IDC_ZOOMSLIDER, TBM_SETPOS, TRUE, pageTarget->zoom);
}

// Commits the slider to the edited tool; an unchanged value sends nothing.
void ApplyPage(HWND page)
{
    ToolInstance* target = pageTarget;
    if (target == nullptr)
        return;
    const auto position = static_cast<int32_t>(SendDlgItemMessageA(page, IDC_ZOOMSLIDER, TBM_GETPOS, 0, 0));
    if (position == target->zoom)
        return;
    target->zoom = position;
    HWND tool = target->hwnd;
    NotifyParent(tool, PNM_STATECHANGED, reinterpret_cast<WPARAM>(tool));
    if (InstanceOf(tool) != target)  // the host may have destroyed the tool meanwhile
        return;
    RecomputeSourceSize(target);
    InvalidateRect(tool, nullptr, FALSE);
}

}  // namespace

HWND CreatePropertyPage(ToolInstance* instance, HWND container, LPARAM position)
{
    // Set first: the page's WM_INITDIALOG reads it while the page is being created.
    pageTarget = instance;
    HWND page = CreateDialogParamA(moduleInstance, MAKEINTRESOURCEA(IDD_PAGE), container, PageDlgProc, 0);
    if (page != nullptr)
        SetWindowPos(page, HWND_TOP, LOWORD(position), HIWORD(position), 0, 0, SWP_NOSIZE);
    pageWindow = page;
    return page;
}

INT_PTR CALLBACK PageDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitPage(page);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == PNC_APPLY)
            ApplyPage(page);
        else if (LOWORD(wParam) == IDC_ABOUTBUTTON)
            RunAboutBox(page);
        return FALSE;
    case WM_DESTROY:
        pageWindow = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

void SyncPageSlider(const ToolInstance* instance)
{
    if (pageWindow != nullptr && pageTarget == instance)
        SendDlgItemMessageA(pageWindow, IDC_ZOOMSLIDER, TBM_SETPOS, TRUE, instance->zoom);
}
