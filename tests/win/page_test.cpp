// The zoom page in a host's properties window, in a process that has the
// common-controls trackbar class, as a host registers it.
#include <cstdint>
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "modal_driver.h"
#include "support.h"

namespace {

const int kSlider = 1047;
const int kAboutButton = 1048;
const int kGroup = 1052;

std::string Text(HWND window)
{
    char text[128] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Counts background erases of a window while it is alive.
class EraseCounter {
public:
    explicit EraseCounter(HWND window)
        : window_(window),
          original_(
              reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc))))
    {
        current = this;
    }
    ~EraseCounter()
    {
        if (IsWindow(window_))
            SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        current = nullptr;
    }
    int erases = 0;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_ERASEBKGND)
            ++current->erases;
        return CallWindowProcA(current->original_, window, message, wParam, lParam);
    }
    static EraseCounter* current;
    HWND window_;
    WNDPROC original_;
};
EraseCounter* EraseCounter::current = nullptr;

class Page : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
        ASSERT_TRUE(InitCommonControlsEx(&controls));
        ASSERT_NE(nullptr, ReadyModule().dll);
    }

    HWND CreatePage(HWND tool, int x = 7, int y = 9)
    {
        return reinterpret_cast<HWND>(
            SendMessageA(tool, PNM_CREATEPAGE, reinterpret_cast<WPARAM>(properties.window()), MAKELPARAM(x, y)));
    }
    static int SliderPosition(HWND page)
    {
        return static_cast<int>(SendDlgItemMessageA(page, kSlider, TBM_GETPOS, 0, 0));
    }
    static void MoveSlider(HWND page, int position) { SendDlgItemMessageA(page, kSlider, TBM_SETPOS, TRUE, position); }
    static void Apply(HWND page) { EXPECT_EQ(0, SendMessageA(page, WM_COMMAND, PNC_APPLY, 0)); }
    int StateChanges() const
    {
        int count = 0;
        for (const Notification& n : host.notifications)
            count += n.message == PNM_STATECHANGED ? 1 : 0;
        return count;
    }

    ScreenPattern pattern;
    TestHost host;
    TestHost properties{20, 20, 500, 250};
};

