#include "input.h"

#include <gtest/gtest.h>

#include <vector>

#include "support.h"

namespace {
// The absolute coordinate that the system maps back to exactly `pixel`: rounded up,
// since the system scales it down and truncates.
LONG Normalised(LONG pixel, int extent)
{
    return static_cast<LONG>((static_cast<int64_t>(pixel) * 65536 + extent - 1) / extent);
}
}  // namespace

void SendMouse(POINT screen, std::initializer_list<DWORD> events)
{
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    std::vector<INPUT> inputs;
    for (DWORD flags : events) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dx = Normalised(screen.x, width);
        input.mi.dy = Normalised(screen.y, height);
        input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
        inputs.push_back(input);
    }
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size())
        ADD_FAILURE() << "SendInput queued " << sent << " of " << inputs.size() << " mouse events" << LastErrorText();
}

void SendKeys(std::initializer_list<WORD> keys)
{
    std::vector<INPUT> inputs;
    for (WORD key : keys)
        for (DWORD flags : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
            INPUT input = {};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = key;
            input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, 0));  // MAPVK_VK_TO_VSC
            input.ki.dwFlags = flags;
            inputs.push_back(input);
        }
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size())
        ADD_FAILURE() << "SendInput queued " << sent << " of " << inputs.size() << " key events" << LastErrorText();
}

bool PumpInput()
{
    const bool drained = PumpUntil([] { return HIWORD(GetQueueStatus(QS_INPUT)) == 0; });
    PumpFor(0);  // what the last input caused (paints, posted commands)
    return drained;
}

void MovePointer(POINT from, POINT to, int steps)
{
    for (int i = 1; i <= steps; ++i) {
        const POINT at = {from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps};
        SendMouse(at, {MOUSEEVENTF_MOVE});
        if (!PumpInput())
            ADD_FAILURE() << "a pointer move to " << at.x << "," << at.y << " was never handled";
    }
}
