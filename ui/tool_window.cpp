#include "tool_window.h"

#include <cstdint>
#include <windowsx.h>

#include "../core/host_address.h"
#include "../core/view_drawing.h"
#include "../core/view_geometry.h"
#include "../core/panel_fit.h"
#include "../plugin/module_state.h"
#include "../plugin/protocol.h"
#include "context_menu.h"
#include "property_page.h"
#include "tool_record.h"

const char kToolClassName[] = "GlimberTool";

namespace {

const int kDefaultZoom = 4;
const int kInitialCenter = 100;

void AttachInstance(HWND tool, ToolInstance* instance)
{
    SetWindowLongPtrA(tool, 0, reinterpret_cast<LONG_PTR>(instance));
}

// Captured positions left of or above the window are negative: decode signed. The
// point is taken to the screen's own pixels, where the frame and the copy are made.
POINT ScreenPointFrom(HWND tool, LPARAM lParam)
{
    POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(tool, &point);
    return POINT{ToPhysical(point.x, ScreenDpi()), ToPhysical(point.y, ScreenDpi())};
}

// right - left of a host's rectangle, which 32 bits cannot always hold.
int Extent(LONG from, LONG to)
{
    const int64_t extent = static_cast<int64_t>(to) - from;
    return extent > INT32_MAX ? INT32_MAX : extent < INT32_MIN ? INT32_MIN : static_cast<int>(extent);
}

void MoveCenter(ToolInstance* instance, POINT screenPoint)
{
    instance->centerX = screenPoint.x;
    instance->centerY = screenPoint.y;
}

// The dragged tool's window DC is held from its first drag step to the end of
// the drag, so the hot path does not take one from the window manager per step.
HWND dragWindow;
HDC dragWindowDC;

HDC DragWindowDC(HWND tool)
{
    if (dragWindow != tool) {
        if (dragWindow != nullptr)
            ReleaseDC(dragWindow, dragWindowDC);
        dragWindowDC = GetDC(tool);
        dragWindow = dragWindowDC != nullptr ? tool : nullptr;
        if (dragWindowDC != nullptr)
            SetViewStretchMode(dragWindowDC);
    }
    return dragWindowDC;
}

void ReleaseDragWindowDC(HWND tool)
{
    if (dragWindow != tool)
        return;
    ReleaseDC(dragWindow, dragWindowDC);
    dragWindow = nullptr;
    dragWindowDC = nullptr;
}

// The one drag at a time: the tool that holds the mouse for it, and the window its
// PNM_TRACKING 1 went to, which is owed exactly one 0.
HWND draggedTool;
HWND dragHost;

// Ends the drag of `tool`, if it has one: the 0 owed for its 1 comes first, with the
// frame still on the screen, then the frame is erased and the capture handed back.
// The drag is over before the 0 is sent, so nothing the host does inside it (destroy
// the tool, take the capture, press again) ends it a second time; the frame is erased
// from a copy of the record, which the host may free meanwhile.
void EndDrag(HWND tool)
{
    if (tool == nullptr || draggedTool != tool)
        return;
    const HWND host = dragHost;
    draggedTool = nullptr;
    dragHost = nullptr;
    ToolInstance* instance = InstanceOf(tool);
    ToolInstance frame = {};
    if (instance != nullptr) {
        frame = *instance;
        instance->tracking = 0;
    }
    NotifyTracking(host, 0);
    if (instance != nullptr)
        DrawViewfinder(frame);
    ReleaseDragWindowDC(tool);
    // A press inside the 0 may have started a new drag of this tool, which keeps the mouse.
    if (draggedTool != tool && GetCapture() == tool)
        ReleaseCapture();
}

// A message id no one posts: a look at the queue for it finds nothing and takes nothing.
const UINT kNoSuchMessage = WM_APP + 0x3FFF;

// The screen as the host has painted it, before a first frame is inverted on it: paints
// still due (a status line changed on PNM_TRACKING 1) are done, and what was painted but
// not yet shown (the caption repainted as this press activated the panel) is put on the
// screen. Shown later, over the frame, it would turn the frame's erase into a frame of its own.
void ShowPendingPaints(HWND tool)
{
    RedrawWindow(GetAncestor(tool, GA_ROOT), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    // The system shows what windows have painted when their thread looks for a message
    // and finds none.
    MSG none;
    PeekMessageA(&none, tool, kNoSuchMessage, kNoSuchMessage, PM_NOREMOVE | PM_NOYIELD);
}

bool LeftButtonDown()
{
    return GetKeyState(VK_LBUTTON) < 0;
}

void OnLButtonDown(HWND tool, LPARAM lParam)
{
    // One drag at a time: one in progress, this tool's or another's, ends first.
    EndDrag(draggedTool);
    if (InstanceOf(tool) == nullptr)  // the host may have destroyed the tool inside that 0
        return;
    const bool pressed = LeftButtonDown();
    const HWND host = GetParent(tool);
    NotifyTracking(host, 1);
    ToolInstance* instance = InstanceOf(tool);
    HDC screen = ScreenDC();
    // A host may run a loop of its own inside that notification, and the hand may let go
    // meanwhile: its release went elsewhere, so a drag started now would never end. A drag
    // the host started there itself is left to go on. A press that starts no drag answers
    // its 1 at once.
    if (instance == nullptr || screen == nullptr || (pressed && !LeftButtonDown()) || draggedTool != nullptr) {
        NotifyTracking(host, 0);
        return;
    }
    ShowPendingPaints(tool);
    instance = InstanceOf(tool);  // the host's paints may have destroyed the tool
    if (instance == nullptr || draggedTool != nullptr) {
        NotifyTracking(host, 0);
        return;
    }
    ReadScreenExtent();  // the scale the drag's steps use
    MoveCenter(instance, ScreenPointFrom(tool, lParam));
    DrawViewfinderOnScreen(screen, *instance);
    PaintView(nullptr, *instance);
    // The drag exists before the capture is taken: taking it tells the window that held it,
    // and whatever that window does then finds a drag to end, not a record to write into.
    draggedTool = tool;
    dragHost = host;
    instance->tracking = 1;
    SetCapture(tool);
    // A drag only with the mouse: without it, no release would ever end it.
    if (GetCapture() != tool)
        EndDrag(tool);
}

void OnMouseMove(HWND tool, ToolInstance* instance, LPARAM lParam)
{
    if (!instance->tracking)
        return;
    HDC screen = ScreenDC();
    HDC window = DragWindowDC(tool);
    if (screen == nullptr || window == nullptr)
        return;
    DrawViewfinderOnScreen(screen, *instance);
    MoveCenter(instance, ScreenPointFrom(tool, lParam));
    DrawViewfinderOnScreen(screen, *instance);
    StretchViewFromScreen(screen, window, *instance);
}

// Someone else took the mouse (a menu, another window): the drag cannot go on.
void OnCaptureChanged(HWND tool)
{
    if (GetCapture() != tool)
        EndDrag(tool);
}

void OnRButtonUp(HWND tool, LPARAM lParam)
{
    EndActiveDrag();
    if (InstanceOf(tool) != nullptr)
        ShowContextMenu(tool, lParam);
}

void OnPaint(HWND tool, const ToolInstance* instance)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(tool, &paint);
    if (dc != nullptr && instance != nullptr)
        PaintView(dc, *instance);
    EndPaint(tool, &paint);
}

void OnDestroy(HWND tool)
{
    // Not const: the record is freed below.
    // cppcheck-suppress constVariablePointer
    ToolInstance* instance = InstanceOf(tool);
    if (instance == nullptr)
        return;
    EndDrag(tool);
    // A destroy the host nested inside that 0 has freed the record already.
    if (InstanceOf(tool) != instance)
        return;
    ReleaseDragWindowDC(tool);
    // An open property page must not write into the freed record.
    if (pageTarget == instance)
        pageTarget = nullptr;
    AttachInstance(tool, nullptr);
    HeapFree(GetProcessHeap(), 0, instance);
}

LRESULT OnGetState(ToolInstance* instance, LPARAM lParam)
{
    if (instance == nullptr)
        return 0;
    if (IsPlausibleAddress(static_cast<uintptr_t>(lParam)))
        *reinterpret_cast<void**>(lParam) = instance;
    return GLIMBER_STATE_LENGTH;
}

void OnSetState(ToolInstance* instance, WPARAM length, LPARAM lParam)
{
    if (instance == nullptr)
        return;
    // Taken raw and unchecked, so the next paint already uses it; the source size follows later.
    if (length == GLIMBER_STATE_LENGTH && IsPlausibleAddress(static_cast<uintptr_t>(lParam)))
        CopyMemory(&instance->zoom, reinterpret_cast<const void*>(lParam), GLIMBER_STATE_LENGTH);
    SyncPageSlider(instance);
}

LRESULT OnFitSize(LPARAM lParam)
{
    if (!IsPlausibleAddress(static_cast<uintptr_t>(lParam)))
        return 0;
    return FitPanelSize(*reinterpret_cast<const FitRequest*>(lParam));
}

}  // namespace