TEST_F(Page, ShowsTheFactorOnASliderWithItsTexts)
{
    HWND tool = host.CreateSizedTool(200, 150);
    HWND page = CreatePage(tool, 7, 9);
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(properties.window(), GetParent(page));
    const LONG style = GetWindowLongA(page, GWL_STYLE);
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_FALSE(style & (WS_BORDER | WS_CAPTION | WS_THICKFRAME));
    RECT placed;
    GetWindowRect(page, &placed);
    MapWindowPoints(nullptr, properties.window(), reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(7, placed.left);
    EXPECT_EQ(9, placed.top);
    EXPECT_EQ(nullptr, GetWindow(page, GW_HWNDPREV)) << "on top of its siblings";

    HWND slider = GetDlgItem(page, kSlider);
    EXPECT_EQ(1, SendMessageA(slider, TBM_GETRANGEMIN, 0, 0));
    EXPECT_EQ(16, SendMessageA(slider, TBM_GETRANGEMAX, 0, 0));
    EXPECT_EQ(4, SliderPosition(page));
    EXPECT_EQ(16, SendMessageA(slider, TBM_GETNUMTICS, 0, 0)) << "a tick at every value";
    EXPECT_EQ("Zoom Factor", Text(GetDlgItem(page, kGroup)));
    EXPECT_EQ("About Glimber...", Text(GetDlgItem(page, kAboutButton)));
    EXPECT_TRUE(host.notifications.empty());
}

TEST_F(Page, ApplyCommitsAChangedSliderOnceAndRepaintsWithoutErasing)
{
    HWND tool = host.CreateSizedTool(200, 150);
    DragTo(tool, 150, 400);  // clear of the properties window
    host.notifications.clear();
    HWND page = CreatePage(tool);
    MoveSlider(page, 9);
    EXPECT_EQ(4, RecordOf(tool)->zoom) << "moving the slider changes nothing yet";
    UpdateWindow(tool);
    EraseCounter counter(tool);
    Apply(page);
    EXPECT_EQ(9, RecordOf(tool)->zoom);
    EXPECT_EQ(1, StateChanges());
    EXPECT_EQ(9, host.notifications.back().zoomSeen);
    EXPECT_EQ(tool, reinterpret_cast<HWND>(host.notifications.back().wParam));
    EXPECT_EQ(23, RecordOf(tool)->sourceWidth);
    EXPECT_EQ(17, RecordOf(tool)->sourceHeight);
    EXPECT_TRUE(GetUpdateRect(tool, nullptr, FALSE));
    UpdateWindow(tool);
    EXPECT_EQ(0, counter.erases);
    EXPECT_EQ("", CompareViewWithPattern(tool));

    Apply(page);
    EXPECT_EQ(1, StateChanges()) << "an unchanged slider sends nothing";
    EXPECT_FALSE(GetUpdateRect(tool, nullptr, FALSE));
}

TEST_F(Page, RestoredStateMovesTheSliderOfTheEditedToolOnly)
{
    HWND edited = host.CreateSizedTool(100, 75);
    HWND other = host.CreateSizedTool(100, 75, nullptr, 120, 10);
    HWND page = CreatePage(edited);
    int32_t twelve = 12;
    SendMessageA(edited, PNM_SETSTATE, 4, reinterpret_cast<LPARAM>(&twelve));
    EXPECT_EQ(12, SliderPosition(page));
    int32_t three = 3;
    SendMessageA(other, PNM_SETSTATE, 4, reinterpret_cast<LPARAM>(&three));
    EXPECT_EQ(12, SliderPosition(page));
    // A rejected blob still brings the slider back to the factor.
    MoveSlider(page, 5);
    SendMessageA(edited, PNM_SETSTATE, 8, reinterpret_cast<LPARAM>(&three));
    EXPECT_EQ(12, SliderPosition(page));
    EXPECT_EQ(0, StateChanges());
}

TEST_F(Page, FactorsOutsideTheRangeShowAtTheNearerEndAndApplyThere)
{
    for (int32_t factor : {0, 40}) {
        host.notifications.clear();
        HWND tool = host.CreateSizedTool(200, 150, &factor);
        HWND page = CreatePage(tool);
        const int shown = factor == 0 ? 1 : 16;
        EXPECT_EQ(shown, SliderPosition(page));
        Apply(page);
        EXPECT_EQ(shown, RecordOf(tool)->zoom);
        EXPECT_EQ(1, StateChanges());
        DestroyWindow(page);
        DestroyWindow(tool);
    }
}

TEST_F(Page, DestroyingAnyPageStopsTheSliderSynchronisation)
{
    HWND tool = host.CreateSizedTool(100, 75);
    HWND first = CreatePage(tool);
    HWND second = CreatePage(tool, 7, 120);
    ASSERT_NE(nullptr, second);
    DestroyWindow(first);
    int32_t six = 6;
    SendMessageA(tool, PNM_SETSTATE, 4, reinterpret_cast<LPARAM>(&six));
    EXPECT_EQ(4, SliderPosition(second));
    EXPECT_EQ(6, RecordOf(tool)->zoom);
}

TEST_F(Page, ApplyAfterItsToolIsDestroyedDoesNothing)
{
    HWND tool = host.CreateSizedTool(100, 75);
    HWND page = CreatePage(tool);
    DestroyWindow(tool);
    // Fill the freed memory with new records, as a host adding tools would.
    for (int i = 0; i < 20; ++i)
        host.CreateSizedTool(40, 30, nullptr, 150, 10);
    const std::vector<Notification> before = host.notifications;
    MoveSlider(page, 11);
    Apply(page);
    EXPECT_EQ(before.size(), host.notifications.size());
    int32_t seven = 7;
    HWND another = host.CreateSizedTool(100, 75);
    SendMessageA(another, PNM_SETSTATE, 4, reinterpret_cast<LPARAM>(&seven));
    EXPECT_EQ(11, SliderPosition(page));
}

TEST_F(Page, AboutButtonOpensTheSameBoxOwnedByThePage)
{
    HWND tool = host.CreateSizedTool(100, 75);
    HWND page = CreatePage(tool);
    ModalDriver driver(properties.window());
    std::string caption, name;
    HWND owner = nullptr;
    driver.onDialog = [&](HWND box) {
        caption = Text(box);
        name = Text(GetDlgItem(box, 1050));
        owner = GetWindow(box, GW_OWNER);
        EndDialog(box, 1);
    };
    SendMessageA(GetDlgItem(page, kAboutButton), BM_CLICK, 0, 0);
    EXPECT_EQ("About Glimber", caption);
    EXPECT_EQ("Dadidevozi Vuder", name);
    EXPECT_EQ(GetAncestor(page, GA_ROOT), owner);
    EXPECT_TRUE(host.notifications.empty());
}

}  // namespace
