// The tool as a hand uses it: real button, pointer and key events through the
// system's input path, so hit testing, the capture, double-click detection and
// the menu's own input loop all take part.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/view_geometry.h"
#include "host/real_input.h"
#include "modal_driver.h"
#include "support.h"

namespace {

class RealInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(nullptr, ReadyModule().dll);
        ASSERT_NE(nullptr, host.window());
        tool = host.CreateSizedTool(200, 150);
        ASSERT_NE(nullptr, tool);
    }

    POINT OnTool(int x, int y) const
    {
        POINT point = {x, y};
        ClientToScreen(tool, &point);
        return point;
    }

    // Moves the pointer onto the tool and presses the left button there.
    void PressOnTool(POINT at)
    {
        ASSERT_TRUE(SendMouse(at, {MOUSEEVENTF_MOVE}) && SendMouse(at, {MOUSEEVENTF_LEFTDOWN}));
        ASSERT_TRUE(PumpInput());
        ASSERT_EQ(tool, GetCapture()) << "the press starts a drag that holds the mouse";
    }

    void Release(POINT at)
    {
        ASSERT_TRUE(SendMouse(at, {MOUSEEVENTF_LEFTUP}));
        ASSERT_TRUE(PumpInput());
    }

    // Mid-drag: the frame and the view are exact for the pointer's position.
    void ExpectDragAt(POINT at)
    {
        const ToolInstance& record = *RecordOf(tool);
        EXPECT_EQ(1, record.tracking);
        EXPECT_EQ(at.x, record.centerX);
        EXPECT_EQ(at.y, record.centerY);
        EXPECT_EQ("", CompareFrame(record, true)) << "frame at " << at.x << "," << at.y;
        EXPECT_EQ("", CompareViewWithPattern(tool)) << "view at " << at.x << "," << at.y;
    }

    // After the drag: nothing inverted anywhere, and a repaint shows the same area.
    void ExpectDragEndedCleanly()
    {
        EXPECT_EQ(0, RecordOf(tool)->tracking);
        EXPECT_EQ(nullptr, GetCapture());
        EXPECT_EQ("", SettledStrayPixels({host.window()}));
        InvalidateRect(tool, nullptr, TRUE);
        UpdateWindow(tool);
        EXPECT_EQ("", CompareViewWithPattern(tool)) << "the view keeps the area";
    }

    // No frame around the centre where the host's white background or the pattern should
    // show (the tool's own pixels there are a view of themselves, which nothing predicts).
    std::string FrameLeftAroundTheCentre() const
    {
        const ViewfinderStrips strips = ComputeViewfinderStrips(*RecordOf(tool));
        RECT toolArea, hostArea;
        GetWindowRect(tool, &toolArea);
        GetWindowRect(host.window(), &hostArea);
        std::string found;
        for (const Strip& strip : {strips.top, strips.left, strips.right, strips.bottom}) {
            const RECT area = StripArea(strip);
            const Pixels shown = CaptureScreen(area);
            for (int y = area.top; y < area.bottom; ++y)
                for (int x = area.left; x < area.right; ++x) {
                    const POINT p = {x, y};
                    if (PtInRect(&toolArea, p))
                        continue;
                    const COLORREF want = PtInRect(&hostArea, p) ? 0xFFFFFF : ScreenPattern::At(x, y);
                    if (shown.At(x, y) != want && found.empty())
                        found = "inverted at " + std::to_string(x) + "," + std::to_string(y);
                }
        }
        return found;
    }

    std::vector<WPARAM> TrackingValues() const
    {
        std::vector<WPARAM> values;
        for (const Notification& n : host.notifications)
            if (n.message == PNM_TRACKING)
                values.push_back(n.wParam);
        return values;
    }

    ScreenPattern pattern;
    TestHost host;
    HWND tool = nullptr;
};

TEST_F(RealInput, DragOutOfTheToolFollowsThePointerAcrossTheScreen)
{
    const POINT press = OnTool(100, 75);
    PressOnTool(press);
    // Left of and above the tool (negative client coordinates), then past its right and bottom.
    const POINT upLeft = {150, 100}, downRight = {900, 650};
    ASSERT_TRUE(MovePointer(press, upLeft, 40));
    ExpectDragAt(upLeft);
    ASSERT_TRUE(MovePointer(upLeft, downRight, 80));
    ExpectDragAt(downRight);
    Release(downRight);
    ExpectDragEndedCleanly();
    EXPECT_EQ((std::vector<WPARAM>{1, 0}), TrackingValues());
}

