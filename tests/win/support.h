// What the Win32 tests share: the module as a host loads it, a host window
// that records notifications, a known pattern on the screen and pixel reads.
#ifndef GLIMBER_TESTS_WIN_SUPPORT_H
#define GLIMBER_TESTS_WIN_SUPPORT_H

#include <cstdint>
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/tool_instance.h"
#include "plugin/protocol.h"

// Glimber.dll loaded and resolved by name, as a panel host does.
struct GlimberModule {
    HMODULE dll = nullptr;
    EnumeratePanelTypesProc enumerate = nullptr;
    InitToolTypeProc init = nullptr;
    ToolCreateProc create = nullptr;
    ToolCleanupProc cleanup = nullptr;

    bool Load(const char* path = "Glimber.dll");
    // Enumerates with this process as the host and initialises the type; the type's block or null.
    ToolTypeInfo* Initialise();
    void Free();
};

// Loads the module once for the process, enumerates and initialises the type.
GlimberModule& ReadyModule();

// One notification as the host window saw it.
struct Notification {
    UINT message;
    WPARAM wParam;
    int32_t zoomSeen;    // PNM_STATECHANGED: the factor PNM_GETSTATE answered then
    HWND captureSeen;    // GetCapture() when it arrived
    COLORREF probeSeen;  // screen pixel at the host's probe point when it arrived
};

// A top-level window standing in for a host panel: a plain popup, or captioned (WS_OVERLAPPEDWINDOW).
class TestHost {
public:
    explicit TestHost(int x = 380, int y = 280, int width = 260, int height = 200, DWORD style = WS_POPUP);
    ~TestHost();
    HWND window() const { return window_; }

    // A tool on this host through GlimberToolCreate.
    HWND CreateTool(const RECT& rect, const void* state = nullptr);
    // A tool, sized after creation as a host does, so its source is computed.
    HWND CreateSizedTool(int width, int height, const void* state = nullptr, int x = 10, int y = 10);

    std::vector<Notification> notifications;
    POINT probe = {-1, -1};                            // screen point sampled on every notification
    std::function<void(UINT, WPARAM)> onNotification;  // extra reaction, if a test wants one
    // WM_ENTERIDLE: a menu or modal dialog owned by this window (or its children) waits for input.
    std::function<void(WPARAM kind, HWND menuOrDialog)> onEnterIdle;
    // Runs `call` when the thread's message loop, or a modal loop running by then,
    // next retrieves messages: before a modal box opened meanwhile is first shown.
    void PostCall(std::function<void()> call);

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    HWND window_ = nullptr;
    std::vector<std::function<void()>> postedCalls_;
};

// The record behind a tool window; a window without one is a failed assertion (and an empty record).
ToolInstance* RecordOf(HWND tool);

// ", GetLastError N", for a failed call's message.
std::string LastErrorText();

// A full-screen window under everything else whose pixel at (x, y) encodes x and y.
class ScreenPattern {
public:
    ScreenPattern();
    ~ScreenPattern();
    static COLORREF At(int x, int y);  // 0x00RRGGBB
    HWND window() const { return window_; }

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    HWND window_ = nullptr;
};

COLORREF Inverted(COLORREF color);
const COLORREF kLightGrey = 0xC0C0C0;

// Runs the thread's message loop for `ms` milliseconds, so Wine shows what was painted.
void PumpFor(DWORD ms);

// While this lives, the waits above take in the X server's events and paint the thread's
// windows but dispatch no queued message: for a host waiting inside a notification, where
// dispatching would take a message that a menu's or box's own loop further out waits for.
class NoDispatchWhileWaiting {
public:
    NoDispatchWhileWaiting();
    ~NoDispatchWhileWaiting();
    NoDispatchWhileWaiting(const NoDispatchWhileWaiting&) = delete;
    NoDispatchWhileWaiting& operator=(const NoDispatchWhileWaiting&) = delete;

private:
    bool outer_;
};
// Pumps until `done` holds or `timeoutMs` passes; the last value of `done`.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000);

