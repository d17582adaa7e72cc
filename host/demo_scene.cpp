#include "demo_scene.h"

#include <cstdint>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "host_app.h"
#include "real_input.h"
#include "screen_pixels.h"

#include <stb_image_write.h>

namespace {

const char kBackdropClass[] = "GlimberDemoBackdrop";

struct Capture {
    int width = 0, height = 0;
    std::vector<DWORD> pixels;  // 0x00RRGGBB, top-down
    DWORD At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Capture CaptureDC(HDC source, int x, int y, int width, int height)
{
    Capture capture;
    capture.width = width;
    capture.height = height;
    capture.pixels = ReadPixels(source, x, y, width, height);
    return capture;
}

Capture CaptureScreen(int width, int height)
{
    HDC screenDC = GetDC(nullptr);
    Capture screen = CaptureDC(screenDC, 0, 0, width, height);
    ReleaseDC(nullptr, screenDC);
    return screen;
}

BOOL CALLBACK RepaintWholly(HWND window, LPARAM)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return TRUE;
}

// Pixels on the screen that no window painted: the screen as it is, against the screen once
// every window has painted itself again. A frame left behind is never painted again.
int CountStrayPixels(int width, int height)
{
    PumpMessagesFor(200);
    const Capture shown = CaptureScreen(width, height);
    EnumThreadWindows(GetCurrentThreadId(), RepaintWholly, 0);
    PumpMessagesFor(200);
    const Capture repainted = CaptureScreen(width, height);
    int stray = 0;
    for (size_t i = 0; i < shown.pixels.size(); ++i)
        stray += shown.pixels[i] != repainted.pixels[i] ? 1 : 0;
    return stray;
}

// A detailed, colourful picture: hue gradient, rings, stripes, a checkerboard and text.
HBITMAP PaintBackdropPicture(int width, int height)
{
    BITMAPINFO info = TopDownDibInfo(width, height);
    void* bits = nullptr;
    HBITMAP picture = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* pixels = static_cast<DWORD*>(bits);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double hue = 6.0 * x / width;
            const double light = 0.45 + 0.5 * y / height;
            const double ring = 0.5 + 0.5 * std::sin(std::hypot(x - 300.0, y - 330.0) / 6.0);
            auto channel = [&](double offset) {
                const double h = std::fmod(hue + offset, 6.0);
                const double v = h < 1 ? h : h < 3 ? 1 : h < 4 ? 4 - h : 0;
                return static_cast<int>(255 * std::min(1.0, v * light * (0.7 + 0.3 * ring)));
            };
            DWORD color = static_cast<DWORD>(channel(0) << 16 | channel(4) << 8 | channel(2));
            if ((x / 12 + y / 12) % 2 == 0 && x > 120 && x < 300 && y > 560 && y < 700)
                color = 0x202020;
            if (x % 64 == 0 || y % 64 == 0)
                color = 0xFFFFFF;
            pixels[static_cast<size_t>(y) * width + x] = color;
        }
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, picture);
    SetBkMode(dc, TRANSPARENT);
    HFONT big = CreateFontA(64, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    HFONT small = CreateFontA(14, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    HGDIOBJ oldFont = SelectObject(dc, big);
    SetTextColor(dc, RGB(20, 20, 60));
    TextOutA(dc, 140, 150, "Glimber", 7);
    SelectObject(dc, small);
    SetTextColor(dc, RGB(0, 0, 0));
    for (int line = 0; line < 8; ++line) {
        char text[96];
        wsprintfA(text, "Line %d: small print that is hard to read without a magnifier 0123456789", line + 1);
        TextOutA(dc, 40, 400 + line * 16, text, static_cast<int>(strlen(text)));
    }
    SelectObject(dc, oldFont);
    DeleteObject(big);
    DeleteObject(small);
    SelectObject(dc, old);
    DeleteDC(dc);
    return picture;
}

LRESULT CALLBACK BackdropProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        auto picture = reinterpret_cast<HBITMAP>(GetWindowLongPtrA(window, GWLP_USERDATA));
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, picture);
        RECT client = {};
        GetClientRect(window, &client);
        BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
        EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_ERASEBKGND)
        return 1;
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateBackdrop(int width, int height)
{
    WNDCLASSA backdropClass = {};
    backdropClass.lpfnWndProc = BackdropProc;
    backdropClass.hInstance = app.instance;
    backdropClass.lpszClassName = kBackdropClass;
    RegisterClassA(&backdropClass);
    HWND backdrop = CreateWindowExA(0, kBackdropClass, "Glimber demo", WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                                    app.instance, nullptr);
    SetWindowLongPtrA(backdrop, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(PaintBackdropPicture(width, height)));
    ShowWindow(backdrop, SW_SHOW);
    UpdateWindow(backdrop);
    return backdrop;
}

// As a hand drags: the pointer onto the tool, the left button down, a path of moves to `to`.
// The button stays down; false if the system did not take or deliver the input.
bool PressAndDrag(HWND tool, POINT to)
{
    POINT press = {5, 5};
    ClientToScreen(tool, &press);
    return SendMouse(press, {MOUSEEVENTF_MOVE}) && SendMouse(press, {MOUSEEVENTF_LEFTDOWN}) && PumpInput() &&
           GetCapture() == tool && MovePointer(press, to, 24);
}

