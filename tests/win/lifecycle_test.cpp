// Load and unload, many tools, many hosts, and what each cycle leaves behind.
#include <cstdint>
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <psapi.h>

#include <initializer_list>
#include <memory>
#include <string>

#include "import_hook.h"
#include "host/screen_pixels.h"
#include "modal_driver.h"
#include "support.h"

namespace {

SIZE_T PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    return counters.PrivateUsage;
}

// One cycle, then what it left in the thread's queue, as a host's message loop runs between
// the user's gestures. Unread, the X server's events for each menu shown pile up in Wine 10,
// and every later menu searches them all: the ten-thousandth took ten times the first.
void CycleThenPump(const std::function<void(int)>& cycle, int index)
{
    cycle(index);
    PumpMessagesFor(0);
}

// Growth of private memory across `cycles` runs of `cycle`, after `warmUp` runs to fill caches.
double GrowthKiB(int warmUp, int cycles, const std::function<void(int)>& cycle)
{
    for (int i = 0; i < warmUp; ++i)
        CycleThenPump(cycle, i);
    PumpFor(10);
    const SIZE_T before = PrivateBytes();
    for (int i = 0; i < cycles; ++i)
        CycleThenPump(cycle, warmUp + i);
    PumpFor(10);
    return (static_cast<double>(PrivateBytes()) - static_cast<double>(before)) / 1024.0;
}

const double kFlatKiB = 256;
const int kMenuCycles = 10000;
const int kBoxCycles = 10000;

