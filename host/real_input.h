// Real mouse and keyboard input, queued by the system as a hand's would be: hit
// testing, the capture, double-click detection and the focus decide where it goes.
// What the demo's drags and the Win32 tests both use.
#ifndef GLIMBER_HOST_REAL_INPUT_H
#define GLIMBER_HOST_REAL_INPUT_H

#include <windows.h>

#include <initializer_list>

// Mouse events at a screen point, in one batch (MOUSEEVENTF_LEFTDOWN, ...); false unless all were queued.
bool SendMouse(POINT screen, std::initializer_list<DWORD> events);

// Each key pressed and released, in order; false unless all were queued.
bool SendKeys(std::initializer_list<WORD> keys);

// Pumps this thread's messages until no input waits in its queue, within 3 s; false if some still does.
bool PumpInput();

// Moves the pointer from `from` to `to` in `steps` equal steps, this thread's windows
// handling each move before the next; false if one was not queued or handled.
bool MovePointer(POINT from, POINT to, int steps);

#endif
