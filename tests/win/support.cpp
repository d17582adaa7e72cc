#include "support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>
#include <utility>

#include "case_watch.h"
#include "core/view_geometry.h"
#include "host/plugin_loader.h"
#include "host/screen_pixels.h"

namespace {
template <typename Proc>
Proc Resolve(HMODULE dll, const char* name)
{
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}
}  // namespace

std::string LastErrorText()
{
    return ", GetLastError " + std::to_string(GetLastError());
}

bool GlimberModule::Load(const char* path)
{
    dll = LoadLibraryA(path);
    if (dll == nullptr) {
        ADD_FAILURE() << "LoadLibraryA(" << path << ") failed" << LastErrorText();
        return false;
    }
    enumerate = Resolve<EnumeratePanelTypesProc>(dll, "EnumeratePanelTypes");
    init = Resolve<InitToolTypeProc>(dll, "InitGlimberToolType");
    create = Resolve<ToolCreateProc>(dll, "GlimberToolCreate");
    cleanup = Resolve<ToolCleanupProc>(dll, "GlimberToolCleanup");
    const bool resolved = enumerate && init && create && cleanup;
    if (!resolved)
        ADD_FAILURE() << path << " lacks one of the four entry points";
    return resolved;
}

void GlimberModule::Free()
{
    if (dll != nullptr)
        FreeLibrary(dll);
    *this = GlimberModule{};
}

ToolTypeInfo* GlimberModule::Initialise()
{
    char initName[20], createName[20], cleanupName[20];
    if (enumerate(initName, createName, cleanupName, reinterpret_cast<HINSTANCE__*>(GetModuleHandleA(nullptr)), 0) != 1)
        return nullptr;
    ToolTypeInfo* info = nullptr;
    init(&info, 0);
    return info;
}

GlimberModule& ReadyModule()
{
    static GlimberModule module;
    if (module.dll == nullptr && module.Load() && module.Initialise() == nullptr)
        ADD_FAILURE() << "EnumeratePanelTypes or InitGlimberToolType gave no tool type";
    return module;
}

// ---- the host window ----

namespace {
const UINT kPostedCallMessage = WM_APP + 1;
}

TestHost::TestHost(int x, int y, int width, int height, DWORD style)
{
    static const char* className = [] {
        WNDCLASSA hostClass = {};
        hostClass.lpfnWndProc = Proc;
        hostClass.hInstance = GetModuleHandleA(nullptr);
        hostClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        hostClass.lpszClassName = "GlimberTestHost";
        RegisterClassA(&hostClass);
        return "GlimberTestHost";
    }();
    window_ = CreateWindowExA(0, className, "host", style | WS_VISIBLE | WS_CLIPCHILDREN, x, y, width, height, nullptr,
                              nullptr, GetModuleHandleA(nullptr), this);
    if (window_ == nullptr)
        ADD_FAILURE() << "CreateWindowExA(test host) failed" << LastErrorText();
    PumpFor(30);
}

TestHost::~TestHost()
{
    if (IsWindow(window_))
        DestroyWindow(window_);
}