TEST(Lifecycle, LoadCreateDragDestroyUnloadTwoHundredTimes)
{
    ScreenPattern pattern;
    TestHost host(380, 280, 460, 200);
    const double growth = GrowthKiB(10, 200, [&](int round) {
        GlimberModule module;
        ASSERT_TRUE(module.Load());
        ASSERT_NE(nullptr, module.Initialise());
        std::vector<HWND> tools;
        for (int i = 0; i < 4; ++i) {
            const RECT rect = {10 + i * 110, 10, 11 + i * 110, 11};
            const int32_t zoom = 1 + (round + i) % 16;
            HWND tool = module.create(host.window(), &rect, &zoom, 0, 0);
            ASSERT_NE(nullptr, tool);
            SetWindowPos(tool, nullptr, 0, 0, 100, 75, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            tools.push_back(tool);
        }
        // Two end their drags, two are destroyed in the middle of one.
        for (size_t i = 0; i < tools.size(); ++i) {
            SendMessageA(tools[i], WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(3, 3));
            SendMessageA(tools[i], WM_MOUSEMOVE, MK_LBUTTON, ClientPointFromScreen(tools[i], 100 + round, 120));
            if (i % 2 == 0)
                SendMessageA(tools[i], WM_LBUTTONUP, 0, 0);
            else
                DestroyWindow(tools[i]);
        }
        for (size_t i = 0; i < tools.size(); i += 2)
            DestroyWindow(tools[i]);
        module.cleanup(0);
        module.Free();
    });
    EXPECT_LT(growth, kFlatKiB);
    EXPECT_EQ(nullptr, GetCapture());
    RECT screen = {0, 0, 370, 270};  // where the drags put their frames
    const Pixels pixels = CaptureScreen(screen);
    int stray = 0;
    for (int y = 0; y < pixels.height; ++y)
        for (int x = 0; x < pixels.width; ++x)
            stray += pixels.At(x, y) != ScreenPattern::At(x, y) ? 1 : 0;
    EXPECT_EQ(0, stray) << "no frame left behind";
}

TEST(Lifecycle, TwoHostsToolsKeepTheirOwnState)
{
    ASSERT_NE(nullptr, ReadyModule().dll);
    ScreenPattern pattern;
    TestHost first(380, 40, 300, 200);
    TestHost second(380, 300, 300, 200);
    int32_t three = 3, nine = 9;
    HWND a = first.CreateSizedTool(120, 90, &three);
    HWND b = second.CreateSizedTool(120, 90, &nine);
    DragTo(a, 100, 100);
    DragTo(b, 200, 600);
    SendMessageA(a, WM_COMMAND, 605, 0);
    EXPECT_EQ(5, RecordOf(a)->zoom);
    EXPECT_EQ(9, RecordOf(b)->zoom);
    EXPECT_NE(RecordOf(a)->centerX, RecordOf(b)->centerX);
    EXPECT_EQ(1u, first.notifications.size() - 2) << "only a's host hears of a's change";
    EXPECT_EQ(2u, second.notifications.size());
    UpdateWindow(a);
    UpdateWindow(b);
    EXPECT_EQ("", CompareViewWithPattern(a));
    EXPECT_EQ("", CompareViewWithPattern(b));
}

// How many blocks the module itself allocated and freed, counted at its own imports of
// the heap and the C runtime: unlike the process heap, which also holds what Wine keeps
// for its windows, and keeps differently from one Wine release to the next.
class ModuleAllocations {
public:
    explicit ModuleAllocations(HMODULE dll) : kernel_(dll, "kernel32.dll"), runtime_(dll, "msvcrt.dll") {}
    bool installed() const { return kernel_.installed() && runtime_.installed(); }
    LONG allocated() const { return Calls({"HeapAlloc", "malloc", "calloc"}); }
    LONG freed() const { return Calls({"HeapFree", "free"}); }

private:
    LONG Calls(std::initializer_list<const char*> functions) const
    {
        LONG calls = 0;
        for (const auto* counter : {&kernel_, &runtime_})
            for (const ImportCounter::Count& count : counter->Called())
                for (const char* function : functions)
                    calls += count.function == function ? count.calls : 0;
        return calls;
    }
    ImportCounter kernel_, runtime_;
};

TEST(Exhaustion, FiveHundredToolsAtOnce)
{
    ASSERT_NE(nullptr, ReadyModule().dll);
    TestHost host(0, 0, 1000, 760);
    ModuleAllocations allocations(ReadyModule().dll);
    ASSERT_TRUE(allocations.installed()) << "the module's import table cannot be counted";
    std::vector<HWND> tools;
    for (int i = 0; i < 500; ++i) {
        const int x = (i % 25) * 40, y = (i / 25) * 38;
        HWND tool = host.CreateSizedTool(38, 36, nullptr, x, y);
        ASSERT_NE(nullptr, tool) << "tool " << i;
        tools.push_back(tool);
    }
    for (HWND tool : tools) {
        void* blob = nullptr;
        ASSERT_EQ(4, SendMessageA(tool, PNM_GETSTATE, 0, reinterpret_cast<LPARAM>(&blob)));
        ASSERT_EQ(RecordOf(tool), blob);
    }
    UpdateWindow(host.window());
    for (HWND tool : tools)
        DestroyWindow(tool);
    EXPECT_EQ(500, allocations.allocated()) << "one record a tool";
    EXPECT_EQ(allocations.allocated(), allocations.freed()) << "every block the module took is given back";
}

TEST(Exhaustion, CreationWithoutTheClassAnswersNull)
{
    ASSERT_NE(nullptr, ReadyModule().dll);
    TestHost host;
    ASSERT_TRUE(UnregisterClassA("GlimberTool", GetModuleHandleA(nullptr)));
    const size_t heapBefore = CountHeapBlocks();
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(nullptr, host.CreateTool(RECT{0, 0, 50, 50}));
    EXPECT_LE(CountHeapBlocks(), heapBefore + 5) << "no record kept";
}

TEST(Exhaustion, ProtocolToOneToolWhileThePageIsOpenForAnother)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    ASSERT_NE(nullptr, ReadyModule().dll);
    TestHost host;
    TestHost properties(20, 20, 500, 250);
    HWND edited = host.CreateSizedTool(100, 75);
    HWND other = host.CreateSizedTool(100, 75, nullptr, 120, 10);
    HWND page = reinterpret_cast<HWND>(
        SendMessageA(edited, PNM_CREATEPAGE, reinterpret_cast<WPARAM>(properties.window()), MAKELPARAM(0, 0)));
    ASSERT_NE(nullptr, page);
    int32_t twelve = 12;
    SendMessageA(other, PNM_SETSTATE, 4, reinterpret_cast<LPARAM>(&twelve));
    void* blob = nullptr;
    EXPECT_EQ(4, SendMessageA(other, PNM_GETSTATE, 0, reinterpret_cast<LPARAM>(&blob)));
    EXPECT_EQ(0x001E0028, SendMessageA(other, PNM_GETSIZE, 0, 0));
    SendMessageA(other, WM_COMMAND, 607, 0);
    EXPECT_EQ(4, SendDlgItemMessageA(page, 1047, TBM_GETPOS, 0, 0)) << "the page still shows its own tool";
    SendDlgItemMessageA(page, 1047, TBM_SETPOS, TRUE, 2);
    SendMessageA(page, WM_COMMAND, PNC_APPLY, 0);
    EXPECT_EQ(2, RecordOf(edited)->zoom);
    EXPECT_EQ(7, RecordOf(other)->zoom);
}

// ---- repeated use leaves nothing behind ----

struct Counters {
    LONG menusCreated = 0, menusDestroyed = 0, dcsTaken = 0, dcsGiven = 0, boxesOpened = 0, boxesEnded = 0;
};
Counters counted;
HMENU WINAPI CountCreatePopupMenu()
{
    ++counted.menusCreated;
    return CreatePopupMenu();
}
BOOL WINAPI CountDestroyMenu(HMENU menu)
{
    ++counted.menusDestroyed;
    return DestroyMenu(menu);
}
HDC WINAPI CountGetDC(HWND window)
{
    ++counted.dcsTaken;
    return GetDC(window);
}
int WINAPI CountReleaseDC(HWND window, HDC dc)
{
    ++counted.dcsGiven;
    return ReleaseDC(window, dc);
}
INT_PTR WINAPI CountDialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param)
{
    ++counted.boxesOpened;
    return DialogBoxParamA(instance, name, owner, proc, param);
}
BOOL WINAPI CountEndDialog(HWND dialog, INT_PTR result)
{
    ++counted.boxesEnded;
    return EndDialog(dialog, result);
}

