// The tool window as a host and a user see it: creation, painting, dragging.
#include <cstdint>
#include <gtest/gtest.h>

#include <algorithm>

#include "core/view_geometry.h"
#include "import_hook.h"
#include "support.h"

namespace {

class ToolWindow : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(nullptr, ReadyModule().dll); }
    ScreenPattern pattern;
    TestHost host;
};

std::vector<WPARAM> TrackingValues(const TestHost& host)
{
    std::vector<WPARAM> values;
    for (const Notification& n : host.notifications)
        if (n.message == PNM_TRACKING)
            values.push_back(n.wParam);
    return values;
}

TEST_F(ToolWindow, CreationDefaultsAndSavedFactors)
{
    const RECT rect = {10, 20, 110, 95};
    HWND tool = host.CreateTool(rect);
    ASSERT_NE(nullptr, tool);
    const ToolInstance& record = *RecordOf(tool);
    EXPECT_EQ(4, record.zoom);
    EXPECT_EQ(tool, reinterpret_cast<HWND>(record.hwnd));
    EXPECT_EQ(0, record.tracking);
    EXPECT_EQ(100, record.centerX);
    EXPECT_EQ(100, record.centerY);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN) - 1, record.screenMaxX);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN) - 1, record.screenMaxY);
    EXPECT_EQ(nullptr, record.palette);
    // The size message of creation comes before the record is attached: no source yet.
    EXPECT_EQ(0, record.sourceWidth);
    EXPECT_EQ(0, record.sourceHeight);

    for (int32_t saved : {9, 0, 40, -4}) {
        HWND restored = host.CreateTool(rect, &saved);
        ASSERT_NE(nullptr, restored);
        EXPECT_EQ(saved, RecordOf(restored)->zoom);
    }
}

TEST_F(ToolWindow, ChildWindowPlacementClassAndStyles)
{
    const RECT rect = {10, 20, 110, 95};
    HWND tool = host.CreateTool(rect);
    ASSERT_NE(nullptr, tool);
    EXPECT_EQ(host.window(), GetParent(tool));
    RECT placed;
    GetWindowRect(tool, &placed);
    MapWindowPoints(nullptr, host.window(), reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(10, placed.left);
    EXPECT_EQ(20, placed.top);
    EXPECT_EQ(100, placed.right - placed.left);
    EXPECT_EQ(75, placed.bottom - placed.top);
    char className[64] = {};
    GetClassNameA(tool, className, sizeof className);
    EXPECT_STREQ("GlimberTool", className);
    EXPECT_EQ(0x54000000u, static_cast<DWORD>(GetWindowLongA(tool, GWL_STYLE)));
    EXPECT_EQ(0u, static_cast<DWORD>(GetWindowLongA(tool, GWL_EXSTYLE)));
    EXPECT_EQ(0, GetDlgCtrlID(tool));
    char title[8] = "x";
    EXPECT_EQ(0, GetWindowTextA(tool, title, sizeof title));
    EXPECT_EQ(GetModuleHandleA(nullptr), reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(tool, GWLP_HINSTANCE)));
}

TEST_F(ToolWindow, CreationFailuresReturnNullAndKeepNoRecord)
{
    const RECT rect = {10, 20, 110, 95};
    EXPECT_EQ(nullptr, ReadyModule().create(host.window(), nullptr, nullptr, 0, 0));
    HWND tool = host.CreateTool(rect);  // warms up whatever the first creation allocates
    DestroyWindow(tool);
    const size_t before = CountHeapBlocks();
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(nullptr, ReadyModule().create(host.window(), nullptr, nullptr, 0, 0));
        // A parent that is not a window: the window cannot be created.
        EXPECT_EQ(nullptr, ReadyModule().create(reinterpret_cast<HWND>(0x7FFF0), &rect, nullptr, 0, 0));
    }
    EXPECT_LE(CountHeapBlocks(), before + 5);
}

