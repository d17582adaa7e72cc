// Drives the tool's modal menu and dialogs from inside their own loops: the
// tool window is subclassed, and the owner's WM_ENTERIDLE runs the test's script.
#ifndef GLIMBER_TESTS_WIN_MODAL_DRIVER_H
#define GLIMBER_TESTS_WIN_MODAL_DRIVER_H

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>

class ModalDriver {
public:
    explicit ModalDriver(HWND owner);
    ~ModalDriver();

    // Run once, when the menu first waits for input; `menu` is the popup.
    std::function<void(HMENU menu)> onMenu;
    // Run every few milliseconds while a top-level dialog of this thread is up.
    std::function<void(HWND dialog)> onDialog;

    HMENU menu() const { return menu_; }

    // Keys as the menu or dialog loop reads them.
    static void PostKeys(HWND target, std::initializer_list<WORD> keys);

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    HWND owner_;
    UINT_PTR timer_ = 0;
    WNDPROC original_;
    HMENU menu_ = nullptr;
    bool menuHandled_ = false;
};

// Ends every menu owned by `owner` and closes every dialog box whose loop reports to
// it, the moment they wait for input.
class AutoDismiss {
public:
    explicit AutoDismiss(HWND owner);
    ~AutoDismiss();
    AutoDismiss(const AutoDismiss&) = delete;
    AutoDismiss& operator=(const AutoDismiss&) = delete;

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    HWND owner_;
    WNDPROC original_;
};

// A top-level dialog box of this thread (a visible one unless `shownOnly` is false), or null.
HWND FindThreadDialog(bool shownOnly = true);

// Label of a menu item by position ("" for a separator).
std::string MenuLabel(HMENU menu, int position);

#endif
