// A host that acts inside everything the module sends it: seeded gestures on several
// tools (drags, right clicks dismissed or chosen from, the About box, the page), while
// the panel, at every notification and every message the module makes it receive,
// does a seeded random thing: nothing, destroy a tool (once or twice) or itself, take or
// drop the capture, send a tool a press, move, release, right click, cancel or private
// message, resize it, create another, or pump the queue. Measured through the module's
// import table: its heap blocks (a freed one is held back, filled, until the round ends,
// so a second free and a write after the free are seen), DCs and menus given back; and
// per window, each PNM_TRACKING 1 answered by exactly one 0. Replay one seed with
// GLIMBER_REACTION_SEED=N.
#include <cstdint>
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "case_watch.h"
#include "host/screen_pixels.h"
#include "import_hook.h"
#include "modal_driver.h"
#include "resources/resource.h"
#include "support.h"

namespace {

const int kGesturesPerSeed = 120;
// Ranges of seeds run side by side on displays of their own, like the message fuzzer's.
const unsigned kSeedsPerRange = 4;
const unsigned kRanges = 8;
const BYTE kFreedFill = 0xDD;

// What the module allocated, freed and gave back, through its import table.
struct ModuleWatch {
    std::map<void*, SIZE_T> live, heldBack;  // blocks the module holds, and those it freed
    int doubleFrees = 0, foreignFrees = 0, writesAfterFree = 0;
    LONG dcsTaken = 0, dcsGiven = 0, menusMade = 0, menusDestroyed = 0;
};
ModuleWatch watch;

LPVOID WINAPI WatchHeapAlloc(HANDLE heap, DWORD flags, SIZE_T size)
{
    void* block = HeapAlloc(heap, flags, size);
    if (block != nullptr)
        watch.live[block] = size;
    return block;
}

// Freed blocks are kept, filled, until the round ends: a second free of one is counted
// instead of corrupting the heap, and a write into one shows in its filling.
BOOL WINAPI WatchHeapFree(HANDLE heap, DWORD flags, LPVOID block)
{
    if (block == nullptr)
        return TRUE;
    if (watch.heldBack.count(block) != 0) {
        ++watch.doubleFrees;
        return TRUE;
    }
    const auto found = watch.live.find(block);
    if (found == watch.live.end()) {
        ++watch.foreignFrees;
        return HeapFree(heap, flags, block);
    }
    std::memset(block, kFreedFill, found->second);
    watch.heldBack[block] = found->second;
    watch.live.erase(found);
    return TRUE;
}

HDC WINAPI WatchGetDC(HWND window)
{
    ++watch.dcsTaken;
    return GetDC(window);
}
int WINAPI WatchReleaseDC(HWND window, HDC dc)
{
    ++watch.dcsGiven;
    return ReleaseDC(window, dc);
}
HMENU WINAPI WatchCreatePopupMenu()
{
    ++watch.menusMade;
    return CreatePopupMenu();
}
// Only a menu really destroyed counts: DestroyMenu(null) gives nothing back.
BOOL WINAPI WatchDestroyMenu(HMENU menu)
{
    const BOOL destroyed = DestroyMenu(menu);
    watch.menusDestroyed += destroyed ? 1 : 0;
    return destroyed;
}

// The watch on the module's imports while this lives.
class WatchedModule {
public:
    WatchedModule()
    {
        watch = ModuleWatch{};
        const struct {
            const char* dll;
            const char* function;
            void* replacement;
        } watched[] = {{"kernel32.dll", "HeapAlloc", reinterpret_cast<void*>(WatchHeapAlloc)},
                       {"kernel32.dll", "HeapFree", reinterpret_cast<void*>(WatchHeapFree)},
                       {"user32.dll", "GetDC", reinterpret_cast<void*>(WatchGetDC)},
                       {"user32.dll", "ReleaseDC", reinterpret_cast<void*>(WatchReleaseDC)},
                       {"user32.dll", "CreatePopupMenu", reinterpret_cast<void*>(WatchCreatePopupMenu)},
                       {"user32.dll", "DestroyMenu", reinterpret_cast<void*>(WatchDestroyMenu)}};
        for (const auto& entry : watched) {
            hooks_.push_back(
                std::make_unique<ImportHook>(ReadyModule().dll, entry.dll, entry.function, entry.replacement));
            if (!hooks_.back()->installed())
                ADD_FAILURE() << "the module's import of " << entry.function << " cannot be watched";
        }
    }

private:
    std::vector<std::unique_ptr<ImportHook>> hooks_;
};

// What the watch saw go wrong, once the held-back blocks are checked for writes and
// freed for real: "" when nothing did.
std::string WatchedFaults()
{
    for (const auto& [block, size] : watch.heldBack) {
        const auto* bytes = static_cast<const BYTE*>(block);
        for (SIZE_T i = 0; i < size; ++i)
            if (bytes[i] != kFreedFill) {
                ++watch.writesAfterFree;
                break;
            }
        HeapFree(GetProcessHeap(), 0, block);
    }
    watch.heldBack.clear();
    std::string found;
    if (watch.doubleFrees != 0)
        found += std::to_string(watch.doubleFrees) + " blocks freed twice; ";
    if (watch.writesAfterFree != 0)
        found += std::to_string(watch.writesAfterFree) + " blocks written after their free; ";
    if (watch.foreignFrees != 0)
        found += std::to_string(watch.foreignFrees) + " frees of blocks the module did not allocate; ";
    if (watch.dcsTaken != watch.dcsGiven)
        found += std::to_string(watch.dcsTaken) + " DCs taken, " + std::to_string(watch.dcsGiven) + " given back; ";
    if (watch.menusMade != watch.menusDestroyed)
        found +=
            std::to_string(watch.menusMade) + " menus made, " + std::to_string(watch.menusDestroyed) + " destroyed; ";
    watch = ModuleWatch{};
    return found;
}

BOOL CALLBACK FindShownMenu(HWND window, LPARAM found)
{
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, "#32768") != 0 || !IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
}

