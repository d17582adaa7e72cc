// The right-click menu, its commands and the About box, driven as a user would.
#include <cstdint>
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "import_hook.h"
#include "host/real_input.h"
#include "modal_driver.h"
#include "support.h"

namespace {

class ContextMenu : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(nullptr, ReadyModule().dll); }

    // Opens the menu with a right-button release at the client point and lets `script` act on it.
    void OpenMenu(HWND tool, const std::function<void(HMENU)>& script, int x = 20, int y = 20)
    {
        ModalDriver driver(tool);
        driver.onMenu = script;
        SendMessageA(tool, WM_RBUTTONUP, 0, PackPoint(x, y));
        lastMenu = driver.menu();
    }

    // The command the menu posted, taken off the queue; 0 when none was posted.
    WPARAM TakePostedCommand(HWND tool)
    {
        MSG msg;
        if (!PeekMessageA(&msg, tool, WM_COMMAND, WM_COMMAND, PM_REMOVE))
            return 0;
        EXPECT_EQ(0, msg.lParam);
        DispatchMessageA(&msg);
        return msg.wParam;
    }

    std::vector<UINT> Messages() const
    {
        std::vector<UINT> seen;
        for (const Notification& n : host.notifications)
            seen.push_back(n.message);
        return seen;
    }

    ScreenPattern pattern;
    TestHost host;
    HMENU lastMenu = nullptr;
};

void ChooseFactor(HMENU, HWND tool, int factor)
{
    ModalDriver::PostKeys(tool, {VK_DOWN, VK_RIGHT});
    for (int i = 1; i < factor; ++i)
        ModalDriver::PostKeys(tool, {VK_DOWN});
    ModalDriver::PostKeys(tool, {VK_RETURN});
}

TEST_F(ContextMenu, StructureWithTheFactorRadioChecked)
{
    HWND tool = host.CreateSizedTool(200, 150);
    bool inspected = false;
    OpenMenu(tool, [&](HMENU menu) {
        inspected = true;
        ASSERT_EQ(5, GetMenuItemCount(menu));
        EXPECT_EQ("Zoom Factor", MenuLabel(menu, 0));
        HMENU zoom = GetSubMenu(menu, 0);
        ASSERT_NE(nullptr, zoom);
        ASSERT_EQ(16, GetMenuItemCount(zoom));
        for (int i = 0; i < 16; ++i) {
            EXPECT_EQ(std::to_string(i + 1), MenuLabel(zoom, i));
            EXPECT_EQ(601u + i, GetMenuItemID(zoom, i));
            MENUITEMINFOA item = {};
            item.cbSize = sizeof item;
            item.fMask = MIIM_FTYPE | MIIM_STATE;
            GetMenuItemInfoA(zoom, i, TRUE, &item);
            EXPECT_EQ(i == 3, (item.fState & MFS_CHECKED) != 0) << "item " << i + 1;
            if (i == 3) {
                EXPECT_TRUE(item.fType & MFT_RADIOCHECK);
            }
        }
        EXPECT_TRUE(GetMenuState(menu, 1, MF_BYPOSITION) & MF_SEPARATOR);
        EXPECT_EQ("About Glimber...", MenuLabel(menu, 2));
        EXPECT_EQ(1048u, GetMenuItemID(menu, 2));
        EXPECT_TRUE(GetMenuState(menu, 3, MF_BYPOSITION) & MF_SEPARATOR);
        EXPECT_EQ("Properties...", MenuLabel(menu, 4));
        EXPECT_EQ(117u, GetMenuItemID(menu, 4));
        EndMenu();
    });
    EXPECT_TRUE(inspected);
    EXPECT_FALSE(IsMenu(lastMenu)) << "destroyed when it closes";
    EXPECT_EQ(0u, TakePostedCommand(tool)) << "dismissing posts nothing";
    ASSERT_EQ(2u, host.notifications.size());
    EXPECT_EQ(1u, host.notifications[0].wParam);
    EXPECT_EQ(0u, host.notifications[1].wParam);
}