LRESULT CALLBACK TestHost::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    auto* host = reinterpret_cast<TestHost*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (host != nullptr && message == kPostedCallMessage) {
        std::vector<std::function<void()>> calls;
        calls.swap(host->postedCalls_);
        for (const auto& call : calls)
            call();
        return 0;
    }
    if (host != nullptr && message == WM_ENTERIDLE && host->onEnterIdle) {
        host->onEnterIdle(wParam, reinterpret_cast<HWND>(lParam));
        return 0;
    }
    if (host != nullptr && (message == PNM_STATECHANGED || message == PNM_SHOWPROPERTIES || message == PNM_TRACKING)) {
        Notification seen{message, wParam, 0, GetCapture(), CLR_INVALID};
        if (message == PNM_STATECHANGED) {
            ReadToolState(reinterpret_cast<HWND>(wParam), seen.zoomSeen);
        }
        if (host->probe.x >= 0) {
            HDC screen = GetDC(nullptr);
            const COLORREF bgr = GetPixel(screen, host->probe.x, host->probe.y);
            seen.probeSeen = RGB(GetBValue(bgr), GetGValue(bgr), GetRValue(bgr));
            ReleaseDC(nullptr, screen);
        }
        host->notifications.push_back(seen);
        if (host->onNotification)
            host->onNotification(message, wParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void TestHost::PostCall(std::function<void()> call)
{
    postedCalls_.push_back(std::move(call));
    PostMessageA(window_, kPostedCallMessage, 0, 0);
}

HWND TestHost::CreateTool(const RECT& rect, const void* state)
{
    return ReadyModule().create(window_, &rect, state, 0, 0);
}

HWND TestHost::CreateSizedTool(int width, int height, const void* state, int x, int y)
{
    const RECT creation = {x, y, x + 1, y + 1};
    HWND tool = CreateTool(creation, state);
    if (tool == nullptr) {
        ADD_FAILURE() << "GlimberToolCreate on host " << window_ << " returned null" << LastErrorText();
        return nullptr;
    }
    SetWindowPos(tool, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateWindow(tool);
    return tool;
}

ToolInstance* RecordOf(HWND tool)
{
    auto* record = reinterpret_cast<ToolInstance*>(GetWindowLongPtrA(tool, 0));
    if (record != nullptr)
        return record;
    // A failed assertion instead of a page fault in the test that asked: an empty
    // record that no window owns, so the test goes on to fail on its values.
    ADD_FAILURE() << "no record behind tool window " << tool << (IsWindow(tool) ? "" : " (not a window)")
                  << LastErrorText();
    static ToolInstance placeholder;
    placeholder = ToolInstance{};
    placeholder.zoom = 1;  // what divides by the factor stays defined
    return &placeholder;
}

// ---- the screen pattern ----

namespace {
std::vector<DWORD> PatternBits(int width, int height)
{
    std::vector<DWORD> bits(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bits[static_cast<size_t>(y) * width + x] = ScreenPattern::At(x, y);
    return bits;
}
}  // namespace

COLORREF ScreenPattern::At(int x, int y)
{
    // Unique per pixel on a 1024 x 768 screen; the low blue nibble (8) tells it
    // apart from its inversion (7) and from the light-grey background (0).
    const int high = (x >> 8) | ((y >> 8) << 2);
    return static_cast<COLORREF>(((x & 0xFF) << 16) | ((y & 0xFF) << 8) | (high * 16 + 8));
}

ScreenPattern::ScreenPattern()
{
    static const char* className = [] {
        WNDCLASSA patternClass = {};
        patternClass.lpfnWndProc = Proc;
        patternClass.hInstance = GetModuleHandleA(nullptr);
        patternClass.lpszClassName = "GlimberTestPattern";
        RegisterClassA(&patternClass);
        return "GlimberTestPattern";
    }();
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    window_ = CreateWindowExA(0, className, "pattern", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    if (window_ == nullptr) {
        ADD_FAILURE() << "CreateWindowExA(screen pattern) failed" << LastErrorText();
        return;
    }
    UpdateWindow(window_);
    // Wait until the X server shows it, corners included.
    const WaitingFor waiting("the screen pattern to reach the screen");
    const bool shown = PumpUntil([&] {
        const Pixels corners = CaptureScreen(RECT{0, 0, width, height});
        return corners.At(0, 0) == At(0, 0) && corners.At(width - 1, height - 1) == At(width - 1, height - 1) &&
               corners.At(width / 2, height / 2) == At(width / 2, height / 2);
    });
    if (!shown)
        ADD_FAILURE() << "the screen pattern did not reach the screen within 3 s";
}

ScreenPattern::~ScreenPattern()
{
    DestroyWindow(window_);
}

LRESULT CALLBACK ScreenPattern::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        static const int width = GetSystemMetrics(SM_CXSCREEN);
        static const int height = GetSystemMetrics(SM_CYSCREEN);
        static const std::vector<DWORD> bits = PatternBits(width, height);
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        BITMAPINFO info = TopDownDibInfo(width, height);
        SetDIBitsToDevice(dc, 0, 0, width, height, 0, 0, 0, height, bits.data(), &info, DIB_RGB_COLORS);
        EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_ERASEBKGND)
        return 1;
    return DefWindowProcA(window, message, wParam, lParam);
}

COLORREF Inverted(COLORREF color)
{
    return color ^ 0xFFFFFF;
}

// ---- messages and pixels ----

namespace {
bool dispatchWhileWaiting = true;

BOOL CALLBACK PaintNow(HWND window, LPARAM)
{
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return TRUE;
}

// Lets Wine take in the X server's events and the thread's windows paint what they are due,
// for `ms` milliseconds, without dispatching a single queued message.
void PaintWithoutDispatchFor(DWORD ms)
{
    const DWORD end = GetTickCount() + ms;
    for (;;) {
        MSG look;
        PeekMessageA(&look, nullptr, 0, 0, PM_NOREMOVE);
        EnumThreadWindows(GetCurrentThreadId(), PaintNow, 0);
        if (static_cast<int>(end - GetTickCount()) <= 0)
            return;
        Sleep(5);
    }
}
}  // namespace

NoDispatchWhileWaiting::NoDispatchWhileWaiting() : outer_(dispatchWhileWaiting)
{
    dispatchWhileWaiting = false;
}

NoDispatchWhileWaiting::~NoDispatchWhileWaiting()
{
    dispatchWhileWaiting = outer_;
}

void PumpFor(DWORD ms)
{
    const WaitingFor waiting("the thread's messages, pumped for a fixed time");
    if (dispatchWhileWaiting)
        PumpMessagesFor(ms);
    else
        PaintWithoutDispatchFor(ms);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD end = GetTickCount() + timeoutMs;
    while (!done()) {
        if (static_cast<int>(end - GetTickCount()) <= 0)
            return done();
        PumpFor(20);
    }
    return true;
}

namespace {
Pixels CaptureFrom(HDC source, const RECT& area, int sourceX, int sourceY)
{
    Pixels pixels;
    pixels.left = area.left;
    pixels.top = area.top;
    pixels.width = area.right - area.left;
    pixels.height = area.bottom - area.top;
    pixels.data = ReadPixels(source, sourceX, sourceY, pixels.width, pixels.height);
    return pixels;
}
}  // namespace

Pixels CaptureScreen(const RECT& area)
{
    HDC screen = GetDC(nullptr);
    Pixels pixels = CaptureFrom(screen, area, area.left, area.top);
    ReleaseDC(nullptr, screen);
    return pixels;
}

namespace {
// The screen rectangles of the `excluded` windows, and whether a point lies in one.
class ExcludedAreas {
public:
    explicit ExcludedAreas(std::initializer_list<HWND> windows)
    {
        for (HWND window : windows) {
            RECT rect;
            if (GetWindowRect(window, &rect))
                rects_.push_back(rect);
        }
    }
    bool Contain(int x, int y) const
    {
        const POINT p = {x, y};
        for (const RECT& rect : rects_)
            if (PtInRect(&rect, p))
                return true;
        return false;
    }

private:
    std::vector<RECT> rects_;
};
}  // namespace

std::string StrayScreenPixels(std::initializer_list<HWND> excluded, const RECT* area)
{
    const ExcludedAreas skipped(excluded);
    const RECT screenRect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT checked;
    if (!IntersectRect(&checked, &screenRect, area != nullptr ? area : &screenRect))
        return "";
    const Pixels screen = CaptureScreen(checked);
    int stray = 0;
    std::string first;
    RECT bounds = {};
    for (int y = screen.top; y < screen.top + screen.height; ++y)
        for (int x = screen.left; x < screen.left + screen.width; ++x) {
            if (skipped.Contain(x, y) || screen.At(x, y) == ScreenPattern::At(x, y))
                continue;
            const RECT pixel = {x, y, x + 1, y + 1};
            UnionRect(&bounds, &bounds, &pixel);
            if (stray++ != 0)
                continue;
            char what[96];
            std::snprintf(what, sizeof what, "%d,%d (%06lx where the pattern is %06lx)", x, y, screen.At(x, y),
                          ScreenPattern::At(x, y));
            first = what;
        }
    if (stray == 0)
        return "";
    char within[64];
    std::snprintf(within, sizeof within, ", all within %ld,%ld-%ld,%ld", bounds.left, bounds.top, bounds.right - 1,
                  bounds.bottom - 1);
    return std::to_string(stray) + " stray pixels, first at " + first + within;
}

std::string SettledStrayPixels(std::initializer_list<HWND> excluded, const RECT* area, DWORD timeoutMs)
{
    const WaitingFor waiting("the screen to settle with no stray pixel");
    EnumThreadWindows(GetCurrentThreadId(), PaintNow, 0);
    std::string stray;
    PumpUntil(
        [&] {
            stray = StrayScreenPixels(excluded, area);
            return stray.empty();
        },
        timeoutMs);
    return stray;
}

bool WaitForExposure(const RECT& area, std::initializer_list<HWND> excluded, DWORD timeoutMs)
{
    const RECT screenRect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT probed;
    if (!IntersectRect(&probed, &screenRect, &area))
        return true;
    const WaitingFor waiting("the X server's exposure of a closed window");
    const ExcludedAreas skipped(excluded);
    const Pixels shown = CaptureScreen(probed);
    for (int y = probed.top; y < probed.bottom; ++y)
        for (int x = probed.left; x < probed.right; ++x) {
            if (skipped.Contain(x, y) || shown.At(x, y) != ScreenPattern::At(x, y))
                continue;
            HDC screen = GetDC(nullptr);
            PatBlt(screen, x, y, 1, 1, DSTINVERT);
            ReleaseDC(nullptr, screen);
            const RECT probe = {x, y, x + 1, y + 1};
            if (PumpUntil([&] { return CaptureScreen(probe).At(x, y) == ScreenPattern::At(x, y); }, timeoutMs))
                return true;
            // Never put back: take the probe off again, so only the failure remains.
            screen = GetDC(nullptr);
            PatBlt(screen, x, y, 1, 1, DSTINVERT);
            ReleaseDC(nullptr, screen);
            return false;
        }
    return true;
}

Pixels CaptureClient(HWND window)
{
    RECT client = {};
    if (!GetClientRect(window, &client))
        ADD_FAILURE() << "GetClientRect(" << window << ") failed" << LastErrorText();
    HDC dc = GetDC(window);
    Pixels pixels = CaptureFrom(dc, client, 0, 0);
    ReleaseDC(window, dc);
    return pixels;
}

LPARAM PackPoint(int x, int y)
{
    return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(x)), static_cast<WORD>(static_cast<SHORT>(y)));
}

LPARAM ClientPointFromScreen(HWND window, int x, int y)
{
    POINT point = {x, y};
    ScreenToClient(window, &point);
    return PackPoint(point.x, point.y);
}

void DragTo(HWND tool, int x, int y)
{
    SendMessageA(tool, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(1, 1));
    SendMessageA(tool, WM_MOUSEMOVE, MK_LBUTTON, ClientPointFromScreen(tool, x, y));
    SendMessageA(tool, WM_LBUTTONUP, 0, ClientPointFromScreen(tool, x, y));
}

std::string CompareViewWithPattern(HWND tool)
{
    const ToolInstance& record = *RecordOf(tool);
    const SourceRect source = ComputeSourceRect(record);
    const ViewSize destination = ComputeDestinationSize(record);
    const Pixels view = CaptureClient(tool);
    std::ostringstream out;
    int mismatches = 0;
    for (int y = 0; y < view.height; ++y)
        for (int x = 0; x < view.width; ++x) {
            // Past the stretched copy the erased background shows.
            const bool copied = x < destination.width && y < destination.height;
            const COLORREF want =
                copied ? ScreenPattern::At(source.left + x / record.zoom, source.top + y / record.zoom) : kLightGrey;
            const COLORREF got = view.At(x, y);
            if (got != want && mismatches++ < 5)
                out << std::hex << "view (" << std::dec << x << "," << y << ") is " << std::hex << got << ", want "
                    << want << "; ";
        }
    if (mismatches > 0)
        out << std::dec << mismatches << " pixels differ (zoom " << record.zoom << ", source " << source.left << ","
            << source.top << " " << source.width << "x" << source.height << ")";
    return out.str();
}

RECT StripArea(const Strip& strip)
{
    // GDI's rule: a negative extent reaches back from the origin and includes the origin's own row or column.
    const int left = strip.width >= 0 ? strip.x : strip.x + strip.width + 1;
    const int top = strip.height >= 0 ? strip.y : strip.y + strip.height + 1;
    return RECT{left, top, left + std::abs(strip.width), top + std::abs(strip.height)};
}

std::string CompareFrame(const ToolInstance& record, bool frameShown)
{
    const SourceRect source = ComputeSourceRect(record);
    const ViewfinderStrips strips = ComputeViewfinderStrips(record);
    const RECT covered[] = {StripArea(strips.top), StripArea(strips.left), StripArea(strips.right),
                            StripArea(strips.bottom)};
    const int margin = 3;
    RECT area = {source.left - margin, source.top - margin, source.left + source.width + margin,
                 source.top + source.height + margin};
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    IntersectRect(&area, &area, &screen);
    const Pixels pixels = CaptureScreen(area);
    std::ostringstream out;
    int mismatches = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            // Each strip inverts what it covers; a pixel covered twice is back to normal.
            bool inverted = false;
            for (const RECT& strip : covered)
                inverted ^= PtInRect(&strip, POINT{x, y}) != FALSE;
            const COLORREF pattern = ScreenPattern::At(x, y);
            const COLORREF want = inverted && frameShown ? Inverted(pattern) : pattern;
            if (pixels.At(x, y) != want && mismatches++ < 5)
                out << "(" << x << "," << y << ") is " << std::hex << pixels.At(x, y) << " want " << want << std::dec
                    << "; ";
        }
    if (mismatches > 0)
        out << mismatches << " screen pixels differ";
    return out.str();
}

