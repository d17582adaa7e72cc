// Real mouse and keyboard input, queued by the system as a hand's would be: hit
// testing, the capture, double-click detection and the focus decide where it goes.
#ifndef GLIMBER_TESTS_WIN_INPUT_H
#define GLIMBER_TESTS_WIN_INPUT_H

#include <windows.h>

#include <initializer_list>

// Mouse events at a screen point, in one batch: (MOUSEEVENTF_LEFTDOWN, ...).
void SendMouse(POINT screen, std::initializer_list<DWORD> events);

// Each key pressed and released, in order.
void SendKeys(std::initializer_list<WORD> keys);

// Moves the pointer from `from` to `to` in `steps` equal steps, the thread's windows
// handling each move before the next, as a hand's moves arrive.
void MovePointer(POINT from, POINT to, int steps);

// Pumps until no input waits in this thread's queue (within 3 s); false if some still does.
bool PumpInput();

#endif
