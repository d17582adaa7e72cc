#include "module_state.h"

HINSTANCE moduleInstance;
HINSTANCE hostInstance;
int32_t typesEnumerated;
uint32_t classAtom;
ToolTypeInfo typeInfo;
HMENU zoomSubmenu;
HWND pageWindow;
ToolInstance* pageTarget;
int32_t gestureCount;

#if defined(_WIN32) && !defined(_WIN64)
#include <cstdint>
#include <stddef.h>
// The host reads this block with 32-bit handles at fixed offsets.
static_assert(offsetof(ToolTypeInfo, name) == 0, "layout");
static_assert(offsetof(ToolTypeInfo, description) == 20, "layout");
static_assert(offsetof(ToolTypeInfo, colorImage) == 100, "layout");
static_assert(offsetof(ToolTypeInfo, monoImage) == 104, "layout");
static_assert(sizeof(ToolTypeInfo) == 108, "layout");
#endif