size_t CountHeapBlocks()
{
    HANDLE heap = GetProcessHeap();
    size_t busy = 0;
    PROCESS_HEAP_ENTRY entry = {};
    HeapLock(heap);
    while (HeapWalk(heap, &entry))
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
            ++busy;
    HeapUnlock(heap);
    return busy;
}

bool SeedsOfRange(unsigned index, unsigned perRange, const char* replay, SeedRange& range)
{
    range = SeedRange{1 + index * perRange, perRange};
    const char* named = std::getenv(replay);
    if (named == nullptr)
        return true;
    const auto seed = static_cast<unsigned>(std::strtoul(named, nullptr, 10));
    if (seed < range.first || seed >= range.first + range.count)
        return false;
    range = SeedRange{seed, 1};
    return true;
}

namespace {
RECT closedPopups, shownPopups;
std::set<HWND> activatedPopups;
}  // namespace

ClosedPopupWatch::ClosedPopupWatch() : hook_(SetWindowsHookExA(WH_CBT, Record, nullptr, GetCurrentThreadId())) {}

ClosedPopupWatch::~ClosedPopupWatch()
{
    UnhookWindowsHookEx(hook_);
}

LRESULT CALLBACK ClosedPopupWatch::Record(int code, WPARAM wParam, LPARAM lParam)
{
    const HWND window = reinterpret_cast<HWND>(wParam);
    RECT area;
    // A box is hidden before it is destroyed; that it was shown, its activation tells.
    if (code == HCBT_ACTIVATE)
        activatedPopups.insert(window);
    if (code == HCBT_DESTROYWND && !(GetWindowLongA(window, GWL_STYLE) & WS_CHILD) && GetWindowRect(window, &area)) {
        UnionRect(&closedPopups, &closedPopups, &area);
        if (activatedPopups.erase(window) != 0 || IsWindowVisible(window))
            UnionRect(&shownPopups, &shownPopups, &area);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::string ClosedPopupWatch::SettleClosed(std::initializer_list<HWND> excluded)
{
    const RECT closed = closedPopups, shown = shownPopups;
    SetRectEmpty(&closedPopups);
    SetRectEmpty(&shownPopups);
    if (IsRectEmpty(&closed))
        return "";
    const bool untouched = StrayScreenPixels(excluded, &closed).empty();
    const std::string left = SettledStrayPixels(excluded, &closed);
    // Where the screen did change, putting it back was that exposure; if it came before
    // the probe, nothing is due.
    if (left.empty() && untouched && !IsRectEmpty(&shown))
        WaitForExposure(shown, excluded, 500);
    return left;
}