class Leaks : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        ASSERT_NE(nullptr, ReadyModule().dll);
        counted = Counters{};
        HMODULE dll = ReadyModule().dll;
        hooks.emplace_back(
            new ImportHook(dll, "user32.dll", "CreatePopupMenu", reinterpret_cast<void*>(CountCreatePopupMenu)));
        hooks.emplace_back(new ImportHook(dll, "user32.dll", "DestroyMenu", reinterpret_cast<void*>(CountDestroyMenu)));
        hooks.emplace_back(new ImportHook(dll, "user32.dll", "GetDC", reinterpret_cast<void*>(CountGetDC)));
        hooks.emplace_back(new ImportHook(dll, "user32.dll", "ReleaseDC", reinterpret_cast<void*>(CountReleaseDC)));
        hooks.emplace_back(
            new ImportHook(dll, "user32.dll", "DialogBoxParamA", reinterpret_cast<void*>(CountDialogBoxParamA)));
        hooks.emplace_back(new ImportHook(dll, "user32.dll", "EndDialog", reinterpret_cast<void*>(CountEndDialog)));
        for (const auto& hook : hooks)
            ASSERT_TRUE(hook->installed());
    }
    std::vector<std::unique_ptr<ImportHook>> hooks;
    ScreenPattern pattern;
    TestHost host;
};

TEST_F(Leaks, TenThousandMenusOpenedAndDismissed)
{
    HWND tool = host.CreateSizedTool(200, 150);
    AutoDismiss dismiss(tool);
    const double growth =
        GrowthKiB(200, kMenuCycles, [&](int) { SendMessageA(tool, WM_RBUTTONUP, 0, PackPoint(20, 20)); });
    EXPECT_EQ(200 + kMenuCycles, counted.menusCreated / 2);
    EXPECT_EQ(counted.menusCreated, counted.menusDestroyed);
    EXPECT_LT(growth, kFlatKiB);
}

TEST_F(Leaks, TenThousandAboutBoxesOpenedAndClosed)
{
    HWND tool = host.CreateSizedTool(200, 150);
    // A shown box is closed from its owner's WM_ENTERIDLE, once it waits for input.
    host.onEnterIdle = [](WPARAM kind, HWND box) {
        if (kind == MSGF_DIALOGBOX)
            PostMessageA(box, WM_COMMAND, IDOK, 0);
    };
    // Nine boxes in ten are closed by a call their own loop delivers before it first
    // shows them, as the menu soak ends its menus before they are drawn; Wine takes
    // some 14 ms to show and hide a box, which would make this soak a few minutes long.
    const auto closeBeforeShown = [] {
        if (HWND box = FindThreadDialog(false))
            PostMessageA(box, WM_COMMAND, IDOK, 0);
    };
    DWORD start = GetTickCount();
    const double growth = GrowthKiB(200, kBoxCycles, [&](int cycle) {
        if (cycle % 10 != 0)
            host.PostCall(closeBeforeShown);
        SendMessageA(tool, WM_COMMAND, 1048, 0);
    });
    std::printf("about boxes: %d in %lu ms\n", 200 + kBoxCycles, GetTickCount() - start);
    EXPECT_EQ(200 + kBoxCycles, counted.boxesOpened);
    EXPECT_EQ(counted.boxesOpened, counted.boxesEnded);
    EXPECT_EQ(nullptr, FindThreadDialog());
    EXPECT_LT(growth, kFlatKiB);
}

TEST_F(Leaks, ThousandPagesCreatedAndDestroyed)
{
    TestHost properties(20, 20, 500, 250);
    HWND tool = host.CreateSizedTool(200, 150);
    const double growth = GrowthKiB(50, 1000, [&](int) {
        HWND page = reinterpret_cast<HWND>(
            SendMessageA(tool, PNM_CREATEPAGE, reinterpret_cast<WPARAM>(properties.window()), MAKELPARAM(0, 0)));
        ASSERT_NE(nullptr, page);
        SendMessageA(page, WM_COMMAND, PNC_APPLY, 0);
        DestroyWindow(page);
    });
    EXPECT_EQ(nullptr, GetWindow(properties.window(), GW_CHILD));
    EXPECT_LT(growth, kFlatKiB);
}

TEST_F(Leaks, HundredThousandDragStepsHoldNoDeviceContext)
{
    HWND tool = host.CreateSizedTool(200, 150);
    const double growth = GrowthKiB(1, 1, [&](int round) {
        const int steps = round == 0 ? 2000 : 100000;
        SendMessageA(tool, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(3, 3));
        for (int i = 0; i < steps; ++i)
            SendMessageA(tool, WM_MOUSEMOVE, MK_LBUTTON,
                         ClientPointFromScreen(tool, 60 + (i * 37) % 300, 60 + (i * 53) % 200));
        SendMessageA(tool, WM_LBUTTONUP, 0, 0);
    });
    EXPECT_EQ(counted.dcsTaken, counted.dcsGiven) << "every device context given back";
    EXPECT_LE(counted.dcsTaken, 4) << "one window DC per drag, not one per step";
    EXPECT_LT(growth, kFlatKiB);
}

}  // namespace
