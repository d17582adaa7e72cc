// What a drag step and a repaint of a Glimber tool cost, against the bare work
// they consist of (the floor), the two-copy method (the peer) and the one part
// no method avoids, reading the source pixels off the screen (the read limit).
//   glimber_bench [CSV_PATH]
#include <windows.h>
#include <psapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <numeric>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/view_geometry.h"
#include "plugin/protocol.h"
#include "tests/win/import_hook.h"

namespace {

struct Case {
    int width, height, zoom;
};

const Case kCases[] = {{200, 150, 1},  {200, 150, 4}, {200, 150, 16}, {400, 300, 1}, {400, 300, 4},
                       {400, 300, 16}, {800, 600, 1}, {800, 600, 4},  {800, 600, 16}};
// 16 rounds of 30: 480 steps, each of the 24 orders of the four step operations 20 times.
const int kRounds = 16;
const int kStepsPerRound = 30;
const int kSoakSteps = 100000;
const int kSoakFactorChanges = 1000;
const char* const kBuild = sizeof(void*) == 4 ? "win32" : "win64";

double Microseconds(LARGE_INTEGER start, LARGE_INTEGER end)
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    return 1e6 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <typename Work>
double Time(Work&& work)
{
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    work();
    QueryPerformanceCounter(&end);
    return Microseconds(start, end);
}

double Percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    const size_t index =
        std::min(values.size() - 1, static_cast<size_t>(fraction * static_cast<double>(values.size())));
    return values[index];
}

// The screen point the view centres on at step i: a walk over most of the screen.
POINT CenterAt(int i)
{
    return POINT{60 + (i * 37) % 900, 60 + (i * 53) % 640};
}

// The harness's own calls to USER go around the bench's import table, which then
// counts only what the floor and the peer call themselves (see CountCalls).
template <typename Proc>
Proc SystemFunction(const char* dll, const char* name)
{
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(dll), name)));
}
const auto harnessSend = SystemFunction<decltype(&SendMessageA)>("user32.dll", "SendMessageA");
const auto harnessInvalidate = SystemFunction<decltype(&InvalidateRect)>("user32.dll", "InvalidateRect");
const auto harnessUpdate = SystemFunction<decltype(&UpdateWindow)>("user32.dll", "UpdateWindow");

void HarnessRepaint(HWND window)
{
    harnessInvalidate(window, nullptr, FALSE);
    harnessUpdate(window);
}

LPARAM ClientPoint(HWND window, POINT screen)
{
    ScreenToClient(window, &screen);
    return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(screen.x)), static_cast<WORD>(static_cast<SHORT>(screen.y)));
}