TEST_F(RealInput, DragIntoTheCornersHoldsTheSourceToTheScreen)
{
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    const POINT press = OnTool(50, 50), topLeft = {0, 0}, bottomRight = {width - 1, height - 1};
    PressOnTool(press);
    ASSERT_TRUE(MovePointer(press, topLeft, 30));
    ExpectDragAt(topLeft);
    SourceRect source = ComputeSourceRect(*RecordOf(tool));
    EXPECT_EQ(0, source.left);
    EXPECT_EQ(0, source.top);
    ASSERT_TRUE(MovePointer(topLeft, bottomRight, 60));
    ExpectDragAt(bottomRight);
    // As far as its size allows: an even-sized source stops one pixel short of the last column or row.
    source = ComputeSourceRect(*RecordOf(tool));
    EXPECT_GE(source.left + source.width, width - 1);
    EXPECT_LE(source.left + source.width, width);
    EXPECT_GE(source.top + source.height, height - 1);
    EXPECT_LE(source.top + source.height, height);
    Release(bottomRight);
    ExpectDragEndedCleanly();
}

TEST_F(RealInput, DoubleClickMakesOneDragAndTheSecondPressNone)
{
    // Near the tool's corner, so part of the frame would fall on the host's plain background.
    const POINT click = OnTool(2, 2);
    ASSERT_TRUE(SendMouse(click, {MOUSEEVENTF_MOVE}));
    ASSERT_TRUE(PumpInput());
    // One batch, so the second press lands within the double-click time however busy the machine is.
    ASSERT_TRUE(SendMouse(click, {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN}));
    ASSERT_TRUE(PumpInput());
    EXPECT_EQ(nullptr, GetCapture()) << "the second press starts no drag";
    EXPECT_EQ(0, RecordOf(tool)->tracking);
    EXPECT_EQ(click.x, RecordOf(tool)->centerX) << "the first press moved the centre";
    EXPECT_EQ("", FrameLeftAroundTheCentre());

    // While the second press is held the view does not follow the pointer.
    const POINT away = {200, 600};
    ASSERT_TRUE(MovePointer(click, away, 10));
    EXPECT_EQ(click.x, RecordOf(tool)->centerX);
    EXPECT_EQ(click.y, RecordOf(tool)->centerY);
    EXPECT_EQ("", StrayScreenPixels({host.window()}));
    EXPECT_EQ("", FrameLeftAroundTheCentre());
    Release(away);
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ("", SettledStrayPixels({host.window()}));
    EXPECT_EQ((std::vector<WPARAM>{1, 0}), TrackingValues());
}

TEST_F(RealInput, ReleaseDuringTheHostsOwnLoopInsideTheFirstNotificationStartsNoDrag)
{
    // The host runs a loop of its own when a drag begins (a prompt, a busy status), and the
    // hand lets go meanwhile: that release goes to whatever the loop gives it to.
    const POINT press = OnTool(5, 5);
    int loops = 0;
    host.onNotification = [&](UINT message, WPARAM wParam) {
        if (message != PNM_TRACKING || wParam != 1 || loops++ != 0)
            return;
        EXPECT_TRUE(SendMouse(press, {MOUSEEVENTF_LEFTUP}));
        EXPECT_TRUE(PumpInput());
    };
    ASSERT_TRUE(SendMouse(press, {MOUSEEVENTF_MOVE}) && SendMouse(press, {MOUSEEVENTF_LEFTDOWN}));
    ASSERT_TRUE(PumpInput());
    ASSERT_EQ(1, loops) << "the press reached the tool";
    EXPECT_EQ(nullptr, GetCapture()) << "no drag goes on with the button up";
    EXPECT_EQ(0, RecordOf(tool)->tracking);
    EXPECT_EQ("", SettledStrayPixels({host.window()}));
    EXPECT_EQ((std::vector<WPARAM>{1, 0}), TrackingValues()) << "the 1 is paired";

    // The next press drags as ever (away from the first, or it would be a double click).
    const POINT next = OnTool(60, 60), away = {300, 200};
    PressOnTool(next);
    ASSERT_TRUE(MovePointer(next, away, 10));
    ExpectDragAt(away);
    Release(away);
    ExpectDragEndedCleanly();
}

// Pixels of the `before` area that the screen now shows differently, outside `child`.
std::string ChangedOutside(HWND child, const Pixels& before)
{
    RECT skipped;
    GetWindowRect(child, &skipped);
    const Pixels now =
        CaptureScreen(RECT{before.left, before.top, before.left + before.width, before.top + before.height});
    int changed = 0;
    std::string first;
    for (int y = now.top; y < now.top + now.height; ++y)
        for (int x = now.left; x < now.left + now.width; ++x) {
            const POINT p = {x, y};
            if (PtInRect(&skipped, p) || now.At(x, y) == before.At(x, y))
                continue;
            if (changed++ == 0)
                first = std::to_string(x) + "," + std::to_string(y);
        }
    return changed == 0 ? "" : std::to_string(changed) + " pixels changed, first at " + first;
}