// Whether a popup menu of this thread is on the screen.
bool MenuShown()
{
    bool found = false;
    EnumThreadWindows(GetCurrentThreadId(), FindShownMenu, reinterpret_cast<LPARAM>(&found));
    return found;
}

enum Reaction {
    kNothing,
    kDestroyTool,
    kDestroyToolTwice,
    kDestroyPanel,
    kTakeCapture,
    kReleaseCapture,
    kCancelMode,
    kPress,
    kMove,
    kRelease,
    kRightClick,
    kPrivateMessage,
    kSetState,
    kResize,
    kCreateTool,
    kPump,
    kReactionCount
};

class ReactionScene {
public:
    explicit ReactionScene(unsigned seed) : random_(seed) { MakePanel(); }
    ~ReactionScene()
    {
        dismissers_.clear();
        host_.reset();
    }
    ReactionScene(const ReactionScene&) = delete;
    ReactionScene& operator=(const ReactionScene&) = delete;

    int reactions = 0;
    std::string faults;  // each pairing fault, as it happened

    // A gesture, then the screen under the menus and boxes it closed put back, as the
    // message fuzzer does, before the next gesture may draw a frame there.
    void Gesture()
    {
        DoGesture();
        // The hand lets go: a drag a reaction started goes no further than its gesture, and
        // its frame, rightly on the screen until then, is not taken for one left behind.
        for (HWND tool : LiveTools()) {
            const auto* record = reinterpret_cast<const ToolInstance*>(GetWindowLongPtrA(tool, 0));
            if (record != nullptr && record->tracking != 0)
                SendMessageA(tool, WM_LBUTTONUP, 0, 0);
        }
        SettlePopups();
    }