TEST_F(ToolWindow, SizeChangeComputesTheSource)
{
    HWND tool = host.CreateSizedTool(200, 150);
    EXPECT_EQ(51, RecordOf(tool)->sourceWidth);
    EXPECT_EQ(38, RecordOf(tool)->sourceHeight);
    int32_t one = 1;
    HWND unit = host.CreateSizedTool(200, 150, &one);
    EXPECT_EQ(201, RecordOf(unit)->sourceWidth);
    EXPECT_EQ(151, RecordOf(unit)->sourceHeight);
}

TEST_F(ToolWindow, NeverResizedToolPaintsOnlyItsBackground)
{
    const RECT rect = {10, 10, 210, 160};
    HWND tool = host.CreateTool(rect);
    InvalidateRect(tool, nullptr, TRUE);
    UpdateWindow(tool);
    const Pixels view = CaptureClient(tool);
    for (COLORREF pixel : view.data)
        ASSERT_EQ(kLightGrey, pixel);

    // A drag on it frames only the pixels around the centre, and paints nothing.
    SendMessageA(tool, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(1, 1));
    SendMessageA(tool, WM_MOUSEMOVE, MK_LBUTTON, ClientPointFromScreen(tool, 150, 120));
    EXPECT_EQ("", CompareFrame(*RecordOf(tool), true));
    for (COLORREF pixel : CaptureClient(tool).data)
        ASSERT_EQ(kLightGrey, pixel);
    SendMessageA(tool, WM_LBUTTONUP, 0, ClientPointFromScreen(tool, 150, 120));
    EXPECT_EQ("", CompareFrame(*RecordOf(tool), false));
}

TEST_F(ToolWindow, ViewIsTheSourceEnlargedPixelForPixelAtEveryFactor)
{
    for (int32_t zoom : {1, 4, 16}) {
        HWND tool = host.CreateSizedTool(200, 150, &zoom);
        DragTo(tool, 100, 100);
        InvalidateRect(tool, nullptr, TRUE);
        UpdateWindow(tool);
        EXPECT_EQ("", CompareViewWithPattern(tool)) << "zoom " << zoom;
        DestroyWindow(tool);
    }
}

TEST_F(ToolWindow, ViewIsClampedAtEachScreenEdge)
{
    const int right = GetSystemMetrics(SM_CXSCREEN) - 1;
    const int bottom = GetSystemMetrics(SM_CYSCREEN) - 1;
    const POINT corners[] = {{2, 3}, {right - 2, 3}, {2, bottom - 1}, {right, bottom}, {-40, 300}, {300, -40}};
    for (int32_t zoom : {1, 4}) {
        HWND tool = host.CreateSizedTool(200, 150, &zoom);
        for (const POINT& corner : corners) {
            DragTo(tool, corner.x, corner.y);
            const SourceRect source = ComputeSourceRect(*RecordOf(tool));
            EXPECT_GE(source.left, 0);
            EXPECT_GE(source.top, 0);
            EXPECT_LE(source.left + source.width - 1, right);
            EXPECT_LE(source.top + source.height - 1, bottom);
            InvalidateRect(tool, nullptr, TRUE);
            UpdateWindow(tool);
            EXPECT_EQ("", CompareViewWithPattern(tool)) << "zoom " << zoom << " at " << corner.x << "," << corner.y;
        }
        DestroyWindow(tool);
    }
}