void ReleaseHeldDragDC()
{
    if (dragWindow != nullptr)
        ReleaseDragWindowDC(dragWindow);
}

ATOM RegisterToolClass(HINSTANCE instance, HCURSOR cursor)
{
    WNDCLASSA toolClass = {};
    toolClass.style = CS_DBLCLKS;
    toolClass.lpfnWndProc = ToolWndProc;
    toolClass.cbWndExtra = sizeof(LONG_PTR);
    toolClass.hInstance = instance;
    toolClass.hCursor = cursor;
    toolClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    toolClass.lpszClassName = kToolClassName;
    return RegisterClassA(&toolClass);
}

HWND CreateToolWindow(HWND parent, const RECT* rect, const void* state, HINSTANCE instance)
{
    if (!IsPlausibleAddress(rect))
        return nullptr;
    auto* record = static_cast<ToolInstance*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(ToolInstance)));
    if (record == nullptr)
        return nullptr;
    if (IsPlausibleAddress(state))
        CopyMemory(&record->zoom, state, GLIMBER_STATE_LENGTH);
    else
        record->zoom = kDefaultZoom;
    record->hwnd = nullptr;
    record->centerX = kInitialCenter;
    record->centerY = kInitialCenter;
    const ScreenExtent screen = ReadScreenExtent();
    record->screenMaxX = screen.width - 1;
    record->screenMaxY = screen.height - 1;

    HWND tool = CreateWindowExA(0, kToolClassName, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, rect->left, rect->top,
                                Extent(rect->left, rect->right), Extent(rect->top, rect->bottom), parent, nullptr,
                                instance, nullptr);
    if (tool == nullptr) {
        HeapFree(GetProcessHeap(), 0, record);
        return nullptr;
    }
    record->hwnd = tool;
    AttachInstance(tool, record);
    return tool;
}

