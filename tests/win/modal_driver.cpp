#include "modal_driver.h"

#include <gtest/gtest.h>

#include <string>

#include "support.h"

namespace {
const char kDriverProperty[] = "GlimberTestModalDriver";
ModalDriver* ticking = nullptr;

struct DialogSearch {
    bool shownOnly;
    HWND found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<DialogSearch*>(param);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32770") == 0 && (!search->shownOnly || IsWindowVisible(window)) &&
        !(GetWindowLongA(window, GWL_STYLE) & WS_CHILD)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND FindThreadDialog(bool shownOnly)
{
    DialogSearch search = {shownOnly, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void CALLBACK ModalDriver::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (ticking == nullptr || !ticking->onDialog)
        return;
    if (HWND dialog = FindThreadDialog())
        ticking->onDialog(dialog);
}

ModalDriver::ModalDriver(HWND owner) : owner_(owner)
{
    // A pointer left over the place the menu opens (by an earlier test on this display)
    // would highlight an entry when the menu appears, and the script's keys would then
    // start from it: park it in the corner, away from every menu and box the tests open.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    // A menu closes when its window loses the activation: let the owner's window take
    // it for good first, or a late focus change under load ends the menu unseen.
    HWND root = GetAncestor(owner_, GA_ROOT);
    SetForegroundWindow(root);
    if (!PumpUntil([root] { return GetForegroundWindow() == root && GetActiveWindow() == root; }))
        ADD_FAILURE() << "the menu's owner did not become the active window; the foreground is "
                      << GetForegroundWindow();
    PumpFor(30);
    SetPropA(owner_, kDriverProperty, this);
    original_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(owner_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
    // Timer messages reach their callback inside any modal loop of the thread.
    ticking = this;
    timer_ = SetTimer(nullptr, 0, 15, Tick);
}

ModalDriver::~ModalDriver()
{
    KillTimer(nullptr, timer_);
    ticking = nullptr;
    if (IsWindow(owner_)) {
        SetWindowLongPtrA(owner_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        RemovePropA(owner_, kDriverProperty);
    }
}

LRESULT CALLBACK ModalDriver::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* driver = static_cast<ModalDriver*>(GetPropA(window, kDriverProperty));
    if (message == WM_INITMENUPOPUP && driver->menu_ == nullptr)
        driver->menu_ = reinterpret_cast<HMENU>(wParam);
    if (message == WM_ENTERIDLE && wParam == MSGF_MENU && !driver->menuHandled_ && driver->onMenu) {
        driver->menuHandled_ = true;
        driver->onMenu(driver->menu_);
    }
    const WNDPROC original = driver->original_;
    if (message == WM_NCDESTROY)
        RemovePropA(window, kDriverProperty);
    return CallWindowProcA(original, window, message, wParam, lParam);
}

void ModalDriver::PostKeys(HWND target, std::initializer_list<WORD> keys)
{
    for (WORD key : keys) {
        PostMessageA(target, WM_KEYDOWN, key, 1);
        PostMessageA(target, WM_KEYUP, key, 0xC0000001);
    }
}

std::string MenuLabel(HMENU menu, int position)
{
    char label[128] = {};
    GetMenuStringA(menu, position, label, sizeof label, MF_BYPOSITION);
    return label;
}

namespace {
const char kDismissProperty[] = "GlimberTestAutoDismiss";
}

AutoDismiss::AutoDismiss(HWND owner) : owner_(owner)
{
    SetPropA(owner_, kDismissProperty, this);
    original_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(owner_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
}

AutoDismiss::~AutoDismiss()
{
    if (IsWindow(owner_)) {
        SetWindowLongPtrA(owner_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        RemovePropA(owner_, kDismissProperty);
    }
}

LRESULT CALLBACK AutoDismiss::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto* self = static_cast<const AutoDismiss*>(GetPropA(window, kDismissProperty));
    // Ended before it is even shown: the fastest way through a menu for a soak.
    if (message == WM_INITMENUPOPUP || (message == WM_ENTERIDLE && wParam == MSGF_MENU))
        EndMenu();
    if (message == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX)
        PostMessageA(reinterpret_cast<HWND>(lParam), WM_COMMAND, IDOK, 0);
    const WNDPROC original = self->original_;
    if (message == WM_NCDESTROY)
        RemovePropA(window, kDismissProperty);
    return CallWindowProcA(original, window, message, wParam, lParam);
}
