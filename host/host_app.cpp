#include "host_app.h"

#include <cstdint>
#include <commctrl.h>

#include <cstring>

#include "host_resource.h"
#include "panel_layout.h"

HostApp app;

namespace {

const char kPanelClass[] = "GlimberReferencePanel";
const int kHeaderHeight = 40;
const int kStatusHeight = 22;
const int kGap = 8;

int ToolIndex(HWND tool)
{
    for (size_t i = 0; i < app.tools.size(); ++i)
        if (app.tools[i] == tool)
            return static_cast<int>(i);
    return -1;
}

void SetStatus(const std::string& text)
{
    app.status = text;
    RECT client;
    if (!GetClientRect(app.panel, &client))
        return;  // no panel yet: the first paint shows the text
    client.top = client.bottom - kStatusHeight;
    InvalidateRect(app.panel, &client, TRUE);
}

// The tools' states and the panel's own place, written together.
void SavePanelSettings()
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (GetWindowPlacement(app.panel, &placement)) {
        const RECT& normal = placement.rcNormalPosition;
        app.settings.place =
            PanelPlace{normal.left, normal.top, normal.right - normal.left, normal.bottom - normal.top};
    }
    app.settings.toolStates.clear();
    for (HWND tool : app.tools) {
        int32_t state = kDefaultToolState;
        ReadToolState(tool, state);
        app.settings.toolStates.push_back(state);
    }
    if (!SaveSettings(app.settingsPath, app.settings))
        SetStatus("Settings not saved; the file keeps the last settings saved");
}

// The panel comes from the caller: its first WM_SIZE arrives while CreateWindowEx
// is still running, before app.panel is set.
void LayOutTools(HWND panel)
{
    RECT client;
    if (!GetClientRect(panel, &client))
        return;
    HWND first = app.tools.empty() ? nullptr : app.tools.front();
    const uint32_t minimum = first ? static_cast<uint32_t>(SendMessageA(first, PNM_GETSIZE, 0, 0)) : 0;
    const auto slots =
        LayoutTools(0, kHeaderHeight, client.right, client.bottom - kHeaderHeight - kStatusHeight,
                    static_cast<int>(app.tools.size()), kGap, minimum, [&](int index, const FitRequest& request) {
                        // The three fit messages are equivalent; a host may use any.
                        const UINT message = PNM_FITSIZE1 + index % 3;
                        return static_cast<uint32_t>(
                            SendMessageA(app.tools[index], message, 0, reinterpret_cast<LPARAM>(&request)));
                    });
    for (size_t i = 0; i < slots.size(); ++i)
        SetWindowPos(app.tools[i], nullptr, slots[i].left, slots[i].top, slots[i].width, slots[i].height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

void PaintHeader(HDC dc)
{
    const ToolTypeInfo* info = app.type.info;
    if (HDC images = CreateCompatibleDC(dc)) {
        HGDIOBJ old = SelectObject(images, info->colorImage);
        StretchBlt(dc, kGap, kGap, 24, 24, images, 0, 0, 16, 16, SRCCOPY);
        SelectObject(images, old);
        DeleteDC(images);
    }
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, 40, 6, info->name, static_cast<int>(strnlen(info->name, sizeof info->name)));
    SetTextColor(dc, RGB(80, 80, 80));
    TextOutA(dc, 40, 22, info->description, static_cast<int>(strnlen(info->description, sizeof info->description)));
}

void OnPanelPaint(HWND panel)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(panel, &paint);
    PaintHeader(dc);
    RECT client = {};
    GetClientRect(panel, &client);
    RECT status = {0, client.bottom - kStatusHeight, client.right, client.bottom};
    FillRect(dc, &status, GetSysColorBrush(COLOR_BTNFACE));
    SetTextColor(dc, RGB(0, 0, 0));
    TextOutA(dc, kGap, status.top + 4, app.status.c_str(), static_cast<int>(app.status.size()));
    EndPaint(panel, &paint);
}