TEST_F(ContextMenu, FactorsOutsideTheMenuCheckNothing)
{
    for (int32_t factor : {0, 40}) {
        HWND tool = host.CreateSizedTool(200, 150, &factor);
        int checked = -1;
        OpenMenu(tool, [&](HMENU menu) {
            checked = 0;
            HMENU zoom = GetSubMenu(menu, 0);
            for (int i = 0; i < 16; ++i)
                checked += (GetMenuState(zoom, i, MF_BYPOSITION) & MF_CHECKED) ? 1 : 0;
            EndMenu();
        });
        EXPECT_EQ(0, checked) << "factor " << factor;
    }
}

TEST_F(ContextMenu, ChoosingAFactorNotifiesAfterTheMenuIsGone)
{
    HWND tool = host.CreateSizedTool(200, 150);
    bool menuAliveAtTrackingEnd = true;
    host.onNotification = [&](UINT message, WPARAM wParam) {
        if (message == PNM_TRACKING && wParam == 0)
            menuAliveAtTrackingEnd = IsMenu(lastMenu) != FALSE;
    };
    ModalDriver driver(tool);
    driver.onMenu = [&](HMENU menu) {
        lastMenu = menu;
        ChooseFactor(menu, tool, 8);
    };
    SendMessageA(tool, WM_RBUTTONUP, 0, PackPoint(20, 20));
    EXPECT_FALSE(menuAliveAtTrackingEnd);
    EXPECT_EQ(4, RecordOf(tool)->zoom) << "the choice is handled after the menu has returned";
    EXPECT_EQ(608u, TakePostedCommand(tool));
    EXPECT_EQ((std::vector<UINT>{PNM_TRACKING, PNM_TRACKING, PNM_STATECHANGED}), Messages());
    EXPECT_EQ(tool, reinterpret_cast<HWND>(host.notifications[2].wParam));
    EXPECT_EQ(8, host.notifications[2].zoomSeen) << "PNM_GETSTATE already reads the new factor";
    EXPECT_EQ(8, RecordOf(tool)->zoom);
    EXPECT_EQ(26, RecordOf(tool)->sourceWidth);
    EXPECT_EQ(19, RecordOf(tool)->sourceHeight);
    EXPECT_TRUE(GetUpdateRect(tool, nullptr, FALSE));
}

TEST_F(ContextMenu, ChoosingTheFactorInForceStillNotifiesAndRepaints)
{
    HWND tool = host.CreateSizedTool(200, 150);
    UpdateWindow(tool);
    OpenMenu(tool, [&](HMENU menu) { ChooseFactor(menu, tool, 4); });
    EXPECT_EQ(604u, TakePostedCommand(tool));
    EXPECT_EQ((std::vector<UINT>{PNM_TRACKING, PNM_TRACKING, PNM_STATECHANGED}), Messages());
    EXPECT_TRUE(GetUpdateRect(tool, nullptr, FALSE));
}

TEST_F(ContextMenu, SixteenOnATwoHundredByHundredFiftyTool)
{
    HWND tool = host.CreateSizedTool(200, 150);
    DragTo(tool, 150, 120);
    OpenMenu(tool, [&](HMENU menu) { ChooseFactor(menu, tool, 16); });
    EXPECT_EQ(616u, TakePostedCommand(tool));
    EXPECT_EQ(13, RecordOf(tool)->sourceWidth);
    EXPECT_EQ(10, RecordOf(tool)->sourceHeight);
    UpdateWindow(tool);
    EXPECT_EQ("", CompareViewWithPattern(tool));
}

TEST_F(ContextMenu, PropertiesAsksTheHost)
{
    HWND tool = host.CreateSizedTool(200, 150);
    OpenMenu(tool, [&](HMENU) { ModalDriver::PostKeys(tool, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}); });
    EXPECT_EQ(117u, TakePostedCommand(tool));
    EXPECT_EQ((std::vector<UINT>{PNM_TRACKING, PNM_TRACKING, PNM_SHOWPROPERTIES}), Messages());
    EXPECT_EQ(tool, reinterpret_cast<HWND>(host.notifications[2].wParam));
    EXPECT_EQ(4, RecordOf(tool)->zoom);
}

