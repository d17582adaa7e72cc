// The host's private messages: state, fixed size and size fitting.
#include <cstdint>
#include <gtest/gtest.h>

#include <cstring>

#include "support.h"

namespace {

class Protocol : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(nullptr, ReadyModule().dll); }
    ScreenPattern pattern;
    TestHost host;
};

bool HasPendingPaint(HWND window)
{
    return GetUpdateRect(window, nullptr, FALSE) != FALSE;
}

TEST_F(Protocol, GetStatePointsAtTheFourBytesOfTheFactor)
{
    int32_t seven = 7;
    HWND tool = host.CreateSizedTool(200, 150, &seven);
    void* slot = nullptr;
    ASSERT_EQ(4, SendMessageA(tool, PNM_GETSTATE, 0, reinterpret_cast<LPARAM>(&slot)));
    ASSERT_NE(nullptr, slot);
    EXPECT_EQ(static_cast<void*>(RecordOf(tool)), slot) << "the record's address is the blob's";
    const unsigned char want[4] = {7, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(want, slot, 4));
    // Without a slot, or with a small integer where the slot's address belongs, the
    // answer is the same and nothing is written.
    EXPECT_EQ(4, SendMessageA(tool, PNM_GETSTATE, 0, 0));
    EXPECT_EQ(4, SendMessageA(tool, PNM_GETSTATE, 0, 8));
    EXPECT_EQ(4, SendMessageA(tool, PNM_GETSTATE, 0, 0xFFFF));
}

TEST_F(Protocol, SetStateTakesExactlyFourBytes)
{
    HWND tool = host.CreateSizedTool(200, 150);
    const int32_t nine[2] = {9, 9};
    EXPECT_EQ(0, SendMessageA(tool, PNM_SETSTATE, 8, reinterpret_cast<LPARAM>(nine)));
    EXPECT_EQ(4, RecordOf(tool)->zoom);
    EXPECT_EQ(0, SendMessageA(tool, PNM_SETSTATE, 3, reinterpret_cast<LPARAM>(nine)));
    EXPECT_EQ(4, RecordOf(tool)->zoom);
    EXPECT_EQ(0, SendMessageA(tool, PNM_SETSTATE, 4, 0));
    EXPECT_EQ(0, SendMessageA(tool, PNM_SETSTATE, 4, 12));
    EXPECT_EQ(4, RecordOf(tool)->zoom);
    EXPECT_EQ(0, SendMessageA(tool, PNM_SETSTATE, 4, reinterpret_cast<LPARAM>(nine)));
    EXPECT_EQ(9, RecordOf(tool)->zoom);
    // Values from a host are not limited.
    const int32_t odd[] = {0, 40, -4, INT32_MAX};
    for (int32_t value : odd) {
        SendMessageA(tool, PNM_SETSTATE, 4, reinterpret_cast<LPARAM>(&value));
        EXPECT_EQ(value, RecordOf(tool)->zoom);
    }
    EXPECT_TRUE(host.notifications.empty()) << "restoring a state notifies nobody";
}

TEST_F(Protocol, SetStateNeitherRecomputesNorRepaints)
{
    HWND tool = host.CreateSizedTool(200, 150);
    DragTo(tool, 120, 100);
    ASSERT_EQ("", CompareViewWithPattern(tool));
    for (int32_t factor : {2, 8}) {
        UpdateWindow(tool);
        SendMessageA(tool, PNM_SETSTATE, 4, reinterpret_cast<LPARAM>(&factor));
        EXPECT_EQ(51, RecordOf(tool)->sourceWidth);
        EXPECT_EQ(38, RecordOf(tool)->sourceHeight);
        EXPECT_FALSE(HasPendingPaint(tool));
        // The next paint stretches the old 51 x 38 source by the new factor:
        // 102 x 76 with background around it, or 408 x 304 clipped to the window.
        InvalidateRect(tool, nullptr, TRUE);
        UpdateWindow(tool);
        EXPECT_EQ("", CompareViewWithPattern(tool)) << "factor " << factor;
    }
    const Pixels view = CaptureClient(tool);
    EXPECT_NE(kLightGrey, view.At(199, 149)) << "at 8 the corner is still the source";
}

TEST_F(Protocol, FixedSizeWhateverTheArguments)
{
    HWND tool = host.CreateSizedTool(200, 150);
    EXPECT_EQ(0x001E0028, SendMessageA(tool, PNM_GETSIZE, 0, 0));
    EXPECT_EQ(0x001E0028, SendMessageA(tool, PNM_GETSIZE, 123, 456));
    const RECT rect = {0, 0, 50, 50};
    HWND unsized = host.CreateTool(rect);
    EXPECT_EQ(0x001E0028, SendMessageA(unsized, PNM_GETSIZE, 0, 0));
}

TEST_F(Protocol, ThreeFitMessagesGiveTheSameAnswers)
{
    int32_t zoom16 = 16;
    HWND tool = host.CreateSizedTool(200, 150, &zoom16);
    struct Case {
        FitRequest request;
        uint32_t packed;
    };
    const int32_t open = 1 << 30;
    const Case cases[] = {
        {{0, 0, open, open, 1, 30}, PackPanelSize(39, 30)},   {{40, 30, open, open, 1, 30}, 0x001E0028},
        {{0, 0, open, open, 0, 40}, PackPanelSize(40, 30)},   {{0, 0, open, open, 1, 100}, PackPanelSize(133, 100)},
        {{0, 0, open, open, 1, 60}, PackPanelSize(79, 60)},   {{0, 0, open, open, 0, 200}, PackPanelSize(200, 150)},
        {{0, 0, 320, open, 1, 300}, PackPanelSize(320, 240)}, {{0, 0, open, 100, 0, 400}, PackPanelSize(133, 100)},
        {{40, 30, open, open, 0, 50}, PackPanelSize(50, 37)},
    };
    for (const Case& c : cases)
        for (UINT message : {PNM_FITSIZE1, PNM_FITSIZE2, PNM_FITSIZE3})
            EXPECT_EQ(c.packed,
                      static_cast<uint32_t>(SendMessageA(tool, message, 0, reinterpret_cast<LPARAM>(&c.request))))
                << "message " << message << " given " << c.request.given;
    for (UINT message : {PNM_FITSIZE1, PNM_FITSIZE2, PNM_FITSIZE3}) {
        EXPECT_EQ(0, SendMessageA(tool, message, 0, 0)) << "no request, no answer";
        EXPECT_EQ(0, SendMessageA(tool, message, 0, 100)) << "a small integer is no request either";
    }
}

}  // namespace
