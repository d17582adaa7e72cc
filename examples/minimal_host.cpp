// The smallest complete panel host for Glimber.dll, start to end: load, enumerate,
// initialise, create tools sized by their own fit answers, restore and read back
// state, the zoom page in a properties window with OK, Cancel and Apply and its
// keyboard, destroy, clean up, unload. docs/host-guide.md quotes it. Plain Win32;
// copy what you need.
//   minimal_host [PATH\Glimber.dll] [--check]
// With --check it drives the page itself, with the mouse's messages and the real
// keyboard, prints what each step answered and exits (0 when every answer was the
// documented one); without, the panel stays open.
#include <cstdint>
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "protocol.h"  // include/ of the release zip

namespace {

struct ToolType {
    HMODULE module = nullptr;
    InitToolTypeProc init = nullptr;
    ToolCreateProc create = nullptr;
    ToolCleanupProc cleanup = nullptr;
    ToolTypeInfo* info = nullptr;  // the module's own block, valid until FreeLibrary
};

const int kApply = 100;  // the properties window's Apply button, beside IDOK and IDCANCEL
ToolType type;
HWND panel, tools[2], properties, page;
int stateChanges;
int failures;

void Check(bool ok, const char* what)
{
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what);
    failures += ok ? 0 : 1;
}

template <typename Proc>
Proc Resolve(HMODULE module, const char* name)
{
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

bool InitialiseToolType()
{
    auto enumerate = Resolve<EnumeratePanelTypesProc>(type.module, "EnumeratePanelTypes");
    char initName[20] = "", createName[20] = "", cleanupName[20] = "";  // 20 bytes each, at least
    if (enumerate == nullptr || enumerate(initName, createName, cleanupName, GetModuleHandleA(nullptr), 0) != 1)
        return false;
    type.init = Resolve<InitToolTypeProc>(type.module, initName);
    type.create = Resolve<ToolCreateProc>(type.module, createName);
    type.cleanup = Resolve<ToolCleanupProc>(type.module, cleanupName);
    if (type.init == nullptr || type.create == nullptr || type.cleanup == nullptr)
        return false;
    type.init(&type.info, 0);
    return type.info != nullptr;
}

bool LoadToolType(const char* path)
{
    type.module = LoadLibraryA(path);
    if (type.module == nullptr)
        return false;
    if (InitialiseToolType())
        return true;
    FreeLibrary(type.module);  // a module that fails a step is given back at once
    type = ToolType();
    return false;
}

// The tool answers a fit for a given width; only the side it derives is held to
// its maximum, and a fit below the minimum answers the minimum as it is. So hold
// both sides to the limits here.
SIZE FitTool(HWND tool, int width, SIZE minimum, SIZE maximum)
{
    FitRequest request = {minimum.cx, minimum.cy, maximum.cx, maximum.cy, 0, width};
    const auto packed = static_cast<uint32_t>(SendMessageA(tool, PNM_FITSIZE1, 0, reinterpret_cast<LPARAM>(&request)));
    SIZE size = {PackedPanelWidth(packed), PackedPanelHeight(packed)};
    size.cx = size.cx < minimum.cx ? minimum.cx : size.cx > maximum.cx ? maximum.cx : size.cx;
    size.cy = size.cy < minimum.cy ? minimum.cy : size.cy > maximum.cy ? maximum.cy : size.cy;
    return size;
}

// The tool keeps any factor as given; stored settings can be damaged, so hold them to 1-16.
int32_t ClampFactor(int32_t factor)
{
    return factor < 1 ? 1 : factor > 16 ? 16 : factor;
}

// Created empty, then sized: the size change is what makes a tool compute its view.
HWND AddTool(const int32_t* savedState, int x, int y)
{
    const RECT empty = {x, y, x, y};
    const int32_t state = savedState != nullptr ? ClampFactor(*savedState) : 0;
    HWND tool = type.create(panel, &empty, savedState != nullptr ? &state : nullptr, 0, 0);
    if (tool == nullptr)
        return nullptr;
    const uint32_t wanted = static_cast<uint32_t>(SendMessageA(tool, PNM_GETSIZE, 0, 0));
    const SIZE minimum = {PackedPanelWidth(wanted), PackedPanelHeight(wanted)}, maximum = {400, 300};
    const SIZE size = FitTool(tool, 200, minimum, maximum);
    SetWindowPos(tool, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return tool;
}

// The 4 bytes the host stores; the address is the tool's own, so copy at once.
bool ReadState(HWND tool, int32_t& state)
{
    void* slot[1] = {nullptr};  // pointer-sized: 4 bytes in a 32-bit host, 8 in a 64-bit one
    if (SendMessageA(tool, PNM_GETSTATE, 0, reinterpret_cast<LPARAM>(slot)) != GLIMBER_STATE_LENGTH ||
        slot[0] == nullptr)
        return false;
    std::memcpy(&state, slot[0], GLIMBER_STATE_LENGTH);
    return true;
}

// PNM_SETSTATE stores the factor only; a WM_SIZE makes the tool compute its view
// for it (a same-size SetWindowPos sends none), and the repaint shows it.
void RestoreState(HWND tool, int32_t saved)
{
    const int32_t state = ClampFactor(saved);
    SendMessageA(tool, PNM_SETSTATE, GLIMBER_STATE_LENGTH, reinterpret_cast<LPARAM>(&state));
    RECT client = {};
    GetClientRect(tool, &client);
    SendMessageA(tool, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    InvalidateRect(tool, nullptr, TRUE);
}

void CloseProperties()
{
    if (properties != nullptr)
        DestroyWindow(properties);  // the page goes with its container
    properties = page = nullptr;
}

// OK and Apply commit the slider (Enter is OK); Cancel, Esc and the close box drop it.
LRESULT CALLBACK PropertiesProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == kApply)) {
        SendMessageA(page, WM_COMMAND, PNC_APPLY, 0);  // commits the slider; sends nothing if unchanged
        if (LOWORD(wParam) == IDOK)
            CloseProperties();
        return 0;
    }
    if ((message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) || message == WM_CLOSE) {
        CloseProperties();  // Cancel: the slider's moves are never committed
        return 0;
    }
    if (message == WM_DESTROY)  // also when the panel that owns it closes
        properties = page = nullptr;
    return DefWindowProcA(window, message, wParam, lParam);
}