TEST_F(ContextMenu, OpensAtTheClickPointAlsoLeftOfAndAboveTheWindow)
{
    HWND tool = host.CreateSizedTool(200, 150);
    for (const POINT& click : {POINT{30, 40}, POINT{-30, -20}}) {
        RECT placed = {};
        OpenMenu(
            tool,
            [&](HMENU) {
                GetWindowRect(FindWindowA("#32768", nullptr), &placed);
                EndMenu();
            },
            click.x, click.y);
        POINT want = click;
        ClientToScreen(tool, &want);
        EXPECT_EQ(want.x, placed.left) << click.x << "," << click.y;
        EXPECT_EQ(want.y, placed.top) << click.x << "," << click.y;
    }
}

TEST_F(ContextMenu, RightReleaseDuringADragEndsTheDragFirst)
{
    HWND tool = host.CreateSizedTool(200, 150);
    SendMessageA(tool, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(5, 5));
    SendMessageA(tool, WM_MOUSEMOVE, MK_LBUTTON, ClientPointFromScreen(tool, 150, 150));
    const ToolInstance during = *RecordOf(tool);
    OpenMenu(tool, [&](HMENU) { EndMenu(); });
    EXPECT_EQ(0, RecordOf(tool)->tracking);
    EXPECT_EQ("", CompareFrame(during, false));
    std::vector<WPARAM> tracking;
    for (const Notification& n : host.notifications)
        tracking.push_back(n.wParam);
    EXPECT_EQ((std::vector<WPARAM>{1, 0, 1, 0}), tracking);
    // The button's release afterwards does nothing more.
    SendMessageA(tool, WM_LBUTTONUP, 0, PackPoint(5, 5));
    EXPECT_EQ(4u, host.notifications.size());
}

TEST_F(ContextMenu, AMenuOnAnotherToolEndsTheDragFirst)
{
    HWND dragged = host.CreateSizedTool(100, 75);
    HWND other = host.CreateSizedTool(100, 75, nullptr, 120, 10);
    SendMessageA(dragged, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(5, 5));
    SendMessageA(dragged, WM_MOUSEMOVE, MK_LBUTTON, ClientPointFromScreen(dragged, 150, 150));
    const ToolInstance during = *RecordOf(dragged);
    bool frameGoneWhenMenuOpened = false;
    OpenMenu(other, [&](HMENU) {
        frameGoneWhenMenuOpened = CompareFrame(during, false).empty();
        EndMenu();
    });
    EXPECT_TRUE(frameGoneWhenMenuOpened) << "nothing may cover a frame that is still to be erased";
    EXPECT_EQ(0, RecordOf(dragged)->tracking);
    EXPECT_EQ("", CompareFrame(during, false));
}

// ---- the About box ----

int lastEndDialogResult = -1;
BOOL WINAPI RecordingEndDialog(HWND dialog, INT_PTR result)
{
    lastEndDialogResult = static_cast<int>(result);
    return EndDialog(dialog, result);
}