TEST_F(ToolWindow, DragShowsExactlyTheFrameAndRestoresTheScreen)
{
    HWND tool = host.CreateSizedTool(200, 150);
    SendMessageA(tool, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(5, 5));
    EXPECT_EQ(tool, GetCapture());
    EXPECT_EQ(1, RecordOf(tool)->tracking);
    for (const POINT& p : {POINT{150, 120}, POINT{160, 125}, POINT{700, 600}, POINT{10, 700}}) {
        SendMessageA(tool, WM_MOUSEMOVE, MK_LBUTTON, ClientPointFromScreen(tool, p.x, p.y));
        EXPECT_EQ("", CompareFrame(*RecordOf(tool), true)) << p.x << "," << p.y;
        EXPECT_EQ("", CompareViewWithPattern(tool)) << "the view follows at once";
    }
    const ToolInstance during = *RecordOf(tool);
    SendMessageA(tool, WM_LBUTTONUP, 0, ClientPointFromScreen(tool, 10, 700));
    EXPECT_EQ(0, RecordOf(tool)->tracking);
    EXPECT_NE(tool, GetCapture());
    EXPECT_EQ("", CompareFrame(during, false));
    // Moves after the release change nothing.
    SendMessageA(tool, WM_MOUSEMOVE, 0, ClientPointFromScreen(tool, 300, 300));
    EXPECT_EQ(during.centerX, RecordOf(tool)->centerX);
    EXPECT_EQ("", CompareFrame(*RecordOf(tool), false));
}

// The function a call of GetWindowLongPtrA imports: the i686 headers map the name to
// GetWindowLongA, so the expansion of the macro names it, as the build compiled it.
#define GLIMBER_NAME_OF(function) GLIMBER_NAME_OF_EXPANDED(function)
#define GLIMBER_NAME_OF_EXPANDED(function) #function
constexpr const char* kWindowLongPtrImport = GLIMBER_NAME_OF(GetWindowLongPtrA);

// The hot path: past its first step a drag step moves the frame and stretches the view
// and asks the system for nothing else (no mode set again, no DC, rectangle or capture
// asked for again, no notification), whatever the factor.
TEST_F(ToolWindow, DragStepCallsOnlyTheFrameAndTheStretchAtEveryFactor)
{
    for (const int32_t zoom : {1, 4, 16}) {
        HWND tool = host.CreateSizedTool(200, 150, &zoom);
        SendMessageA(tool, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(5, 5));
        SendMessageA(tool, WM_MOUSEMOVE, MK_LBUTTON, ClientPointFromScreen(tool, 140, 110));
        std::string calls;
        {
            ImportCounter user(ReadyModule().dll, "user32.dll"), gdi(ReadyModule().dll, "gdi32.dll");
            ASSERT_TRUE(user.installed() && gdi.installed()) << "the module's import table cannot be counted";
            for (int i = 0; i < 10; ++i)
                SendMessageA(tool, WM_MOUSEMOVE, MK_LBUTTON, ClientPointFromScreen(tool, 150 + 7 * i, 120 + 5 * i));
            for (const auto* counter : {&user, &gdi})
                for (const ImportCounter::Count& count : counter->Called())
                    calls += count.function + " " + std::to_string(count.calls) + "; ";
        }
        EXPECT_EQ(std::string("ClientToScreen 10; ") + kWindowLongPtrImport + " 10; PatBlt 80; StretchBlt 10; ", calls)
            << "factor " << zoom;
        SendMessageA(tool, WM_LBUTTONUP, 0, 0);
        DestroyWindow(tool);
    }
}

TEST_F(ToolWindow, TrackingIsSentBeforeTheCaptureAndBeforeTheFrameIsErased)
{
    HWND tool = host.CreateSizedTool(200, 150);
    DragTo(tool, 150, 150);  // puts the frame at a known place
    host.notifications.clear();
    const ToolInstance& record = *RecordOf(tool);
    const SourceRect source = ComputeSourceRect(record);
    host.probe = POINT{source.left - 1, source.top - 1};  // the frame's top-left corner
    const COLORREF plain = ScreenPattern::At(host.probe.x, host.probe.y);

    SendMessageA(tool, WM_LBUTTONDOWN, MK_LBUTTON, ClientPointFromScreen(tool, 150, 150));
    SendMessageA(tool, WM_LBUTTONUP, 0, ClientPointFromScreen(tool, 150, 150));
    ASSERT_EQ(2u, host.notifications.size());
    EXPECT_EQ(1u, host.notifications[0].wParam);
    EXPECT_NE(tool, host.notifications[0].captureSeen) << "1 comes before the capture";
    EXPECT_EQ(plain, host.notifications[0].probeSeen) << "1 comes before the frame";
    EXPECT_EQ(0u, host.notifications[1].wParam);
    EXPECT_EQ(tool, host.notifications[1].captureSeen) << "0 comes before the release";
    EXPECT_EQ(Inverted(plain), host.notifications[1].probeSeen) << "0 comes before the frame is erased";
    EXPECT_EQ("", CompareFrame(record, false));
}