    void DoGesture()
    {
        if (!IsWindow(panel_) || LiveTools().empty())
            MakePanel();
        HWND tool = AnyTool();
        if (tool == nullptr)
            return;
        switch (Next() % 7) {
        case 0:
        case 1: {  // a drag
            SendMessageA(tool, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
            for (int i = 0; i < 3; ++i)
                SendMessageA(tool, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(Next() % 400, Next() % 300));
            SendMessageA(tool, WM_LBUTTONUP, 0, MAKELPARAM(Next() % 400, Next() % 300));
            break;
        }
        case 2:  // a right click, dismissed
            SendMessageA(tool, WM_RBUTTONUP, 0, MAKELPARAM(20, 20));
            break;
        case 3:  // a right click and a factor chosen: the choice arrives as a command
            SendMessageA(tool, WM_RBUTTONUP, 0, MAKELPARAM(20, 20));
            if (IsWindow(tool))
                SendMessageA(tool, WM_COMMAND, IDM_ZOOM1 + Next() % 16, 0);
            break;
        case 4:  // the About box, closed from the panel's WM_ENTERIDLE
            SendMessageA(tool, WM_COMMAND, IDM_ABOUT, 0);
            break;
        case 5:  // Properties... on the menu
            SendMessageA(tool, WM_COMMAND, IDM_PROPERTIES, 0);
            break;
        default: {  // the page opened, moved, applied and closed
            const auto page = reinterpret_cast<HWND>(
                SendMessageA(tool, PNM_CREATEPAGE, reinterpret_cast<WPARAM>(properties_.window()), 0));
            if (page != nullptr && IsWindow(page)) {
                SendDlgItemMessageA(page, IDC_ZOOMSLIDER, TBM_SETPOS, TRUE, 1 + Next() % 16);
                SendMessageA(page, WM_COMMAND, PNC_APPLY, 0);
            }
            if (page != nullptr && IsWindow(page))
                DestroyWindow(page);
            break;
        }
        }
    }

    // Ends the round: no drag, no capture; every window that got a 1 still owed a 0 is a fault.
    void Settle()
    {
        for (HWND tool : LiveTools())
            SendMessageA(tool, WM_LBUTTONUP, 0, 0);
        ReleaseCapture();
        PumpMessagesFor(0);
        for (const auto& [window, open] : openOnes_)
            if (open != 0 && IsWindow(window))
                faults += std::to_string(open) + " PNM_TRACKING 1 with no 0 at window " + Hex(window) + "; ";
        openOnes_.clear();
    }

    std::vector<HWND> LiveTools() const
    {
        std::vector<HWND> live;
        for (HWND tool : tools_)
            if (IsWindow(tool))
                live.push_back(tool);
        return live;
    }
    HWND panel() const { return panel_; }
    HWND properties() const { return properties_.window(); }

private:
    static std::string Hex(HWND window)
    {
        char text[24];
        std::snprintf(text, sizeof text, "%p", static_cast<void*>(window));
        return text;
    }

    uint32_t Next() { return random_(); }

    // Inside a notification the wait dispatches nothing: a menu's or box's loop further out
    // would lose the message it waits for. Not while a menu or box is still up over the area.
    void SettlePopups()
    {
        if (FindThreadDialog(false) != nullptr || MenuShown())
            return;
        std::optional<NoDispatchWhileWaiting> inside;
        if (depth_ > 0)
            inside.emplace();
        const std::string left = popups_.SettleClosed({panel_, properties_.window()});
        if (!left.empty())
            faults += "the pattern under a closed menu or box was not repainted: " + left + "; ";
    }

    HWND AnyTool()
    {
        const std::vector<HWND> live = LiveTools();
        return live.empty() ? nullptr : live[Next() % live.size()];
    }

    // A new panel with three tools; the old one, if any, goes.
    void MakePanel()
    {
        host_ = std::make_unique<TestHost>(560, 40, 440, 330);
        panel_ = host_->window();
        original_ =
            reinterpret_cast<WNDPROC>(SetWindowLongPtrA(panel_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PanelProc)));
        SetPropA(panel_, "ReactionScene", this);
        for (int i = 0; i < 3; ++i)
            AddTool();
    }

    void AddTool()
    {
        const int index = static_cast<int>(tools_.size() % 6);
        const int x = 10 + (index % 3) * 140, y = 10 + (index / 3) * 150;
        // Created and then sized, as a host does; a reaction inside its creation (to the
        // WM_PARENTNOTIFY) may well destroy the panel, and with it the new tool.
        const RECT creation = {x, y, x + 1, y + 1};
        HWND tool = host_->CreateTool(creation);
        if (tool == nullptr)
            return;
        SetWindowPos(tool, nullptr, x, y, 130, 100, SWP_NOZORDER | SWP_NOACTIVATE);
        tools_.push_back(tool);
        dismissers_.push_back(std::make_unique<AutoDismiss>(tool));
    }

