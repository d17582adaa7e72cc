// The About box, with its hidden caption behind a double-click sequence.
#ifndef GLIMBER_UI_ABOUT_BOX_H
#define GLIMBER_UI_ABOUT_BOX_H

#include <windows.h>

// Runs the box modally, owned by `owner`.
void RunAboutBox(HWND owner);

INT_PTR CALLBACK AboutDlgProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the hidden caption in the box's title bar.
void DescrambleCaption(HWND box);

#endif