LRESULT CALLBACK PanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        LayOutTools(panel);
        return 0;
    case WM_PAINT:
        OnPanelPaint(panel);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDM_ADDTOOL)
            AddTool(kDefaultToolState);
        else if (LOWORD(wParam) == IDM_REMOVETOOL)
            RemoveLastTool();
        else if (LOWORD(wParam) == IDM_EXIT)
            DestroyWindow(panel);
        return 0;
    case PNM_STATECHANGED:
    case WM_EXITSIZEMOVE:
        SavePanelSettings();
        return 0;
    case PNM_TRACKING:
        SetStatus(wParam ? "Drag anywhere on the screen to choose the area to magnify" : "Ready");
        return 0;
    case PNM_SHOWPROPERTIES:
        OpenProperties(reinterpret_cast<HWND>(wParam));
        return 0;
    case WM_DESTROY:
        SavePanelSettings();  // where the user left it, for the next start
        CloseProperties();
        for (HWND tool : app.tools)
            DestroyWindow(tool);
        app.tools.clear();
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(panel, message, wParam, lParam);
    }
}

void ApplyPage()
{
    if (app.page != nullptr)
        SendMessageA(app.page, WM_COMMAND, PNC_APPLY, 0);
}

INT_PTR CALLBACK PropertiesProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        app.page = reinterpret_cast<HWND>(
            SendMessageA(app.propertiesTool, PNM_CREATEPAGE, reinterpret_cast<WPARAM>(dialog), MAKELPARAM(8, 4)));
        if (app.page == nullptr)
            ShowWindow(GetDlgItem(dialog, IDC_NOPAGE), SW_SHOW);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            ApplyPage();
            CloseProperties();
            return TRUE;
        case IDC_APPLY:
            ApplyPage();
            return TRUE;
        case IDCANCEL:
            CloseProperties();
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

bool CreatePanel(int x, int y, int width, int height)
{
    WNDCLASSA panelClass = {};
    panelClass.lpfnWndProc = PanelProc;
    panelClass.hInstance = app.instance;
    panelClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    panelClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    panelClass.lpszClassName = kPanelClass;
    panelClass.lpszMenuName = MAKEINTRESOURCEA(IDR_PANELMENU);
    RegisterClassA(&panelClass);
    app.panel = CreateWindowExA(0, kPanelClass, "Glimber reference panel", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, x, y,
                                width, height, nullptr, nullptr, app.instance, nullptr);
    if (app.panel == nullptr)
        return false;
    if (app.status.empty())
        app.status = "Ready";
    for (int32_t state : app.settings.toolStates)
        AddTool(state);
    ShowWindow(app.panel, SW_SHOW);
    UpdateWindow(app.panel);
    return true;
}

void AddTool(int32_t state)
{
    const RECT rect = {0, 0, 40, 30};
    HWND tool = app.type.create(app.panel, &rect, &state, 0, 0);
    if (tool == nullptr)
        return;
    app.tools.push_back(tool);
    // Tools compute their view on a size change, so every addition lays the panel out again.
    LayOutTools(app.panel);
    SavePanelSettings();
}

void RemoveLastTool()
{
    if (app.tools.empty())
        return;
    if (app.propertiesTool == app.tools.back())
        CloseProperties();
    DestroyWindow(app.tools.back());
    app.tools.pop_back();
    LayOutTools(app.panel);
    SavePanelSettings();
}

void OpenProperties(HWND tool)
{
    if (ToolIndex(tool) < 0)
        return;
    CloseProperties();  // one page at a time
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    app.propertiesTool = tool;
    app.properties = CreateDialogParamA(app.instance, MAKEINTRESOURCEA(IDD_PROPERTIES), app.panel, PropertiesProc, 0);
    if (app.properties != nullptr)
        ShowWindow(app.properties, SW_SHOW);
}

void CloseProperties()
{
    if (app.properties != nullptr)
        DestroyWindow(app.properties);  // takes the page with it
    app.properties = nullptr;
    app.propertiesTool = nullptr;
    app.page = nullptr;
}

int RunMessageLoop()
{
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (app.properties != nullptr && IsDialogMessageA(app.properties, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