std::string Text(HWND window)
{
    char text[128] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

class AboutBox : public ContextMenu {
protected:
    // Opens the box from the tool's menu and runs `script` on it until it closes.
    void RunBox(const std::function<void(HWND box, int tick)>& script)
    {
        tool = host.CreateSizedTool(200, 150);
        ModalDriver driver(tool);
        driver.onMenu = [&](HMENU) { ModalDriver::PostKeys(tool, {VK_DOWN, VK_DOWN, VK_RETURN}); };
        int tick = 0;
        driver.onDialog = [&](HWND box) { script(box, tick++); };
        SendMessageA(tool, WM_RBUTTONUP, 0, PackPoint(20, 20));
        EXPECT_EQ(1048u, TakePostedCommand(tool));  // runs the box until the script closes it
    }
    HWND tool = nullptr;
};

TEST_F(AboutBox, ShowsItsTextsAndEachWayOfClosingEndsWithOne)
{
    ImportHook hook(ReadyModule().dll, "user32.dll", "EndDialog", reinterpret_cast<void*>(RecordingEndDialog));
    ASSERT_TRUE(hook.installed());
    for (int way = 0; way < 3; ++way) {
        lastEndDialogResult = -1;
        std::string caption, name, notice;
        HWND owner = nullptr;
        bool closing = false;
        RunBox([&](HWND box, int tick) {
            if (tick == 0) {
                caption = Text(box);
                name = Text(GetDlgItem(box, 1050));
                notice = Text(GetDlgItem(box, 1051));
                owner = GetWindow(box, GW_OWNER);
            }
            // Once the box is active: a key sent before goes to the window that had the focus.
            if (!closing && GetActiveWindow() != box && tick == 200) {
                ADD_FAILURE() << "the box never became active; the active window is " << GetActiveWindow();
                EndDialog(box, 0);
            } else if (!closing && GetActiveWindow() == box) {
                closing = true;
                if (way == 0)
                    PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
                else
                    ModalDriver::PostKeys(box, {way == 1 ? WORD{VK_RETURN} : WORD{VK_ESCAPE}});
            }
        });
        SCOPED_TRACE("way " + std::to_string(way));
        EXPECT_EQ("About Glimber", caption);
        EXPECT_EQ("Dadidevozi Vuder", name);
        EXPECT_NE("", notice);
        EXPECT_EQ(host.window(), owner) << "owned by the tool's top-level window";
        EXPECT_EQ(1, lastEndDialogResult);
        EXPECT_EQ(nullptr, FindThreadDialog());
        DestroyWindow(tool);
    }
}

// Sends the double clicks named by `steps` ('R', 'L', 'M' for a move) and records the caption after each.
std::vector<std::string> Gesture(HWND box, const std::string& steps)
{
    std::vector<std::string> captions;
    for (char step : steps) {
        const UINT message = step == 'R' ? WM_RBUTTONDBLCLK : step == 'L' ? WM_LBUTTONDBLCLK : WM_MOUSEMOVE;
        SendMessageA(box, message, 0, PackPoint(10, 10));
        captions.push_back(Text(box));
    }
    return captions;
}

TEST_F(AboutBox, HiddenCaptionAfterRightLeftRightLeft)
{
    std::vector<std::string> captions;
    RunBox([&](HWND box, int tick) {
        if (tick == 0) {
            captions = Gesture(box, "RLRLRL");
            EndDialog(box, 1);
        }
    });
    ASSERT_EQ(6u, captions.size());
    EXPECT_EQ("About Glimber", captions[2]);
    EXPECT_EQ("Every pixel, bigger!", captions[3]);
    EXPECT_EQ("Every pixel, bigger!", captions[4]) << "stays until the box closes";
    EXPECT_EQ("Every pixel, bigger!", captions[5]);
}

TEST_F(AboutBox, WrongStartWrongButtonOrAMoveStartsAgain)
{
    // The count outlives each box, so every sequence starts with a move that resets it.
    const char* const sequences[] = {"MLRLR", "MRRLRL", "MRLLRL", "MRLMRL", "MRLRML"};
    for (const char* steps : sequences) {
        std::vector<std::string> captions;
        RunBox([&](HWND box, int tick) {
            if (tick == 0) {
                captions = Gesture(box, steps);
                EndDialog(box, 1);
            }
        });
        EXPECT_EQ("About Glimber", captions.back()) << steps;
        DestroyWindow(tool);
    }
    // After a reset the full sequence still works.
    std::vector<std::string> captions;
    RunBox([&](HWND box, int tick) {
        if (tick == 0) {
            captions = Gesture(box, "MRLRL");
            EndDialog(box, 1);
        }
    });
    EXPECT_EQ("Every pixel, bigger!", captions.back());
}

TEST_F(AboutBox, DoubleClicksOverTheNameAndNoticeLinesCount)
{
    for (int control : {1050, 1051}) {
        std::string caption;
        RunBox([&](HWND box, int tick) {
            RECT line;
            GetWindowRect(GetDlgItem(box, control), &line);
            const POINT point = {line.left + 4, (line.top + line.bottom) / 2};
            const DWORD rd = MOUSEEVENTF_RIGHTDOWN, ru = MOUSEEVENTF_RIGHTUP;
            const DWORD ld = MOUSEEVENTF_LEFTDOWN, lu = MOUSEEVENTF_LEFTUP;
            if (tick == 0)  // the move there resets the count; no movement after it
                SendMouse(point, {MOUSEEVENTF_MOVE});
            else if (tick == 3)
                SendMouse(point, {rd, ru, rd, ru, ld, lu, ld, lu, rd, ru, rd, ru, ld, lu, ld, lu});
            else if (tick == 8) {
                caption = Text(box);
                EndDialog(box, 1);
            }
        });
        EXPECT_EQ("Every pixel, bigger!", caption) << "double clicks over control " << control;
        DestroyWindow(tool);
    }
}

}  // namespace
