// A DPI-unaware host on a display the system scales (125%, 150%, 200%): the host is
// given logical coordinates while the screen keeps its own pixels. Dragged with real
// input to points across the whole screen, the frame must stand around the screen
// pixel under the pointer and the view must show the screen around it at the factor.
// Run once per scale by tools/test-scaled.sh, on a Wine prefix set to that scale.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "core/view_geometry.h"
#include "host/real_input.h"
#include "support.h"

namespace {

// The thread's DPI awareness while this lives: the test reads the screen and moves the
// pointer in the screen's own pixels, and makes the host and its tool DPI-unaware.
class Awareness {
public:
    explicit Awareness(bool perMonitor)
    {
        using SetProc = HANDLE(WINAPI*)(HANDLE);
        static const auto set = reinterpret_cast<SetProc>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetThreadDpiAwarenessContext")));
        set_ = set;
        // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE and DPI_AWARENESS_CONTEXT_UNAWARE.
        const HANDLE wanted = reinterpret_cast<HANDLE>(perMonitor ? -3 : -1);
        previous_ = set_ != nullptr ? set_(wanted) : nullptr;
    }
    ~Awareness()
    {
        if (previous_ != nullptr)
            set_(previous_);
    }
    Awareness(const Awareness&) = delete;
    Awareness& operator=(const Awareness&) = delete;
    bool held() const { return previous_ != nullptr; }

private:
    HANDLE(WINAPI* set_)(HANDLE) = nullptr;
    HANDLE previous_ = nullptr;
};

// Where a pattern pixel stands on the screen, from its colour; false for any other colour.
bool PatternPoint(COLORREF colour, POINT& at)
{
    if ((colour & 0xF) != 8)
        return false;
    const int high = static_cast<int>((colour & 0xFF) >> 4);
    at.x = static_cast<LONG>(((colour >> 16) & 0xFF) | ((high & 3) << 8));
    at.y = static_cast<LONG>(((colour >> 8) & 0xFF) | ((high >> 2) << 8));
    return true;
}

// The view against the screen it enlarges: each view pixel shows the screen pixel that a
// nearest-pixel stretch of the source onto the view puts there, or its neighbour.
std::string CompareScaledView(HWND tool, int dpi)
{
    const Awareness unaware(false);  // the view's own pixels
    const ToolInstance& record = *RecordOf(tool);
    const SourceRect source = ComputeSourceRect(record);
    const ViewSize destination = ComputeDestinationSize(record, dpi);
    const Pixels view = CaptureClient(tool);
    int wrong = 0;
    std::string first;
    for (int y = 0; y < view.height; ++y)
        for (int x = 0; x < view.width; ++x) {
            const long wantX = source.left + (2L * x + 1) * source.width / (2L * destination.width);
            const long wantY = source.top + (2L * y + 1) * source.height / (2L * destination.height);
            POINT got = {-1, -1};
            if (PatternPoint(view.At(x, y), got) && std::labs(got.x - wantX) <= 1 && std::labs(got.y - wantY) <= 1)
                continue;
            if (wrong++ == 0)
                first = "view " + std::to_string(x) + "," + std::to_string(y) + " shows " + std::to_string(got.x) +
                        "," + std::to_string(got.y) + " where the screen's " + std::to_string(wantX) + "," +
                        std::to_string(wantY) + " belongs";
        }
    return wrong == 0 ? "" : std::to_string(wrong) + " view pixels wrong, first " + first;
}

// Stray pixels outside `kept` (a rectangle in screen pixels): the unaware host's window,
// whose rectangle the system gives in its own pixels only.
std::string StrayOutside(const RECT& kept)
{
    const LONG right = GetSystemMetrics(SM_CXSCREEN), bottom = GetSystemMetrics(SM_CYSCREEN);
    const RECT bands[] = {{0, 0, right, kept.top},
                          {0, kept.bottom, right, bottom},
                          {0, kept.top, kept.left, kept.bottom},
                          {kept.right, kept.top, right, kept.bottom}};
    std::string found;
    for (const RECT& band : bands)
        if (!IsRectEmpty(&band) && found.empty())
            found = SettledStrayPixels({}, &band);
    return found;
}

TEST(ScaledDisplay, FrameAndViewFollowThePointerAcrossTheScreen)
{
    const char* scale = std::getenv("GLIMBER_SCALED_DPI");
    ASSERT_NE(nullptr, scale) << "tools/test-scaled.sh runs this on a prefix set to a scale";
    const int dpi = std::atoi(scale);
    const Awareness aware(true);
    ASSERT_TRUE(aware.held()) << "SetThreadDpiAwarenessContext is missing or failed" << LastErrorText();
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    ASSERT_NE(nullptr, ReadyModule().dll);

    ScreenPattern pattern;  // in the screen's own pixels
    std::unique_ptr<TestHost> host;
    HWND tool = nullptr;
    RECT toolArea = {}, hostArea = {};
    {
        const Awareness unaware(false);
        ASSERT_EQ(ToLogical(width, dpi), GetSystemMetrics(SM_CXSCREEN)) << "the prefix is not scaled to " << dpi;
        host = std::make_unique<TestHost>(150, 120, 260, 200);
        tool = host->CreateSizedTool(200, 150);
        ASSERT_NE(nullptr, tool);
        GetWindowRect(tool, &toolArea);
        GetWindowRect(host->window(), &hostArea);
    }
    // Where the system shows the host, one screen pixel more on each side for its rounding.
    const RECT hostOnScreen = {ToPhysical(hostArea.left, dpi) - 1, ToPhysical(hostArea.top, dpi) - 1,
                               ToPhysical(hostArea.right, dpi) + 1, ToPhysical(hostArea.bottom, dpi) + 1};
    const POINT onTool = {ToPhysical((toolArea.left + toolArea.right) / 2, dpi),
                          ToPhysical((toolArea.top + toolArea.bottom) / 2, dpi)};
    // Away from the host at every scale (200% shows it at 300,240-820,640), so each view shows
    // only the pattern; the screen's corners and edges included.
    const POINT points[] = {{5, 5},     {1000, 40}, {width - 1, height - 1}, {60, height - 1}, {950, 400},
                            {100, 400}, {700, 700}, {width - 2, height - 2}};
    int tried = 0, failed = 0;
    for (const POINT& at : points) {
        const std::string where = std::to_string(at.x) + "," + std::to_string(at.y);
        // Presses in turn on two places of the tool, so no two make a double click.
        const POINT press = {onTool.x + (tried++ % 2) * 24, onTool.y};
        ASSERT_TRUE(SendMouse(press, {MOUSEEVENTF_MOVE}) && SendMouse(press, {MOUSEEVENTF_LEFTDOWN}));
        ASSERT_TRUE(PumpInput());
        ASSERT_TRUE(MovePointer(press, at, 4));
        const ToolInstance& record = *RecordOf(tool);
        const SourceRect source = ComputeSourceRect(record);
        std::string problems;
        if (record.tracking != 1)
            problems += "no drag; ";
        if (std::abs(record.centerX - at.x) > 1 || std::abs(record.centerY - at.y) > 1)
            problems += "centred on " + std::to_string(record.centerX) + "," + std::to_string(record.centerY) + "; ";
        // At the screen's edge an even-sized source stops one pixel short of the last row or column.
        if (at.x < source.left || at.x > source.left + source.width || at.y < source.top ||
            at.y > source.top + source.height)
            problems += "the source " + std::to_string(source.left) + "," + std::to_string(source.top) + " " +
                        std::to_string(source.width) + "x" + std::to_string(source.height) + " misses the pointer; ";
        const std::string frame = CompareFrame(record, true);
        if (!frame.empty())
            problems += "frame: " + frame + "; ";
        const std::string view = CompareScaledView(tool, dpi);
        if (!view.empty())
            problems += view + "; ";
        ASSERT_TRUE(SendMouse(at, {MOUSEEVENTF_LEFTUP}));
        ASSERT_TRUE(PumpInput());
        const std::string stray = StrayOutside(hostOnScreen);
        if (!stray.empty())
            problems += "after the release: " + stray;
        EXPECT_EQ("", problems) << "pointer at " << where << " (" << dpi << " dpi)";
        failed += problems.empty() ? 0 : 1;
    }
    {
        const Awareness unaware(false);
        host.reset();  // destroyed as it was made
    }
    std::printf("scaled: %d dpi, %d points, %d failed\n", dpi, tried, failed);
}

}  // namespace