// Pixels of a rectangle, row by row, as 0x00RRGGBB.
struct Pixels {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<COLORREF> data;
    COLORREF At(int x, int y) const { return data[static_cast<size_t>(y - top) * width + (x - left)]; }
};
Pixels CaptureScreen(const RECT& area);  // screen coordinates
Pixels CaptureClient(HWND window);       // the window's client area, client coordinates

// Client-coordinate lParam for a screen point, as mouse messages carry it.
LPARAM ClientPointFromScreen(HWND window, int x, int y);
LPARAM PackPoint(int x, int y);

// Presses on the tool, drags to screen point (x, y) and releases.
void DragTo(HWND tool, int x, int y);

// Pixels of `area` (the whole screen by default) outside the `excluded` windows that
// do not show the pattern: "" when no frame was left behind.
std::string StrayScreenPixels(std::initializer_list<HWND> excluded, const RECT* area = nullptr);

// StrayScreenPixels once the paints queued for this thread's windows (the pattern under a
// closed menu or box) are done and have reached the screen, within `timeoutMs`; a frame
// left behind is never repainted, so it is still reported.
std::string SettledStrayPixels(std::initializer_list<HWND> excluded, const RECT* area = nullptr,
                               DWORD timeoutMs = 3000);

// A window that was shown and then closed has its area put back from the windows under
// it when the X server's exposure reaches Wine: a little later, with no message to tell,
// and over any frame drawn there meanwhile. Inverts one pattern pixel of `area` (outside
// the `excluded` windows) and waits until it is put back; false if it was not within
// `timeoutMs` (the probe is then taken off). True at once when no pattern shows in `area`.
bool WaitForExposure(const RECT& area, std::initializer_list<HWND> excluded, DWORD timeoutMs);

// The screen area of every top-level window of the thread (a menu, a box) destroyed
// while the watch lasts, and of those among them that had been shown. A window hook for
// creation, activation and destruction, not one on every message: a fuzzer runs at full
// speed under it.
class ClosedPopupWatch {
public:
    ClosedPopupWatch();
    ~ClosedPopupWatch();
    ClosedPopupWatch(const ClosedPopupWatch&) = delete;
    ClosedPopupWatch& operator=(const ClosedPopupWatch&) = delete;

    // A menu or box that closed leaves its area to be repainted by the windows under it: the
    // pattern's paint waits in its queue, and the X server shows the result when it gets to
    // it. An inverted frame cannot survive another window painting under it, so this lets
    // that repaint reach the screen before a frame can be drawn there. A popup that was shown
    // but had not yet changed the screen when it closed still has its area put back when the
    // X server's exposure reaches Wine, a few milliseconds later: that is waited for too.
    // Starts the watch again; the stray pixels left under the closed popups ("" when none).
    std::string SettleClosed(std::initializer_list<HWND> excluded);

private:
    static LRESULT CALLBACK Record(int code, WPARAM wParam, LPARAM lParam);
    HHOOK hook_;
};

// Mismatches of the tool's view against the clamped source area on the pattern.
std::string CompareViewWithPattern(HWND tool);

struct Strip;
// The screen pixels one frame strip covers.
RECT StripArea(const Strip& strip);

// Mismatches on the screen around the tool's source: with `frameShown`, exactly
// the pixels the four frame strips invert (a pixel two strips cover is not).
std::string CompareFrame(const ToolInstance& record, bool frameShown);

// Busy blocks in the process heap (what the module allocates per tool).
size_t CountHeapBlocks();

// The seeds range `index` of a seeded fuzzer runs: `perRange` of them from 1 + index x perRange,
// or only the seed the environment variable `replay` names; false when it names another range's.
struct SeedRange {
    unsigned first;
    unsigned count;
};
bool SeedsOfRange(unsigned index, unsigned perRange, const char* replay, SeedRange& range);

#endif