// The same drawing done by hand with device contexts held for the whole run, the
// screen's made as the module makes its own: the floor is the bare GDI work of a
// step (eight inversions on the screen and one stretch from it), the peer copies
// the source to a cached bitmap first, the read limit only copies the source.
class DirectGdi {
public:
    DirectGdi(const DirectGdi&) = delete;
    DirectGdi& operator=(const DirectGdi&) = delete;
    DirectGdi(HWND window, const Case& c)
        : window_(window), screen_(CreateDCA("DISPLAY", nullptr, nullptr, nullptr)), target_(GetDC(window))
    {
        SetStretchBltMode(target_, COLORONCOLOR);
        RECT client;
        GetClientRect(window, &client);
        view_.zoom = c.zoom;
        view_.screenMaxX = GetSystemMetrics(SM_CXSCREEN) - 1;
        view_.screenMaxY = GetSystemMetrics(SM_CYSCREEN) - 1;
        const ViewSize source = ComputeSourceSize(client.right, client.bottom, c.zoom, ViewSize{0, 0});
        view_.sourceWidth = source.width;
        view_.sourceHeight = source.height;
        memory_ = CreateCompatibleDC(screen_);
        cache_ = CreateCompatibleBitmap(screen_, source.width, source.height);
        oldBitmap_ = SelectObject(memory_, cache_);
        Move(CenterAt(0));
        Frame();
    }
    ~DirectGdi()
    {
        Frame();
        SelectObject(memory_, oldBitmap_);
        DeleteObject(cache_);
        DeleteDC(memory_);
        ReleaseDC(window_, target_);
        DeleteDC(screen_);
    }
    // Floor: the frame moved (eight inversions) and one stretch from the screen.
    void FloorStep(POINT center)
    {
        Frame();
        Move(center);
        Frame();
        FloorPaint(target_);
    }
    void FloorPaint(HDC target)
    {
        const SourceRect s = ComputeSourceRect(view_);
        const ViewSize d = ComputeDestinationSize(view_);
        StretchBlt(target, 0, 0, d.width, d.height, screen_, s.left, s.top, s.width, s.height, SRCCOPY);
    }
    // Peer: the same frame, but the source copied into a cached bitmap first and stretched from there.
    void PeerStep(POINT center)
    {
        Frame();
        Move(center);
        Frame();
        PeerPaint(target_);
    }
    void PeerPaint(HDC target)
    {
        const SourceRect s = ComputeSourceRect(view_);
        const ViewSize d = ComputeDestinationSize(view_);
        BitBlt(memory_, 0, 0, s.width, s.height, screen_, s.left, s.top, SRCCOPY);
        StretchBlt(target, 0, 0, d.width, d.height, memory_, 0, 0, s.width, s.height, SRCCOPY);
    }
    // The repaint floor and peer read where the tool's view is centred now: a read over
    // the host's windows costs more than one over the bare desktop.
    void Aim(POINT center) { Move(center); }
    // Read limit: the step's source rectangle copied off the screen, and nothing else.
    void ReadStep(POINT center)
    {
        Move(center);
        const SourceRect s = ComputeSourceRect(view_);
        BitBlt(memory_, 0, 0, s.width, s.height, screen_, s.left, s.top, SRCCOPY);
    }

private:
    void Move(POINT center)
    {
        view_.centerX = center.x;
        view_.centerY = center.y;
    }
    void Frame()
    {
        const ViewfinderStrips strips = ComputeViewfinderStrips(view_);
        for (const Strip& s : {strips.top, strips.left, strips.right, strips.bottom})
            PatBlt(screen_, s.x, s.y, s.width, s.height, DSTINVERT);
    }
    HWND window_;
    HDC screen_;
    HDC target_;
    HDC memory_;
    HBITMAP cache_;
    HGDIOBJ oldBitmap_;
    ToolInstance view_ = {};
};

// Puts a window over its siblings without repainting anything: each repaint is timed with
// its window on top, where a paint costs what it costs the tool (one painted beneath the
// others, unclipped, cost the floor less than the same paint on top cost the module).
void RaiseUnpainted(HWND window)
{
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
}

