#include "real_input.h"

#include <stdint.h>

#include <vector>

#include "screen_pixels.h"

namespace {
// The absolute coordinate that the system maps back to exactly `pixel`: rounded up,
// since the system scales it down and truncates.
LONG Normalised(LONG pixel, int extent)
{
    return static_cast<LONG>((static_cast<int64_t>(pixel) * 65536 + extent - 1) / extent);
}

bool Queue(std::vector<INPUT>& inputs)
{
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}
}  // namespace

bool SendMouse(POINT screen, std::initializer_list<DWORD> events)
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
    return Queue(inputs);
}

bool SendKeys(std::initializer_list<WORD> keys)
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
    return Queue(inputs);
}

bool PumpInput()
{
    const DWORD end = GetTickCount() + 3000;
    while (HIWORD(GetQueueStatus(QS_INPUT)) != 0) {
        if (static_cast<int>(end - GetTickCount()) <= 0)
            return false;
        PumpMessagesFor(5);
    }
    PumpMessagesFor(0);  // what the last input caused: paints, posted commands
    return true;
}

bool MovePointer(POINT from, POINT to, int steps)
{
    for (int i = 1; i <= steps; ++i) {
        const POINT at = {from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps};
        if (!SendMouse(at, {MOUSEEVENTF_MOVE}) || !PumpInput())
            return false;
    }
    return true;
}