    static LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* scene = static_cast<ReactionScene*>(GetPropA(window, "ReactionScene"));
        if (scene == nullptr)
            return DefWindowProcA(window, message, wParam, lParam);
        const WNDPROC original = scene->original_;
        if (message == WM_NCDESTROY)
            RemovePropA(window, "ReactionScene");
        switch (message) {
        case PNM_TRACKING:
            scene->CountTracking(window, wParam);
            scene->React();
            return 0;
        case PNM_STATECHANGED:
        case PNM_SHOWPROPERTIES:
        case WM_PARENTNOTIFY:
        case WM_CAPTURECHANGED:
            scene->React();
            break;
        case WM_ENTERIDLE:
            // A box owned by a tool waits: react, and have it closed whatever happened.
            if (wParam == MSGF_DIALOGBOX)
                PostMessageA(reinterpret_cast<HWND>(lParam), WM_COMMAND, IDOK, 0);
            scene->React();
            break;
        default:
            break;
        }
        return CallWindowProcA(original, window, message, wParam, lParam);
    }

    void CountTracking(HWND window, WPARAM value)
    {
        int& open = openOnes_[window];
        if (value == 1) {
            ++open;
        } else if (value == 0 && open > 0) {
            --open;
        } else {
            faults += "a PNM_TRACKING " + std::to_string(value) + " with no 1 open at window " + Hex(window) + "; ";
        }
    }

    // One seeded thing done inside whatever the module sent; nested ones two deep at most.
    void React()
    {
        ++reactions;
        if (depth_ >= 2)
            return;
        ++depth_;
        const auto reaction = static_cast<Reaction>(Next() % (kReactionCount + 6));  // nothing most often
        HWND tool = AnyTool();
        switch (reaction < kReactionCount ? reaction : kNothing) {
        case kDestroyTool:
            DestroyWindow(tool);
            break;
        case kDestroyToolTwice:
            DestroyWindow(tool);
            DestroyWindow(tool);
            break;
        case kDestroyPanel:
            if (Next() % 4 == 0)  // rarer: the round's tools go with it
                DestroyWindow(panel_);
            break;
        case kTakeCapture:
            SetCapture(IsWindow(panel_) ? panel_ : properties_.window());
            break;
        case kReleaseCapture:
            ReleaseCapture();
            break;
        case kCancelMode:
            SendMessageA(tool, WM_CANCELMODE, 0, 0);
            break;
        case kPress:
            SendMessageA(tool, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(Next() % 130, Next() % 100));
            break;
        case kMove:
            SendMessageA(tool, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(Next() % 400, Next() % 300));
            break;
        case kRelease:
            SendMessageA(tool, WM_LBUTTONUP, 0, 0);
            break;
        case kRightClick:  // a nested menu, ended by the tool's AutoDismiss
            SendMessageA(tool, WM_RBUTTONUP, 0, MAKELPARAM(20, 20));
            SettlePopups();  // the gesture may draw a frame where it was
            break;
        case kPrivateMessage: {
            void* address = nullptr;
            const UINT messages[] = {PNM_GETSTATE, PNM_GETSIZE, PNM_CREATEPAGE};
            const UINT message = messages[Next() % 3];
            const LRESULT page = SendMessageA(
                tool, message, message == PNM_CREATEPAGE ? reinterpret_cast<WPARAM>(properties_.window()) : 0,
                message == PNM_GETSTATE ? reinterpret_cast<LPARAM>(&address) : 0);
            if (message == PNM_CREATEPAGE && page != 0)
                DestroyWindow(reinterpret_cast<HWND>(page));
            break;
        }
        case kSetState: {
            const int32_t factor = static_cast<int32_t>(1 + Next() % 16);
            SendMessageA(tool, PNM_SETSTATE, GLIMBER_STATE_LENGTH, reinterpret_cast<LPARAM>(&factor));
            break;
        }
        case kResize:
            SetWindowPos(tool, nullptr, 0, 0, 20 + Next() % 120, 15 + Next() % 90,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            break;
        case kCreateTool:
            if (IsWindow(panel_) && LiveTools().size() < 6)
                AddTool();
            break;
        case kPump:
            // Not while a box is up: a host pumping there takes the message that would end
            // the box's own loop, which then waits for ever (a host's hang, not the module's).
            if (FindThreadDialog(false) == nullptr)
                PumpMessagesFor(0);
            break;
        default:
            break;
        }
        --depth_;
    }

    std::mt19937 random_;
    ClosedPopupWatch popups_;
    std::unique_ptr<TestHost> host_;
    TestHost properties_{560, 420, 440, 300};
    HWND panel_ = nullptr;
    WNDPROC original_ = nullptr;
    std::vector<HWND> tools_;
    std::vector<std::unique_ptr<AutoDismiss>> dismissers_;
    std::map<HWND, int> openOnes_;
    int depth_ = 0;
};

