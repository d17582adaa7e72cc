// Reading pixels back from a device context and letting the window system catch
// up: what the demo's self-check and the Win32 tests both need.
#ifndef GLIMBER_HOST_SCREEN_PIXELS_H
#define GLIMBER_HOST_SCREEN_PIXELS_H

#include <windows.h>

#include <vector>

// A 32-bit top-down DIB of the given size.
BITMAPINFO TopDownDibInfo(int width, int height);

// The pixels of a rectangle of `source`, row by row, as 0x00RRGGBB.
std::vector<DWORD> ReadPixels(HDC source, int x, int y, int width, int height);

// Runs the thread's message loop for `ms` milliseconds; Wine shows what was painted meanwhile.
void PumpMessagesFor(DWORD ms);

#endif