bool Release(POINT at)
{
    return SendMouse(at, {MOUSEEVENTF_LEFTUP}) && PumpInput();
}

// Where a tool's copied area starts on one axis, by the rule the host guide states:
// the area is client / factor + 1 pixels long, centred on the point the drag left
// (halves truncated), the centre held between half and screen size - 1 - half.
int SourceStart(int center, int clientExtent, int zoom, int screenExtent)
{
    const int half = (clientExtent / zoom + 1) / 2;
    const int held = center < half ? half : std::min(center, screenExtent - 1 - half);
    return held - half;
}

// Pixels of the tool's picture that differ from the screen area it should magnify.
int CountMismatches(HWND tool, int centerX, int centerY, const Capture& screen, int& compared)
{
    int32_t zoom = 0;
    RECT client;
    if (!ReadToolState(tool, zoom) || zoom <= 0 || !GetClientRect(tool, &client)) {
        ++compared;
        return 1;  // a tool without a usable state cannot match
    }
    const int left = SourceStart(centerX, client.right, zoom, screen.width);
    const int top = SourceStart(centerY, client.bottom, zoom, screen.height);
    HDC dc = GetDC(tool);
    const Capture view = CaptureDC(dc, 0, 0, client.right, client.bottom);
    ReleaseDC(tool, dc);
    int mismatches = 0;
    for (int y = 0; y < view.height; ++y)
        for (int x = 0; x < view.width; ++x) {
            ++compared;
            if (view.At(x, y) != screen.At(left + x / zoom, top + y / zoom))
                ++mismatches;
        }
    return mismatches;
}

bool WritePng(const std::string& path, const Capture& screen)
{
    std::vector<unsigned char> rgb(static_cast<size_t>(screen.width) * screen.height * 3);
    for (size_t i = 0; i < screen.pixels.size(); ++i) {
        rgb[i * 3] = static_cast<unsigned char>(screen.pixels[i] >> 16);
        rgb[i * 3 + 1] = static_cast<unsigned char>(screen.pixels[i] >> 8);
        rgb[i * 3 + 2] = static_cast<unsigned char>(screen.pixels[i]);
    }
    return stbi_write_png(path.c_str(), screen.width, screen.height, 3, rgb.data(), screen.width * 3) != 0;
}

}  // namespace

int RunDemoScene(const std::string& pngPath, bool strict)
{
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    HWND backdrop = CreateBackdrop(width, height);
    app.settings.toolStates = {3, 8};
    app.settingsPath = pngPath + ".ini";
    if (!CreatePanel(width - 500, 30, 480, 330))
        return 1;
    HWND idle = app.tools[0];
    HWND dragging = app.tools[1];
    PumpMessagesFor(200);

    // One tool shows the title it was dragged to; the other is being dragged over the small print.
    const POINT idleCenter = {250, 185}, dragCenter = {200, 440};
    const bool idleDragged = PressAndDrag(idle, idleCenter) && Release(idleCenter);
    OpenProperties(idle);
    SetWindowPos(app.properties, HWND_TOP, width - 520, 400, 0, 0, SWP_NOSIZE);
    PumpMessagesFor(200);
    const bool dragStarted = PressAndDrag(dragging, dragCenter);
    if (!idleDragged || !dragStarted)
        std::fprintf(stderr, "GlimberHost: the demo's mouse input did not reach the tools\n");

    // Until the X server shows every window and both views match what they magnify, within
    // 10 s: on a busy machine the picture behind may reach the screen after a view copied it.
    Capture screen;
    int compared = 0, mismatches = 0;
    const DWORD deadline = GetTickCount() + 10000;
    do {
        InvalidateRect(idle, nullptr, FALSE);
        InvalidateRect(dragging, nullptr, FALSE);
        PumpMessagesFor(150);
        screen = CaptureScreen(width, height);
        compared = 0;
        mismatches = CountMismatches(dragging, dragCenter.x, dragCenter.y, screen, compared) +
                     CountMismatches(idle, idleCenter.x, idleCenter.y, screen, compared);
    } while (mismatches > 0 && static_cast<int>(deadline - GetTickCount()) > 0);
    const bool written = WritePng(pngPath, screen);
    // After the last drag has ended, no frame may be left anywhere on the screen.
    Release(dragCenter);
    const int stray = CountStrayPixels(width, height);
    std::printf("demo: screenshot %s; %d of %d magnified pixels differ from the screen under them; %d stray pixels\n",
                written ? "written" : "NOT written", mismatches, compared, stray);

    // No messages are pumped past this point: under Wine 10, PeekMessage never returns
    // once the panel that held the drag is gone, and the host would never end.
    DestroyWindow(app.panel);
    DeleteObject(reinterpret_cast<HBITMAP>(GetWindowLongPtrA(backdrop, GWLP_USERDATA)));
    DestroyWindow(backdrop);
    DeleteFileA(app.settingsPath.c_str());
    if (!written) {
        std::fprintf(stderr, "GlimberHost: cannot write %s\n", pngPath.c_str());
        return 1;
    }
    return strict && (mismatches > 0 || stray > 0 || !idleDragged || !dragStarted) ? 1 : 0;
}