LRESULT CALLBACK ToolWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    ToolInstance* instance = InstanceOf(window);
    switch (message) {
    case WM_DESTROY:
        OnDestroy(window);
        return 0;
    case WM_SIZE:
        RecomputeSourceSize(instance);
        return 0;
    case WM_PAINT:
        OnPaint(window, instance);
        return 0;
    case WM_MOUSEMOVE:
        if (instance != nullptr)
            OnMouseMove(window, instance, lParam);
        return 0;
    case WM_LBUTTONDOWN:
        if (instance != nullptr)
            OnLButtonDown(window, lParam);
        return 0;
    case WM_LBUTTONUP:
    case WM_CANCELMODE:  // a menu or box is about to open (EndActiveDrag), or the host cancels modes
        EndDrag(window);
        return 0;
    case WM_CAPTURECHANGED:
        OnCaptureChanged(window);
        return 0;
    case WM_RBUTTONUP:
        if (instance != nullptr)
            OnRButtonUp(window, lParam);
        return 0;
    case WM_COMMAND:
        if (instance != nullptr)
            OnToolCommand(window, instance, LOWORD(wParam));
        return 0;
    case PNM_GETSTATE:
        return OnGetState(instance, lParam);
    case PNM_SETSTATE:
        OnSetState(instance, wParam, lParam);
        return 0;
    case PNM_CREATEPAGE:
        return instance != nullptr
                   ? reinterpret_cast<LRESULT>(CreatePropertyPage(instance, reinterpret_cast<HWND>(wParam), lParam))
                   : 0;
    case PNM_GETSIZE:
        return GLIMBER_FIXED_SIZE;
    case PNM_FITSIZE1:
    case PNM_FITSIZE2:
    case PNM_FITSIZE3:
        return OnFitSize(lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