// A window of the tool's size, class and window styles whose paint is the bare stretch
// (floor) or the two-copy method (peer): the repaint cycle the module goes through,
// without the module.
class BareWindow {
public:
    BareWindow(const BareWindow&) = delete;
    BareWindow& operator=(const BareWindow&) = delete;
    BareWindow(HWND host, const Case& c, bool twoCopies) : twoCopies_(twoCopies)
    {
        static const char* className = [] {
            WNDCLASSA bareClass = {};
            bareClass.style = CS_DBLCLKS;
            bareClass.lpfnWndProc = Proc;
            bareClass.cbWndExtra = sizeof(LONG_PTR);
            bareClass.hInstance = GetModuleHandleA(nullptr);
            bareClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
            bareClass.lpszClassName = "GlimberBenchBare";
            RegisterClassA(&bareClass);
            return "GlimberBenchBare";
        }();
        window_ = CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 10, 10, c.width, c.height,
                                  host, nullptr, GetModuleHandleA(nullptr), this);
        gdi_ = std::make_unique<DirectGdi>(window_, c);
    }
    ~BareWindow()
    {
        gdi_.reset();
        DestroyWindow(window_);
    }
    void Repaint() { HarnessRepaint(window_); }
    HWND window() const { return window_; }
    DirectGdi& gdi() { return *gdi_; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE)
            SetWindowLongPtrA(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        auto* self = reinterpret_cast<BareWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (message == WM_PAINT && self != nullptr && self->gdi_ != nullptr) {
            // Into the paint DC, which is new each time and so needs the stretch mode set,
            // as the module's paint does.
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            SetStretchBltMode(dc, COLORONCOLOR);
            if (self->twoCopies_)
                self->gdi_->PeerPaint(dc);
            else
                self->gdi_->FloorPaint(dc);
            EndPaint(window, &paint);
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    HWND window_;
    std::unique_ptr<DirectGdi> gdi_;
    bool twoCopies_;
};

// The like-for-like floor and peer of a drag step: a bare window of the tool's size and
// class styles at the tool's place in the same host, sent the same WM_MOUSEMOVE with the
// same lParam, whose procedure does only what a step must: decode the point, turn it
// into screen coordinates, move the frame and copy the view. It draws into the tool's
// window DC, held as the module holds it, so both copies land on the same visible pixels.
class StepWindow {
public:
    StepWindow(const StepWindow&) = delete;
    StepWindow& operator=(const StepWindow&) = delete;
    StepWindow(HWND host, HWND tool, const Case& c, bool twoCopies) : gdi_(tool, c), twoCopies_(twoCopies)
    {
        static const char* className = [] {
            WNDCLASSA stepClass = {};
            stepClass.style = CS_DBLCLKS;
            stepClass.lpfnWndProc = Proc;
            stepClass.cbWndExtra = sizeof(LONG_PTR);
            stepClass.hInstance = GetModuleHandleA(nullptr);
            stepClass.lpszClassName = "GlimberBenchStep";
            RegisterClassA(&stepClass);
            return "GlimberBenchStep";
        }();
        window_ = CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 10, 10, c.width, c.height,
                                  host, nullptr, GetModuleHandleA(nullptr), this);
    }
    ~StepWindow() { DestroyWindow(window_); }
    HWND window() const { return window_; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE)
            SetWindowLongPtrA(window, 0,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        auto* self = reinterpret_cast<StepWindow*>(GetWindowLongPtrA(window, 0));
        if (message == WM_MOUSEMOVE && self != nullptr) {
            POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ClientToScreen(window, &point);
            if (self->twoCopies_)
                self->gdi_.PeerStep(point);
            else
                self->gdi_.FloorStep(point);
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    HWND window_ = nullptr;
    DirectGdi gdi_;
    bool twoCopies_;
};

// The median of the ratios of samples taken side by side (slow drifts of the machine
// cancel), with its 95% confidence interval from the order statistics around it.
struct Ratio {
    double median, low, high;
};

Ratio PairedRatio(const std::vector<double>& module, const std::vector<double>& other)
{
    std::vector<double> ratios;
    for (size_t i = 0; i < module.size() && i < other.size(); ++i)
        ratios.push_back(module[i] / other[i]);
    std::sort(ratios.begin(), ratios.end());
    const size_t n = ratios.size(), middle = n / 2, reach = static_cast<size_t>(0.98 * std::sqrt(double(n)));
    return Ratio{ratios[middle], ratios[middle > reach ? middle - reach : 0], ratios[std::min(n - 1, middle + reach)]};
}

// The promise judged: at most this much over the floor. Where the interval holds the
// margin, the samples cannot tell either way and the bench says so instead.
const double kMargin = 1.05;

const char* Verdict(const Ratio& ratio)
{
    return ratio.high <= kMargin ? "within" : ratio.low > kMargin ? "OVER" : "cannot judge";
}

// "PatBlt 8, StretchBlt 1": what one step or repaint called, per step.
std::string CallList(std::vector<ImportCounter::Count> calls, int steps)
{
    std::sort(calls.begin(), calls.end(),
              [](const ImportCounter::Count& a, const ImportCounter::Count& b) { return a.function < b.function; });
    std::string list;
    for (const auto& call : calls) {
        char item[96];
        std::snprintf(item, sizeof item, "%s%s %g", list.empty() ? "" : ", ", call.function.c_str(),
                      static_cast<double>(call.calls) / steps);
        list += item;
    }
    return list.empty() ? "none" : list;
}

// Every USER and GDI call of one module step or repaint (through the DLL's import
// table) and of one floor step or repaint (through the bench's own): equal lists are
// the evidence that the floor does the module's work, no more and no less.
struct StepCalls {
    std::string moduleStep, floorStep, moduleRepaint, floorRepaint;
};

std::string CountCalls(HMODULE module, int steps, const std::function<void(int)>& work)
{
    ImportCounter user(module, "user32.dll"), gdi(module, "gdi32.dll");
    for (int i = 0; i < steps; ++i)
        work(i);
    std::vector<ImportCounter::Count> calls = user.Called();
    for (const auto& call : gdi.Called())
        calls.push_back(call);
    return CallList(calls, steps);
}

struct Result {
    Case c;
    double moduleStep, floorStep, peerStep, readStep, moduleRepaint, floorRepaint, peerRepaint, stepP95;
    Ratio stepRatio, stepPeerRatio, repaintRatio, repaintPeerRatio;
    StepCalls calls;
};

struct Module {
    HMODULE dll = nullptr;
    ToolCreateProc create = nullptr;
};

template <typename Proc>
Proc Resolve(HMODULE dll, const char* name)
{
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}

bool LoadModule(Module& module)
{
    module.dll = LoadLibraryA("Glimber.dll");
    if (module.dll == nullptr)
        return false;
    auto enumerate = Resolve<EnumeratePanelTypesProc>(module.dll, "EnumeratePanelTypes");
    auto init = Resolve<InitToolTypeProc>(module.dll, "InitGlimberToolType");
    module.create = Resolve<ToolCreateProc>(module.dll, "GlimberToolCreate");
    if (!enumerate || !init || !module.create)
        return false;
    char a[32], b[32], c[32];
    enumerate(a, b, c, reinterpret_cast<HINSTANCE__*>(GetModuleHandleA(nullptr)), 0);
    ToolTypeInfo* info = nullptr;
    init(&info, 0);
    return info != nullptr;
}

HWND CreateHostWindow()
{
    WNDCLASSA hostClass = {};
    hostClass.lpfnWndProc = DefWindowProcA;
    hostClass.hInstance = GetModuleHandleA(nullptr);
    hostClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    hostClass.lpszClassName = "GlimberBenchHost";
    RegisterClassA(&hostClass);
    return CreateWindowExA(0, hostClass.lpszClassName, "bench", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 200, 150, 820,
                           620, nullptr, nullptr, hostClass.hInstance, nullptr);
}

HWND CreateTool(const Module& module, HWND host, const Case& c)
{
    const RECT rect = {10, 10, 11, 11};
    HWND tool = module.create(host, &rect, &c.zoom, 0, 0);
    SetWindowPos(tool, nullptr, 10, 10, c.width, c.height, SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateWindow(tool);
    return tool;
}

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

// All orders of the operations 0 to count - 1. Over a run each operation then follows
// each other one equally often; an order that only turns would put the floor right
// after the module every time.
std::vector<std::vector<int>> AllOrders(int count)
{
    std::vector<int> order(static_cast<size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    std::vector<std::vector<int>> orders;
    do
        orders.push_back(order);
    while (std::next_permutation(order.begin(), order.end()));
    return orders;
}

Result Measure(const Module& module, HWND host, const Case& c)
{
    static const std::vector<std::vector<int>> stepOrders = AllOrders(4), repaintOrders = AllOrders(3);
    // The repaint floor and peer go through the same paint cycle in windows like the tool's,
    // each put on top for its own repaint; the step floor and peer receive the tool's own messages.
    BareWindow floorWindow(host, c, false);
    BareWindow peerWindow(host, c, true);
    HWND tool = CreateTool(module, host, c);
    StepWindow floor(host, tool, c, false);
    StepWindow peer(host, tool, c, true);
    SetWindowPos(tool, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    DirectGdi read(tool, c);
    std::vector<double> moduleStep, floorStep, peerStep, readStep, moduleRepaint, floorRepaint, peerRepaint;
    SendMessageA(tool, WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(tool, CenterAt(0)));
    int step = 1;
    for (int round = 0; round < kRounds; ++round) {
        // Interleaved one by one, in every order in turn: whatever the machine does meanwhile
        // (Wine flushing painted windows to the X server, say) and whatever one operation
        // leaves queued for the next weigh on all alike.
        for (int i = 0; i < kStepsPerRound; ++i, ++step) {
            const POINT center = CenterAt(step);
            const LPARAM point = ClientPoint(tool, center);
            // Untimed: the first screen read of a step pays for what the last one left queued
            // (after a repaint, 20-45% more), which would widen every operation's spread alike.
            read.ReadStep(center);
            for (const int operation : stepOrders[step % stepOrders.size()])
                switch (operation) {
                case 0:
                    moduleStep.push_back(Time([&] { SendMessageA(tool, WM_MOUSEMOVE, MK_LBUTTON, point); }));
                    break;
                case 1:
                    floorStep.push_back(Time([&] { SendMessageA(floor.window(), WM_MOUSEMOVE, MK_LBUTTON, point); }));
                    break;
                case 2:
                    peerStep.push_back(Time([&] { SendMessageA(peer.window(), WM_MOUSEMOVE, MK_LBUTTON, point); }));
                    break;
                default:
                    readStep.push_back(Time([&] { read.ReadStep(center); }));
                    break;
                }
        }
        Pump();
    }
    // The repaints apart from the steps: each window is put on top for its own repaint, and
    // a window's first paint after its place in the z-order changed costs more, which must
    // fall on the repaints alone. An untimed step first moves the view, as a drag would.
    for (int round = 0; round < kRounds; ++round) {
        for (int i = 0; i < kStepsPerRound; ++i, ++step) {
            const POINT center = CenterAt(step);
            SendMessageA(tool, WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(tool, center));
            floorWindow.gdi().Aim(center);
            peerWindow.gdi().Aim(center);
            for (const int operation : repaintOrders[step % repaintOrders.size()])
                switch (operation) {
                case 0:
                    RaiseUnpainted(tool);
                    moduleRepaint.push_back(Time([&] { HarnessRepaint(tool); }));
                    break;
                case 1:
                    RaiseUnpainted(floorWindow.window());
                    floorRepaint.push_back(Time([&] { floorWindow.Repaint(); }));
                    break;
                default:
                    RaiseUnpainted(peerWindow.window());
                    peerRepaint.push_back(Time([&] { peerWindow.Repaint(); }));
                    break;
                }
        }
        Pump();
    }
    RaiseUnpainted(tool);
    const int counted = 16;
    StepCalls calls;
    HMODULE bench = GetModuleHandleA(nullptr);
    std::vector<LPARAM> points(counted);  // made before counting: the conversion is the harness's call
    for (int i = 0; i < counted; ++i)
        points[i] = ClientPoint(tool, CenterAt(step + i));
    calls.moduleStep =
        CountCalls(module.dll, counted, [&](int i) { harnessSend(tool, WM_MOUSEMOVE, MK_LBUTTON, points[i]); });
    calls.floorStep =
        CountCalls(bench, counted, [&](int i) { harnessSend(floor.window(), WM_MOUSEMOVE, MK_LBUTTON, points[i]); });
    calls.moduleRepaint = CountCalls(module.dll, counted, [&](int) { HarnessRepaint(tool); });
    calls.floorRepaint = CountCalls(bench, counted, [&](int) { floorWindow.Repaint(); });
    SendMessageA(tool, WM_LBUTTONUP, 0, 0);
    DestroyWindow(tool);
    return Result{c,
                  Percentile(moduleStep, 0.5),
                  Percentile(floorStep, 0.5),
                  Percentile(peerStep, 0.5),
                  Percentile(readStep, 0.5),
                  Percentile(moduleRepaint, 0.5),
                  Percentile(floorRepaint, 0.5),
                  Percentile(peerRepaint, 0.5),
                  Percentile(moduleStep, 0.95),
                  PairedRatio(moduleStep, floorStep),
                  PairedRatio(moduleStep, peerStep),
                  PairedRatio(moduleRepaint, floorRepaint),
                  PairedRatio(moduleRepaint, peerRepaint),
                  calls};
}

// ---- the soak: memory and device contexts over many steps ----

LONG dcAcquired = 0, dcReleased = 0, paintsBegun = 0, paintsEnded = 0;
HDC WINAPI CountingGetDC(HWND window)
{
    ++dcAcquired;
    return GetDC(window);
}
int WINAPI CountingReleaseDC(HWND window, HDC dc)
{
    ++dcReleased;
    return ReleaseDC(window, dc);
}
HDC WINAPI CountingBeginPaint(HWND window, PAINTSTRUCT* paint)
{
    ++paintsBegun;
    return BeginPaint(window, paint);
}
BOOL WINAPI CountingEndPaint(HWND window, const PAINTSTRUCT* paint)
{
    ++paintsEnded;
    return EndPaint(window, paint);
}

SIZE_T PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    return counters.PrivateUsage;
}

double SoakGrowthKiB(const Module& module, HWND host)
{
    ImportHook getDC(module.dll, "user32.dll", "GetDC", reinterpret_cast<void*>(CountingGetDC));
    ImportHook releaseDC(module.dll, "user32.dll", "ReleaseDC", reinterpret_cast<void*>(CountingReleaseDC));
    ImportHook beginPaint(module.dll, "user32.dll", "BeginPaint", reinterpret_cast<void*>(CountingBeginPaint));
    ImportHook endPaint(module.dll, "user32.dll", "EndPaint", reinterpret_cast<void*>(CountingEndPaint));
    HWND tool = CreateTool(module, host, Case{200, 150, 4});
    auto drag = [&](int from, int count) {
        SendMessageA(tool, WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(tool, CenterAt(from)));
        for (int i = from; i < from + count; ++i) {
            SendMessageA(tool, WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(tool, CenterAt(i)));
            if (i % 1000 == 0)
                Pump();
        }
        SendMessageA(tool, WM_LBUTTONUP, 0, 0);
    };
    drag(0, 2000);  // warm-up: caches and pools reach their working size
    Pump();
    const SIZE_T before = PrivateBytes();
    drag(2000, kSoakSteps);
    for (int i = 0; i < kSoakFactorChanges; ++i) {
        SendMessageA(tool, WM_COMMAND, 601 + i % 16, 0);
        UpdateWindow(tool);
    }
    Pump();
    const SIZE_T after = PrivateBytes();
    DestroyWindow(tool);
    std::printf(
        "soak: %d drag steps and %d factor changes; device contexts acquired %ld, released %ld; "
        "paints begun %ld, ended %ld\n",
        kSoakSteps, kSoakFactorChanges, dcAcquired, dcReleased, paintsBegun, paintsEnded);
    return (static_cast<double>(after) - static_cast<double>(before)) / 1024.0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string csvPath = argc > 1 ? argv[1] : "bench.csv";
    Module module;
    if (!LoadModule(module)) {
        std::fprintf(stderr, "bench: cannot load Glimber.dll\n");
        return 1;
    }
    HWND host = CreateHostWindow();
    Pump();

    std::vector<Result> results;
    for (const Case& c : kCases)
        results.push_back(Measure(module, host, c));

    std::FILE* csv = std::fopen(csvPath.c_str(), "w");
    if (csv)
        std::fprintf(csv,
                     "build,case,operation,module_us,floor_us,peer_us,read_us,module_over_floor,ratio_low,ratio_high,"
                     "verdict,module_over_peer,read_share,module_p95_us,module_calls,floor_calls\n");
    std::printf("%s: %s\n", kBuild, "each drag step against its like-for-like floor, the peer and the screen read");
    std::printf("%-13s %-8s %10s %10s %7s %13s %-12s %10s %8s %9s %6s %10s\n", "case", "op", "module us", "floor us",
                "ratio", "95% interval", "vs 1.05", "peer us", "vs peer", "read us", "read%", "p95 us");
    double worst = 0;
    int unjudged = 0;
    std::vector<std::string> differences;
    for (const Result& r : results) {
        char name[32];
        std::snprintf(name, sizeof name, "%dx%d@%d", r.c.width, r.c.height, r.c.zoom);
        const struct {
            const char* op;
            double module, floor, peer, read;
            Ratio ratio, peerRatio;
            double p95;
            const std::string &moduleCalls, &floorCalls;
        } rows[] = {{"drag", r.moduleStep, r.floorStep, r.peerStep, r.readStep, r.stepRatio, r.stepPeerRatio, r.stepP95,
                     r.calls.moduleStep, r.calls.floorStep},
                    {"repaint", r.moduleRepaint, r.floorRepaint, r.peerRepaint, 0, r.repaintRatio, r.repaintPeerRatio,
                     0, r.calls.moduleRepaint, r.calls.floorRepaint}};
        for (const auto& row : rows) {
            worst = std::max(worst, row.ratio.median);
            const char* verdict = Verdict(row.ratio);
            unjudged += std::strcmp(verdict, "cannot judge") == 0 ? 1 : 0;
            char p95[16] = "-", read[16] = "-", share[16] = "-", interval[32];
            if (row.p95 > 0)
                std::snprintf(p95, sizeof p95, "%.1f", row.p95);
            if (row.read > 0) {
                std::snprintf(read, sizeof read, "%.1f", row.read);
                std::snprintf(share, sizeof share, "%.0f", 100 * row.read / row.module);
            }
            std::snprintf(interval, sizeof interval, "%.2f-%.2f", row.ratio.low, row.ratio.high);
            std::printf("%-13s %-8s %10.1f %10.1f %7.2f %13s %-12s %10.1f %8.2f %9s %6s %10s\n", name, row.op,
                        row.module, row.floor, row.ratio.median, interval, verdict, row.peer, row.peerRatio.median,
                        read, share, p95);
            if (row.moduleCalls != row.floorCalls)
                differences.push_back(std::string(name) + " " + row.op + ": module " + row.moduleCalls + "; floor " +
                                      row.floorCalls);
            if (csv)
                std::fprintf(csv, "%s,%s,%s,%.2f,%.2f,%.2f,%.2f,%.3f,%.3f,%.3f,%s,%.3f,%.3f,%.2f,\"%s\",\"%s\"\n",
                             kBuild, name, row.op, row.module, row.floor, row.peer, row.read, row.ratio.median,
                             row.ratio.low, row.ratio.high, verdict, row.peerRatio.median,
                             row.read > 0 ? row.read / row.module : 0.0, row.p95, row.moduleCalls.c_str(),
                             row.floorCalls.c_str());
        }
    }
    // Calls per step: one line for all cases where module and floor agree, else one per case.
    if (differences.empty())
        std::printf("calls: module and floor make the same calls in every case; a drag step: %s\n",
                    results.front().calls.moduleStep.c_str());
    for (const std::string& difference : differences)
        std::printf("calls differ, %s\n", difference.c_str());
    if (csv)
        std::fclose(csv);
    const double growth = SoakGrowthKiB(module, host);
    DestroyWindow(host);
    std::printf("%s: worst ratio %.2f, memory growth %.0f KiB", kBuild, worst, growth);
    if (unjudged > 0)
        std::printf(", %d of %zu ratios too spread to judge", unjudged, 2 * results.size());
    std::printf("\n");
    return 0;
}
