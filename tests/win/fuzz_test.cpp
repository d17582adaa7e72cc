// A host that does not follow the protocol: long seeded random message sequences
// to tools in every state. Replay one seed with GLIMBER_FUZZ_SEED=N.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <memory>
#include <string>

#include "modal_driver.h"
#include "support.h"

namespace {

const int kMessagesPerSeed = 2500;
const int kFirstSeed = 1;
const int kSeeds = 8;

struct FuzzScene {
    ScreenPattern pattern;
    TestHost host{560, 40, 440, 330};
    TestHost properties{560, 420, 440, 300};
    std::vector<HWND> tools;
    std::vector<std::unique_ptr<AutoDismiss>> dismissers;
    std::vector<HWND> pages;
    std::mt19937 random;
    std::vector<std::vector<BYTE>> buffers;  // what lParam points at: random bytes
    int sent = 0;

    explicit FuzzScene(unsigned seed) : random(seed)
    {
        // Tools in every state: the factors a saved state can hold, one never resized.
        const int32_t factors[] = {4, 0, -4, 1, 16, 40};
        for (int i = 0; i < 6; ++i) {
            const int x = 10 + (i % 3) * 140, y = 10 + (i / 3) * 150;
            HWND tool = i == 5 ? host.CreateTool(RECT{x, y, x + 130, y + 100}, &factors[i])
                               : host.CreateSizedTool(130, 100, &factors[i], x, y);
            tools.push_back(tool);
            dismissers.push_back(std::make_unique<AutoDismiss>(tool));
        }
        host.onEnterIdle = [](WPARAM kind, HWND dialog) {
            if (kind == MSGF_DIALOGBOX)
                PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        };
        for (int i = 0; i < 8; ++i) {
            std::vector<BYTE> bytes(512);
            for (BYTE& b : bytes)
                b = static_cast<BYTE>(random());
            buffers.push_back(bytes);
        }
        // One tool dragging, one with its page open, before the storm.
        SendMessageA(tools[0], WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(3, 3));
        SendMessageA(tools[0], WM_MOUSEMOVE, MK_LBUTTON, ClientPointFromScreen(tools[0], 200, 300));
        pages.push_back(reinterpret_cast<HWND>(SendMessageA(
            tools[1], PNM_CREATEPAGE, reinterpret_cast<WPARAM>(properties.window()), MAKELPARAM(0, 0))));
    }

    uint32_t Next() { return random(); }
    HWND AnyTool() { return tools[Next() % tools.size()]; }

    LPARAM AnyLParam()
    {
        switch (Next() % 3) {
        case 0:
            return 0;
        case 1:
            return Next() % 0x10000;  // small integers, also as points near the window
        default: {
            std::vector<BYTE>& bytes = buffers[Next() % buffers.size()];
            for (int i = 0; i < 8; ++i)
                bytes[Next() % bytes.size()] = static_cast<BYTE>(Next());
            return reinterpret_cast<LPARAM>(bytes.data());
        }
        }
    }

    WPARAM AnyWParam()
    {
        switch (Next() % 4) {
        case 0:
            return 0;
        case 1:
            return 4;
        case 2:
            return Next() % 64;
        default:
            return Next();
        }
    }

    WPARAM AnyCommand()
    {
        switch (Next() % 5) {
        case 0:
            return 1048;
        case 1:
            return 117;
        case 2:
            return Next();
        default:
            return 601 + Next() % 16;
        }
    }