Pixels ClientOnScreen(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return CaptureScreen(client);
}

TEST(RealInputActivation, PressThatActivatesThePanelLeavesNoFrameOnIt)
{
    // A captioned panel and a captioned properties window, that one active: the press
    // on the tool activates the panel, whose caption is repainted in the same moment.
    ScreenPattern pattern;
    ASSERT_NE(nullptr, ReadyModule().dll);
    TestHost panel{500, 30, 480, 330, WS_OVERLAPPEDWINDOW};
    TestHost properties{480, 400, 520, 260, WS_OVERLAPPEDWINDOW};
    HWND tool = panel.CreateSizedTool(216, 160, nullptr, 240, 90);
    ASSERT_NE(nullptr, tool);
    ASSERT_TRUE(SetForegroundWindow(properties.window()));
    PumpFor(300);
    ASSERT_EQ(properties.window(), GetForegroundWindow()) << "the properties window is active before the press";
    const Pixels before = ClientOnScreen(panel.window());

    POINT press = {5, 5};  // near the corner: the frame falls on the panel's background
    ClientToScreen(tool, &press);
    const POINT away = {200, 440};
    ASSERT_TRUE(SendMouse(press, {MOUSEEVENTF_MOVE}) && SendMouse(press, {MOUSEEVENTF_LEFTDOWN}));
    ASSERT_TRUE(PumpInput());
    ASSERT_EQ(tool, GetCapture()) << "the press starts a drag";
    ASSERT_TRUE(MovePointer(press, away, 24));
    ASSERT_TRUE(SendMouse(away, {MOUSEEVENTF_LEFTUP}) && PumpInput());
    PumpFor(200);
    EXPECT_EQ(panel.window(), GetForegroundWindow());
    EXPECT_EQ("", ChangedOutside(tool, before)) << "the panel around the tool";
}

TEST_F(RealInput, RightClickThenKeyboardChoosesSixteen)
{
    ModalDriver driver(tool);
    const POINT corner = {GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1};
    bool menuShown = false;
    driver.onMenu = [&](HMENU) {
        menuShown = true;
        // Off the menu, so no entry is highlighted under the pointer; the choice is the keyboard's.
        ASSERT_TRUE(SendMouse(corner, {MOUSEEVENTF_MOVE}));
        EXPECT_TRUE(SendKeys({VK_DOWN, VK_RIGHT}));
        for (int factor = 1; factor < 16; ++factor)
            EXPECT_TRUE(SendKeys({VK_DOWN}));
        EXPECT_TRUE(SendKeys({VK_RETURN}));
    };
    const POINT click = OnTool(30, 30);
    ASSERT_TRUE(SendMouse(click, {MOUSEEVENTF_MOVE}));
    ASSERT_TRUE(SendMouse(click, {MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP}));
    ASSERT_TRUE(PumpInput());  // the menu runs its loop in here, and the choice arrives after it
    ASSERT_TRUE(PumpUntil([&] { return RecordOf(tool)->zoom == 16; })) << "menu shown: " << menuShown;
    ASSERT_EQ(3u, host.notifications.size());
    EXPECT_EQ(PNM_STATECHANGED, host.notifications[2].message);
    EXPECT_EQ(16, host.notifications[2].zoomSeen);
    EXPECT_EQ((std::vector<WPARAM>{1, 0}), TrackingValues());
    UpdateWindow(tool);
    EXPECT_EQ(13, RecordOf(tool)->sourceWidth);
    EXPECT_EQ(10, RecordOf(tool)->sourceHeight);
    EXPECT_EQ("", CompareViewWithPattern(tool));
}

TEST_F(RealInput, RightClickDuringADragThenEscapeLeavesNoFrame)
{
    ModalDriver driver(tool);
    bool menuShown = false;
    driver.onMenu = [&](HMENU) {
        menuShown = true;
        EXPECT_TRUE(SendKeys({VK_ESCAPE}));
    };
    const POINT press = OnTool(100, 75), out = {200, 150};
    PressOnTool(press);
    ASSERT_TRUE(MovePointer(press, out, 20));
    ExpectDragAt(out);
    ASSERT_TRUE(SendMouse(out, {MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP}));
    ASSERT_TRUE(PumpInput());
    EXPECT_TRUE(menuShown);
    Release(out);
    ExpectDragEndedCleanly();
    // The drag ended before the menu opened; the release after it ends nothing more.
    EXPECT_EQ((std::vector<WPARAM>{1, 0, 1, 0}), TrackingValues());

    // The next drag magnifies exactly again.
    const POINT again = {300, 200};
    PressOnTool(press);
    ASSERT_TRUE(MovePointer(press, again, 20));
    ExpectDragAt(again);
    Release(again);
    ExpectDragEndedCleanly();
}

}  // namespace