// The host's window for the cases below: what it does when a tool takes the mouse from it.
std::function<void()> onCaptureTaken;
WNDPROC hostProc;
LRESULT CALLBACK CaptureWatchingHost(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CAPTURECHANGED && onCaptureTaken)
        onCaptureTaken();
    return CallWindowProcA(hostProc, window, message, wParam, lParam);
}

// Each thing a host once did inside a notification that the module got wrong: a record
// freed twice or written after its free, a 1 with no 0 or with two, a drag without the
// mouse, a frame left on the screen, a menu never destroyed.
TEST(HostReactions, WhatAHostDoesInsideANotificationLeavesTheModuleSound)
{
    ASSERT_NE(nullptr, ReadyModule().dll);
    const WatchedModule watched;
    ASSERT_FALSE(HasFailure());
    ScreenPattern pattern;
    struct Case {
        const char* what;
        std::function<void(TestHost&, HWND tool, HWND other)> gesture;
        std::function<void(TestHost&, HWND tool, UINT message, WPARAM wParam)> reaction;
    };
    const auto drag = [](TestHost&, HWND tool, HWND) {
        SendMessageA(tool, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        if (IsWindow(tool)) {
            EXPECT_TRUE(GetCapture() == tool || RecordOf(tool)->tracking == 0) << "a drag only with the mouse";
        }
        SendMessageA(tool, WM_MOUSEMOVE, MK_LBUTTON, ClientPointFromScreen(tool, 200, 300));
        SendMessageA(tool, WM_LBUTTONUP, 0, 0);
    };
    const auto zero = [](UINT message, WPARAM wParam) { return message == PNM_TRACKING && wParam == 0; };
    const auto one = [](UINT message, WPARAM wParam) { return message == PNM_TRACKING && wParam == 1; };
    const Case cases[] = {
        {"the 0 of a dragged tool being destroyed destroys it again",
         [](TestHost&, HWND tool, HWND) {
             SendMessageA(tool, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
             SendMessageA(tool, WM_MOUSEMOVE, MK_LBUTTON, ClientPointFromScreen(tool, 200, 300));
             DestroyWindow(tool);
         },
         [zero](TestHost&, HWND tool, UINT message, WPARAM wParam) {
             if (zero(message, wParam))
                 DestroyWindow(tool);
         }},
        {"the release's 0 destroys the panel", drag,
         [zero](const TestHost& host, HWND, UINT message, WPARAM wParam) {
             if (zero(message, wParam))
                 DestroyWindow(host.window());
         }},
        {"the release's 0 drops the capture", drag,
         [zero](TestHost&, HWND, UINT message, WPARAM wParam) {
             if (zero(message, wParam))
                 ReleaseCapture();
         }},
        {"the press's 1 takes the capture, and takes it back when the tool takes it", drag,
         [one](const TestHost& host, HWND, UINT message, WPARAM wParam) {
             if (!one(message, wParam))
                 return;
             SetCapture(host.window());
             onCaptureTaken = [&host] { SetCapture(host.window()); };
         }},
        {"the press's 1 takes the capture, and destroys the tool when the tool takes it", drag,
         [one](const TestHost& host, HWND tool, UINT message, WPARAM wParam) {
             if (!one(message, wParam))
                 return;
             SetCapture(host.window());
             onCaptureTaken = [tool] {
                 onCaptureTaken = nullptr;
                 DestroyWindow(tool);
             };
         }},
        {"the press's 1 destroys the tool", drag,
         [one](TestHost&, HWND tool, UINT message, WPARAM wParam) {
             if (one(message, wParam))
                 DestroyWindow(tool);
         }},
        {"the right click's 1 destroys the tool",
         [](TestHost&, HWND tool, HWND) { SendMessageA(tool, WM_RBUTTONUP, 0, MAKELPARAM(20, 20)); },
         [one](TestHost&, HWND tool, UINT message, WPARAM wParam) {
             if (one(message, wParam))
                 DestroyWindow(tool);
         }},
        {"the panel is destroyed while the tool's About box waits for input (a box whose loop went on would hang here)",
         [](TestHost& host, HWND tool, HWND) {
             host.onEnterIdle = [&host](WPARAM, HWND) { DestroyWindow(host.window()); };
             SendMessageA(tool, WM_COMMAND, IDM_ABOUT, 0);
         },
         nullptr},
        {"a second tool's menu is asked for inside the first one's loop",
         [](TestHost&, HWND tool, HWND other) {
             ModalDriver driver(tool);
             driver.onMenu = [tool, other](HMENU) {
                 SendMessageA(other, WM_RBUTTONUP, 0, MAKELPARAM(20, 20));
                 EndMenu();
             };
             SendMessageA(tool, WM_RBUTTONUP, 0, MAKELPARAM(20, 20));
         },
         nullptr},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        NoteStep("host reaction case: %s", test.what);
        {
            TestHost host;
            HWND tool = host.CreateSizedTool(100, 75);
            HWND other = host.CreateSizedTool(100, 75, nullptr, 120, 10);
            ASSERT_TRUE(tool != nullptr && other != nullptr);
            const AutoDismiss dismissOther(other);
            hostProc = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrA(host.window(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CaptureWatchingHost)));
            int open = 0, unpaired = 0;
            host.onNotification = [&](UINT message, WPARAM wParam) {
                if (message == PNM_TRACKING)
                    open += wParam == 1 ? 1 : -1;
                unpaired += open < 0 ? 1 : 0;
                if (test.reaction)
                    test.reaction(host, tool, message, wParam);
            };
            test.gesture(host, tool, other);
            onCaptureTaken = nullptr;
            EXPECT_EQ(0, open) << "every PNM_TRACKING 1 answered by one 0";
            EXPECT_EQ(0, unpaired) << "no 0 without its 1";
            EXPECT_TRUE(GetCapture() == nullptr || GetCapture() == host.window()) << "no tool keeps the mouse";
            if (IsWindow(tool)) {
                EXPECT_EQ(0, RecordOf(tool)->tracking) << "no drag goes on";
            }
            EXPECT_EQ("", SettledStrayPixels({host.window()})) << "no frame left on the screen";
            ReleaseCapture();
        }
        PumpMessagesFor(0);
        EXPECT_EQ("", WatchedFaults());
    }
}

class Reactions : public testing::TestWithParam<unsigned> {};

TEST_P(Reactions, WhateverTheHostDoesInsideANotificationTheModuleStaysSound)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    ASSERT_NE(nullptr, ReadyModule().dll);
    SeedRange range;
    if (!SeedsOfRange(GetParam(), kSeedsPerRange, "GLIMBER_REACTION_SEED", range))
        GTEST_SKIP() << "replaying a seed another range holds";
    const unsigned first = range.first, seeds = range.count;
    const WatchedModule watched;
    ASSERT_FALSE(HasFailure());
    ScreenPattern pattern;
    int reactions = 0, faults = 0;
    for (unsigned seed = first; seed < first + seeds; ++seed) {
        SCOPED_TRACE("replay with GLIMBER_REACTION_SEED=" + std::to_string(seed));
        std::string found;
        {
            NoteStep("reaction seed %u: setting up its scene", seed);
            ReactionScene scene(seed);
            for (int i = 0; i < kGesturesPerSeed; ++i) {
                NoteStep("reaction seed %u, gesture %d of %d", seed, i, kGesturesPerSeed);
                scene.Gesture();
            }
            NoteStep("reaction seed %u: settling and checking", seed);
            scene.Settle();
            reactions += scene.reactions;
            found += scene.faults;
            const std::string stray = SettledStrayPixels({scene.panel(), scene.properties()});
            if (!stray.empty())
                found += "after the round: " + stray + "; ";
            // One record for each tool still standing, no more.
            if (watch.live.size() != scene.LiveTools().size())
                found += std::to_string(watch.live.size()) + " records held for " +
                         std::to_string(scene.LiveTools().size()) + " tools; ";
        }
        PumpMessagesFor(0);
        found += WatchedFaults();
        EXPECT_EQ("", found);
        faults += found.empty() ? 0 : 1;
    }
    std::printf("reactions: %d over seeds %u to %u, %d faults\n", reactions, first, first + seeds - 1, faults);
}

INSTANTIATE_TEST_SUITE_P(Seeds, Reactions, testing::Range(0u, kRanges),
                         [](const testing::TestParamInfo<unsigned>& range) {
                             const unsigned first = 1 + range.param * kSeedsPerRange;
                             return std::to_string(first) + "To" + std::to_string(first + kSeedsPerRange - 1);
                         });

}  // namespace