    void Step()
    {
        static const UINT messages[] = {
            WM_SIZE, WM_PAINT, WM_MOUSEMOVE, WM_MOUSEMOVE, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONUP,
            WM_COMMAND, WM_CAPTURECHANGED, PNM_GETSTATE, PNM_SETSTATE, PNM_SETSTATE, PNM_CREATEPAGE, PNM_GETSIZE,
            PNM_FITSIZE1, PNM_FITSIZE2, PNM_FITSIZE3, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK,
            WM_TIMER, WM_SETFOCUS, WM_KILLFOCUS, WM_KEYDOWN, WM_CHAR, WM_SETCURSOR, WM_NCHITTEST, WM_MOUSEWHEEL,
            WM_CANCELMODE, WM_MOVE, WM_ERASEBKGND, WM_USER + 104, WM_USER + 112, WM_USER + 130, WM_USER + 135};
        const uint32_t action = Next() % 100;
        if (action < 3) {  // the host closes a page
            if (!pages.empty()) {
                DestroyWindow(pages.back());
                pages.pop_back();
            }
            return;
        }
        if (action < 6) {  // the host applies on a page
            if (!pages.empty())
                SendMessageA(pages[Next() % pages.size()], WM_COMMAND, PNC_APPLY, 0);
            return;
        }
        if (action < 8) {  // the host resizes a tool
            SetWindowPos(AnyTool(), nullptr, 0, 0, 20 + Next() % 120, 15 + Next() % 90,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            return;
        }
        HWND tool = AnyTool();
        const UINT message = messages[Next() % (sizeof messages / sizeof messages[0])];
        WPARAM wParam = message == WM_COMMAND ? AnyCommand() : AnyWParam();
        LPARAM lParam = AnyLParam();
        if (message == PNM_CREATEPAGE) {
            wParam = Next() % 2 ? reinterpret_cast<WPARAM>(properties.window()) : Next();
            lParam = static_cast<LPARAM>(Next() % 0x10000);
        }
        // Wine takes small integers for the 16-bit forms of live GDI handles; a live DC
        // (the module's own display DC, say) handed to the default erase would really be
        // painted over, whatever window received it. Garbage, not someone's DC, is the test.
        if (message == WM_ERASEBKGND && GetObjectType(reinterpret_cast<HGDIOBJ>(wParam)) != 0)
            wParam = 0;
        const LRESULT result = SendMessageA(tool, message, wParam, lParam);
        if (message == PNM_CREATEPAGE && result != 0)
            pages.push_back(reinterpret_cast<HWND>(result));
        // A menu or box that closed leaves its area to be repainted by the windows under it.
        // An inverted frame cannot survive another window painting under it (the reason a
        // menu or box ends any drag first), so let that repaint reach the screen before the
        // storm can draw a new frame there.
        if (message == WM_RBUTTONUP || message == WM_COMMAND)
            PumpFor(2);
        ++sent;
    }

    // Ends every drag and closes every page, as a host's tidy shutdown would.
    void Settle()
    {
        for (HWND tool : tools)
            SendMessageA(tool, WM_LBUTTONUP, 0, 0);
        for (HWND page : pages)
            if (IsWindow(page))
                DestroyWindow(page);
        pages.clear();
        ReleaseCapture();
    }
};

unsigned FirstSeed()
{
    const char* replay = std::getenv("GLIMBER_FUZZ_SEED");
    return replay != nullptr ? static_cast<unsigned>(std::strtoul(replay, nullptr, 10)) : kFirstSeed;
}

// Every screen pixel outside the two host windows shows the pattern: no frame was left behind.
std::string StrayScreenPixels(const FuzzScene& scene)
{
    RECT hostRect, propertiesRect;
    GetWindowRect(scene.host.window(), &hostRect);
    GetWindowRect(scene.properties.window(), &propertiesRect);
    const Pixels screen = CaptureScreen(RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
    int stray = 0;
    std::string first;
    for (int y = 0; y < screen.height; ++y)
        for (int x = 0; x < screen.width; ++x) {
            const POINT p = {x, y};
            if (PtInRect(&hostRect, p) || PtInRect(&propertiesRect, p))
                continue;
            if (screen.At(x, y) != ScreenPattern::At(x, y) && stray++ == 0) {
                char what[96];
                std::snprintf(what, sizeof what, "%d,%d (%06lx where the pattern is %06lx)", x, y, screen.At(x, y),
                              ScreenPattern::At(x, y));
                first = what;
            }
        }
    return stray == 0 ? "" : std::to_string(stray) + " stray pixels, first at " + first;
}

TEST(Fuzz, RandomMessagesNeverCrashLeaveNoFrameAndToolsStillMagnify)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    ASSERT_NE(nullptr, ReadyModule().dll);
    const unsigned first = FirstSeed();
    const int seeds = std::getenv("GLIMBER_FUZZ_SEED") != nullptr ? 1 : kSeeds;
    int total = 0;
    for (unsigned seed = first; seed < first + static_cast<unsigned>(seeds); ++seed) {
        SCOPED_TRACE("replay with GLIMBER_FUZZ_SEED=" + std::to_string(seed));
        FuzzScene scene(seed);
        for (int i = 0; i < kMessagesPerSeed; ++i) {
            scene.Step();
            if (i % 500 == 0)
                PumpFor(1);
        }
        scene.Settle();
        total += scene.sent;
        for (HWND tool : scene.tools)
            ASSERT_TRUE(IsWindow(tool));
        PumpFor(80);
        EXPECT_EQ("", StrayScreenPixels(scene));

        // Each tool, given a sound state again, magnifies exactly.
        for (HWND tool : scene.tools) {
            int32_t four = 4;
            SendMessageA(tool, PNM_SETSTATE, 4, reinterpret_cast<LPARAM>(&four));
            SetWindowPos(tool, nullptr, 0, 0, 100, 75, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            SetWindowPos(tool, nullptr, 0, 0, 120, 90, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            DragTo(tool, 150, 200);
            InvalidateRect(tool, nullptr, TRUE);
            UpdateWindow(tool);
            EXPECT_EQ("", CompareViewWithPattern(tool));
        }
        EXPECT_EQ("", StrayScreenPixels(scene));
    }
    std::printf("fuzz: %d messages over seeds %u to %u\n", total, first, first + seeds - 1);
}

}  // namespace
