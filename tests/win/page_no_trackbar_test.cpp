// A host that never registered the trackbar class gets no page, and the tool goes on working.
#include <cstdint>
#include <gtest/gtest.h>

#include "support.h"

namespace {

TEST(PageWithoutTrackbar, CreationAnswersZeroAndStateStillWorks)
{
    ASSERT_NE(nullptr, ReadyModule().dll);
    // Wine registers every common control whenever comctl32 is in the process;
    // take the trackbar away again, as in a host that never asked for it.
    WNDCLASSEXA trackbar = {};
    trackbar.cbSize = sizeof trackbar;
    if (GetClassInfoExA(nullptr, "msctls_trackbar32", &trackbar))
        UnregisterClassA("msctls_trackbar32", trackbar.hInstance);
    ASSERT_FALSE(GetClassInfoExA(nullptr, "msctls_trackbar32", &trackbar)) << "this process must not have the class";
    TestHost host;
    TestHost properties(20, 20, 500, 250);
    HWND tool = host.CreateSizedTool(100, 75);
    EXPECT_EQ(0, SendMessageA(tool, PNM_CREATEPAGE, reinterpret_cast<WPARAM>(properties.window()), MAKELPARAM(5, 5)));
    EXPECT_EQ(nullptr, GetWindow(properties.window(), GW_CHILD)) << "nothing left in the container";
    int32_t nine = 9;
    EXPECT_EQ(0, SendMessageA(tool, PNM_SETSTATE, 4, reinterpret_cast<LPARAM>(&nine)));
    EXPECT_EQ(9, RecordOf(tool)->zoom);
    EXPECT_EQ(0, SendMessageA(tool, PNM_CREATEPAGE, reinterpret_cast<WPARAM>(properties.window()), MAKELPARAM(5, 5)));
    DestroyWindow(tool);
}

}  // namespace