// One page at a time: it edits the tool it was made for until it is destroyed.
void OpenProperties(HWND tool)
{
    CloseProperties();
    properties = CreateWindowExA(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, "MinimalHostProperties", "Properties",
                                 WS_POPUP | WS_CAPTION | WS_SYSMENU, 120, 120, 100, 100, panel, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    if (properties == nullptr)
        return;
    page = reinterpret_cast<HWND>(
        SendMessageA(tool, PNM_CREATEPAGE, reinterpret_cast<WPARAM>(properties), MAKELPARAM(8, 8)));
    if (page == nullptr) {  // no trackbar class registered, or no window
        CloseProperties();
        return;
    }
    // As a control parent, the page's slider and button join this window's own controls
    // in its IsDialogMessage: Tab goes between them, Enter and Esc reach this window.
    SetWindowLongPtrA(page, GWL_EXSTYLE, GetWindowLongPtrA(page, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
    RECT area = {};  // the page's own size, from its template and font: the container fits around it
    GetWindowRect(page, &area);
    const int width = area.right - area.left + 16, buttonsTop = area.bottom - area.top + 16;
    const struct {
        const char* label;
        int id;
    } buttons[] = {{"OK", IDOK}, {"Cancel", IDCANCEL}, {"Apply", kApply}};
    for (int i = 0; i < 3; ++i)
        if (CreateWindowExA(0, "BUTTON", buttons[i].label, WS_CHILD | WS_VISIBLE | WS_TABSTOP, width - 8 - (3 - i) * 88,
                            buttonsTop, 80, 24, properties,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(buttons[i].id)), GetModuleHandleA(nullptr),
                            nullptr) == nullptr) {
            CloseProperties();
            return;
        }
    RECT outer = {0, 0, width, buttonsTop + 32};
    AdjustWindowRectEx(&outer, WS_POPUP | WS_CAPTION | WS_SYSMENU, FALSE, WS_EX_DLGMODALFRAME);
    SetWindowPos(properties, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    ShowWindow(properties, SW_SHOW);
}

// The tools' notifications arrive here, sent from inside their own message handling.
LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case PNM_STATECHANGED: {  // the user changed a factor: store the new state now
        int32_t state = 0;
        if (ReadState(reinterpret_cast<HWND>(wParam), state))
            std::printf("     tool %p changed to factor %d\n", reinterpret_cast<void*>(wParam), state);
        ++stateChanges;
        return 0;
    }
    case PNM_SHOWPROPERTIES:  // Properties... on the tool's menu
        OpenProperties(reinterpret_cast<HWND>(wParam));
        return 0;
    case PNM_TRACKING:  // 1: a drag or the tool's menu begins; 0: it ended
        return 0;
    case WM_DESTROY:  // the tools go with the panel: forget their handles
        tools[0] = tools[1] = panel = nullptr;
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool CreateWindows()
{
    const HINSTANCE self = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.hInstance = self;
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // the arrow
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpfnWndProc = PanelProc;
    windowClass.lpszClassName = "MinimalHostPanel";
    if (RegisterClassA(&windowClass) == 0)
        return false;
    windowClass.lpfnWndProc = PropertiesProc;
    windowClass.lpszClassName = "MinimalHostProperties";
    if (RegisterClassA(&windowClass) == 0)
        return false;
    panel = CreateWindowExA(0, "MinimalHostPanel", type.info->name, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 560, 40, 440,
                            220, nullptr, nullptr, self, nullptr);
    if (panel == nullptr)
        return false;
    ShowWindow(panel, SW_SHOW);
    return true;
}

// The properties window's keyboard: its IsDialogMessage takes Tab, Enter and Esc
// (and, through the page, the slider's arrow keys) before the usual dispatch.
void HandleMessage(MSG& msg)
{
    if (properties != nullptr && IsDialogMessageA(properties, &msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

// What a user does with the page, driven here: move the slider, then Apply or Cancel.
void DriveProperties()
{
    int32_t state = 0;
    OpenProperties(tools[0]);
    Check(page != nullptr, "PNM_CREATEPAGE answers the page, a child of the properties window");
    HWND slider = page != nullptr ? FindWindowExA(page, nullptr, TRACKBAR_CLASSA, nullptr) : nullptr;
    Check(slider != nullptr && SendMessageA(slider, TBM_GETPOS, 0, 0) == 4, "the page's slider shows factor 4");
    const int changesBefore = stateChanges;
    SendMessageA(slider, TBM_SETPOS, TRUE, 12);
    SendMessageA(properties, WM_COMMAND, kApply, 0);
    Check(stateChanges == changesBefore + 1 && ReadState(tools[0], state) && state == 12,
          "Apply commits factor 12 with one PNM_STATECHANGED");
    SendMessageA(slider, TBM_SETPOS, TRUE, 2);
    SendMessageA(properties, WM_COMMAND, IDCANCEL, 0);
    Check(properties == nullptr && ReadState(tools[0], state) && state == 12,
          "Cancel closes the window and keeps factor 12");
}

// Real key presses, through the system's input path, handled by the loop's HandleMessage.
void PressKeys(std::initializer_list<WORD> keys, bool shift = false)
{
    for (WORD key : keys) {
        INPUT input[4] = {};
        const WORD order[4] = {VK_SHIFT, key, key, VK_SHIFT};
        for (int i = 0; i < 4; ++i) {
            input[i].type = INPUT_KEYBOARD;
            input[i].ki.wVk = order[i];
            input[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
        }
        // Shift down, the key down and up, Shift up; without Shift only the middle two.
        SendInput(shift ? 4 : 2, shift ? input : input + 1, sizeof(INPUT));
    }
    const DWORD end = GetTickCount() + 3000;
    MSG msg;
    while (HIWORD(GetQueueStatus(QS_INPUT)) != 0 && static_cast<int>(end - GetTickCount()) > 0)
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            HandleMessage(msg);
}

// What a user does with the keyboard alone: Tab into the page and back, the arrows, Enter, Esc.
void DriveKeyboard()
{
    int32_t state = 0;
    OpenProperties(tools[0]);
    HWND slider = page != nullptr ? FindWindowExA(page, nullptr, TRACKBAR_CLASSA, nullptr) : nullptr;
    HWND ok = properties != nullptr ? GetDlgItem(properties, IDOK) : nullptr;
    SetForegroundWindow(properties);
    SetFocus(ok);
    PressKeys({VK_TAB, VK_TAB, VK_TAB});  // Cancel, Apply, then the page's slider
    Check(slider != nullptr && GetFocus() == slider,
          "keyboard: Tab goes from OK through Cancel and Apply to the slider");
    PressKeys({VK_TAB, VK_TAB, VK_TAB}, true);
    Check(ok != nullptr && GetFocus() == ok, "keyboard: Shift+Tab goes from the slider back to OK");
    PressKeys({VK_TAB, VK_TAB, VK_TAB, VK_RIGHT, VK_RIGHT});
    Check(SendMessageA(slider, TBM_GETPOS, 0, 0) == 14, "keyboard: two right arrows move the slider from 12 to 14");
    const int changesBefore = stateChanges;
    PressKeys({VK_RETURN});
    Check(properties == nullptr && stateChanges == changesBefore + 1 && ReadState(tools[0], state) && state == 14,
          "keyboard: Enter is OK: factor 14 committed with one PNM_STATECHANGED, the window closed");
    OpenProperties(tools[0]);
    SetForegroundWindow(properties);
    SetFocus(page != nullptr ? FindWindowExA(page, nullptr, TRACKBAR_CLASSA, nullptr) : nullptr);
    PressKeys({VK_LEFT, VK_ESCAPE});
    Check(properties == nullptr && stateChanges == changesBefore + 1 && ReadState(tools[0], state) && state == 14,
          "keyboard: Esc is Cancel: the window closed, factor 14 kept");
}

// The tools in use: created, their states restored and read, then the page driven
// (--check) or the panel left to the user.
void UseTools(bool scripted)
{
    BITMAP image = {};
    Check(GetObjectA(type.info->colorImage, sizeof image, &image) != 0 && image.bmWidth == 16 && image.bmHeight == 16,
          "the colour image is a 16 x 16 bitmap");
    const int32_t saved = 40;  // a damaged setting
    tools[0] = AddTool(nullptr, 8, 8);
    tools[1] = AddTool(&saved, 216, 8);
    RECT client = {};
    Check(tools[0] != nullptr && tools[1] != nullptr && GetClientRect(tools[0], &client) && client.right == 200 &&
              client.bottom == 150,
          "two tools, each 200 x 150 from its fit answer");
    int32_t state = 0;
    Check(ReadState(tools[0], state) && state == 4, "a tool created without a state has factor 4");
    Check(ReadState(tools[1], state) && state == 16, "a tool created with the damaged saved state 40 has factor 16");
    const int changesBefore = stateChanges;
    RestoreState(tools[1], 9);
    Check(ReadState(tools[1], state) && state == 9 && stateChanges == changesBefore,
          "PNM_SETSTATE restores factor 9 without a PNM_STATECHANGED");
    if (scripted) {
        DriveProperties();
        DriveKeyboard();
        OpenProperties(tools[1]);
        DestroyWindow(panel);  // as the user's close box does
        Check(properties == nullptr && panel == nullptr && tools[0] == nullptr && tools[1] == nullptr,
              "closing the panel, its properties window open, clears every handle");
        return;
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        HandleMessage(msg);
}

}  // namespace

int main(int argc, char** argv)
{
    const bool scripted = argc > 1 && std::strcmp(argv[argc - 1], "--check") == 0;
    const char* path = argc > (scripted ? 2 : 1) ? argv[1] : "Glimber.dll";
    // The page holds a trackbar, whose class the host registers before it asks for a page.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    Check(LoadToolType(path), "the module loads, enumerates one type and initialises it");
    if (type.module == nullptr)
        return 1;
    std::printf("     type \"%s\": %s\n", type.info->name, type.info->description);
    const bool created = CreateWindows();
    Check(created, "the window classes and the panel are created");
    if (created)
        UseTools(scripted);

    // Every tool goes before the module: their window procedure lives in it.
    CloseProperties();
    for (HWND tool : tools)
        if (tool != nullptr)
            DestroyWindow(tool);
    if (panel != nullptr)
        DestroyWindow(panel);
    type.cleanup(0);
    Check(FreeLibrary(type.module) != 0, "the module unloads");
    std::printf("minimal host: %d failed\n", failures);
    return failures == 0 ? 0 : 1;
}