TEST_F(ToolWindow, DoubleClickStartsOneDrag)
{
    HWND tool = host.CreateSizedTool(200, 150);
    EXPECT_EQ(static_cast<DWORD>(CS_DBLCLKS), GetClassLongA(tool, GCL_STYLE));
    SendMessageA(tool, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(20, 20));
    SendMessageA(tool, WM_LBUTTONUP, 0, PackPoint(20, 20));
    SendMessageA(tool, WM_LBUTTONDBLCLK, MK_LBUTTON, PackPoint(20, 20));
    EXPECT_EQ(0, RecordOf(tool)->tracking);
    SendMessageA(tool, WM_LBUTTONUP, 0, PackPoint(20, 20));
    EXPECT_EQ((std::vector<WPARAM>{1, 0}), TrackingValues(host));
    EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(ToolWindow, DestroyedMidDragLeavesNoFrameAndReleasesTheCapture)
{
    HWND tool = host.CreateSizedTool(200, 150);
    SendMessageA(tool, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(5, 5));
    SendMessageA(tool, WM_MOUSEMOVE, MK_LBUTTON, ClientPointFromScreen(tool, 200, 160));
    const ToolInstance during = *RecordOf(tool);
    EXPECT_EQ("", CompareFrame(during, true));
    DestroyWindow(tool);
    EXPECT_EQ("", CompareFrame(during, false));
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ((std::vector<WPARAM>{1, 0}), TrackingValues(host));
}

TEST_F(ToolWindow, LosingTheCaptureEndsTheDragOnce)
{
    HWND tool = host.CreateSizedTool(200, 150);
    SendMessageA(tool, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(5, 5));
    SendMessageA(tool, WM_MOUSEMOVE, MK_LBUTTON, ClientPointFromScreen(tool, 200, 160));
    const ToolInstance during = *RecordOf(tool);
    SetCapture(host.window());
    EXPECT_EQ(0, RecordOf(tool)->tracking);
    EXPECT_EQ("", CompareFrame(during, false));
    EXPECT_EQ((std::vector<WPARAM>{1, 0}), TrackingValues(host));
    // Later input from the lost drag does nothing.
    SendMessageA(tool, WM_MOUSEMOVE, MK_LBUTTON, ClientPointFromScreen(tool, 300, 200));
    SendMessageA(tool, WM_LBUTTONUP, 0, ClientPointFromScreen(tool, 300, 200));
    EXPECT_EQ(during.centerX, RecordOf(tool)->centerX);
    EXPECT_EQ("", CompareFrame(during, false));
    EXPECT_EQ((std::vector<WPARAM>{1, 0}), TrackingValues(host));
    ReleaseCapture();
}

TEST_F(ToolWindow, SecondPressWithoutReleaseKeepsTheFrameInStep)
{
    HWND tool = host.CreateSizedTool(200, 150);
    SendMessageA(tool, WM_LBUTTONDOWN, MK_LBUTTON, ClientPointFromScreen(tool, 150, 150));
    const ToolInstance first = *RecordOf(tool);
    SendMessageA(tool, WM_LBUTTONDOWN, MK_LBUTTON, ClientPointFromScreen(tool, 250, 200));
    EXPECT_EQ("", CompareFrame(first, false));
    EXPECT_EQ("", CompareFrame(*RecordOf(tool), true));
    SendMessageA(tool, WM_LBUTTONUP, 0, ClientPointFromScreen(tool, 250, 200));
    EXPECT_EQ("", CompareFrame(*RecordOf(tool), false));
}

TEST_F(ToolWindow, SourceChangesDuringADragTakeTheFrameAlong)
{
    HWND tool = host.CreateSizedTool(200, 150);
    SendMessageA(tool, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(5, 5));
    SendMessageA(tool, WM_MOUSEMOVE, MK_LBUTTON, ClientPointFromScreen(tool, 200, 160));
    const ToolInstance before = *RecordOf(tool);
    // A host resizing the tool, and a factor chosen without the menu, while the button is held.
    SetWindowPos(tool, nullptr, 0, 0, 120, 90, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(31, RecordOf(tool)->sourceWidth);
    EXPECT_EQ("", CompareFrame(*RecordOf(tool), true));
    SendMessageA(tool, WM_COMMAND, 602, 0);
    EXPECT_EQ(61, RecordOf(tool)->sourceWidth);
    EXPECT_EQ("", CompareFrame(*RecordOf(tool), true));
    SendMessageA(tool, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ("", CompareFrame(*RecordOf(tool), false));
    EXPECT_EQ("", CompareFrame(before, false));
}

TEST_F(ToolWindow, NegativeFactorPaintsNothingAndLeavesNoMark)
{
    int32_t negative = -4;
    HWND tool = host.CreateSizedTool(200, 150, &negative);
    EXPECT_EQ(-49, RecordOf(tool)->sourceWidth);
    EXPECT_EQ(-36, RecordOf(tool)->sourceHeight);
    RECT hostArea;
    ASSERT_TRUE(GetWindowRect(host.window(), &hostArea));
    // The host's window reaches the screen as a whole, so once the tool's grey shows, all of it has.
    RECT toolArea;
    ASSERT_TRUE(GetWindowRect(tool, &toolArea));
    ASSERT_TRUE(PumpUntil([&] {
        const Pixels shown = CaptureScreen(toolArea);
        return std::all_of(shown.data.begin(), shown.data.end(), [](COLORREF pixel) { return pixel == kLightGrey; });
    })) << "the tool's background never reached the screen";
    const Pixels before = CaptureScreen(hostArea);
    SendMessageA(tool, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(5, 5));
    SendMessageA(tool, WM_MOUSEMOVE, MK_LBUTTON, ClientPointFromScreen(tool, 100, 100));
    SendMessageA(tool, WM_LBUTTONUP, 0, ClientPointFromScreen(tool, 100, 100));
    InvalidateRect(tool, nullptr, TRUE);
    UpdateWindow(tool);
    for (COLORREF pixel : CaptureClient(tool).data)
        ASSERT_EQ(kLightGrey, pixel);
    EXPECT_TRUE(PumpUntil([&] { return before.data == CaptureScreen(hostArea).data; })) << "the host's area changed";
    EXPECT_EQ("", CompareFrame(*RecordOf(tool), false));
}

TEST_F(ToolWindow, SizeMessageWithoutRecordAndDestroyFreeTheRecord)
{
    HWND tool = host.CreateSizedTool(200, 150);
    EXPECT_NE(nullptr, RecordOf(tool));
    DestroyWindow(tool);
    EXPECT_FALSE(IsWindow(tool));

    // Many tools created and destroyed leave the heap as it was.
    HWND warm = host.CreateSizedTool(100, 75);
    DestroyWindow(warm);
    const size_t before = CountHeapBlocks();
    for (int i = 0; i < 100; ++i)
        DestroyWindow(host.CreateSizedTool(100, 75));
    EXPECT_LE(CountHeapBlocks(), before + 5);
}

}  // namespace
