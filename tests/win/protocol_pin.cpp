// What a host author copies from the public header, pinned to the numbers hosts
// already rely on. Written as literals on purpose: a constant changed in the header
// (and, with it, in the module) would otherwise pass every other test unnoticed.
// Compiled into both Windows builds, so the layouts are checked at 4- and 8-byte pointers.
#include <stddef.h>

#include "plugin/protocol.h"
#include "resources/resource.h"

// Host -> tool messages, WM_USER + 105 to 111.
static_assert(GLIMBER_WM_USER == 0x400, "WM_USER");
static_assert(PNM_GETSTATE == 1129 && PNM_SETSTATE == 1130 && PNM_CREATEPAGE == 1131, "state and page messages");
static_assert(PNM_GETSIZE == 1132 && PNM_FITSIZE1 == 1133 && PNM_FITSIZE2 == 1134 && PNM_FITSIZE3 == 1135,
              "size messages");
// Tool -> host notifications.
static_assert(PNM_STATECHANGED == 1154 && PNM_SHOWPROPERTIES == 1155 && PNM_TRACKING == 1159, "notifications");
static_assert(PNC_APPLY == 323, "the page's apply command");
static_assert(GLIMBER_STATE_LENGTH == 4 && GLIMBER_FIXED_SIZE == 1966120, "state length and fixed size");

// Menu commands and control identifiers the menu and the page share.
static_assert(IDM_ZOOM1 == 601 && IDM_ZOOM16 == 616 && IDM_ABOUT == 1048 && IDM_PROPERTIES == 117, "menu commands");
static_assert(IDC_ZOOMSLIDER == 1047 && IDC_ABOUTBUTTON == 1048 && IDC_ZOOMGROUP == 1052, "page controls");
static_assert(IDC_ABOUTNAME == 1050 && IDC_ABOUTNOTICE == 1051, "About box controls");
static_assert(IDS_PROPERTIES == 117 && IDS_TOOLNAME == 118 && IDS_TOOLDESC == 119 && IDS_NOTICE == 120 &&
                  IDS_ABOUT == 121 && IDS_ZOOMFACTOR == 122,
              "strings");
static_assert(IDB_TOOLCOLOR == 110 && IDB_TOOLMONO == 111 && IDC_TOOLCURSOR == 128, "images and cursor");
static_assert(IDD_PAGE == 112 && IDD_ABOUT == 127, "dialogs");

// FitRequest: six 32-bit fields, whatever the pointer size.
static_assert(sizeof(FitRequest) == 24, "FitRequest size");
static_assert(offsetof(FitRequest, minWidth) == 0 && offsetof(FitRequest, minHeight) == 4 &&
                  offsetof(FitRequest, maxWidth) == 8 && offsetof(FitRequest, maxHeight) == 12 &&
                  offsetof(FitRequest, heightGiven) == 16 && offsetof(FitRequest, given) == 20,
              "FitRequest offsets");

// ToolTypeInfo: the 108-byte block a 32-bit host reads; a 64-bit host's handles are 8-byte aligned.
static_assert(offsetof(ToolTypeInfo, name) == 0 && offsetof(ToolTypeInfo, description) == 20, "ToolTypeInfo text");
#if defined(_WIN64)
static_assert(offsetof(ToolTypeInfo, colorImage) == 104 && offsetof(ToolTypeInfo, monoImage) == 112 &&
                  sizeof(ToolTypeInfo) == 120,
              "ToolTypeInfo on 64-bit");
#else
static_assert(offsetof(ToolTypeInfo, colorImage) == 100 && offsetof(ToolTypeInfo, monoImage) == 104 &&
                  sizeof(ToolTypeInfo) == 108,
              "ToolTypeInfo on 32-bit");
#endif
