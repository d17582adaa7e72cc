// Keeps one display's Wine desktop open for a whole test run. Wine closes a
// desktop about a second after its last program ends, and the next program must
// then wait for a new desktop process (up to ten seconds, longer under load, after
// which it cannot create a top-level window at all). Started by the Win32 runner
// for each display; it proves the display usable, with a window created and
// shown, says "desktop ready" and then waits, out of sight, until it is stopped.
#include <windows.h>

#include <cstdio>

int main()
{
    if (GetDesktopWindow() == nullptr) {
        std::printf("desktop keeper: no desktop window, error %lu\n", GetLastError());
        return 1;
    }
    // Off the screen, never active: it must not show in any test's pixels or take the focus.
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, "STATIC", "desktop keeper", WS_POPUP, -40, -40,
                                  8, 8, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window == nullptr) {
        std::printf("desktop keeper: CreateWindowExA failed, error %lu\n", GetLastError());
        return 1;
    }
    ShowWindow(window, SW_SHOWNOACTIVATE);
    UpdateWindow(window);
    if (!IsWindowVisible(window)) {
        std::printf("desktop keeper: the window could not be shown\n");
        return 1;
    }
    ShowWindow(window, SW_HIDE);
    std::printf("desktop ready\n");
    std::fflush(stdout);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
