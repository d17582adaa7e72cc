// Reads a dialog template resource back into plain fields, classic or extended.
#ifndef GLIMBER_TESTS_WIN_DIALOG_TEMPLATE_H
#define GLIMBER_TESTS_WIN_DIALOG_TEMPLATE_H

#include <windows.h>

#include <string>
#include <vector>

struct DialogControl {
    DWORD style = 0, exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0, id = 0;
    std::string className;  // predefined classes by name: "BUTTON", "STATIC", ...
    std::string text;
};

struct DialogTemplate {
    bool extended = false;
    DWORD style = 0, exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::string menu, windowClass, caption, font;
    int pointSize = 0, weight = 0, italic = 0, charset = 0;
    std::vector<DialogControl> controls;
};

// False when the resource is missing or malformed.
bool ReadDialogTemplate(HMODULE module, int id, DialogTemplate& out);

#endif
