// The zoom page a host embeds in its properties window.
#ifndef GLIMBER_UI_PROPERTY_PAGE_H
#define GLIMBER_UI_PROPERTY_PAGE_H

#include <windows.h>

#include "../core/tool_instance.h"

// Creates the page for `instance` inside `container` at the packed position; the page or 0.
HWND CreatePropertyPage(ToolInstance* instance, HWND container, LPARAM position);

INT_PTR CALLBACK PageDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Moves the open page's slider to the factor of `instance`, if the page edits it.
void SyncPageSlider(const ToolInstance* instance);

#endif
