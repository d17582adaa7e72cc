/* Messages, commands and records shared between a panel host and Glimber.dll.
 * Self-contained: a host may include it on its own, before or after <windows.h>,
 * from C or C++, with MinGW-w64 or MSVC, for 32- or 64-bit x86. Handles and the
 * rectangle are named by the tags <windows.h> gives them (struct HWND__, struct
 * tagRECT ...), so its HWND, HINSTANCE, HBITMAP and RECT* pass without a cast;
 * a host built with NO_STRICT, where <windows.h> makes every handle a void*,
 * gets void* here too.
 * docs/host-guide.md explains every message; examples/minimal_host.cpp uses them. */
#ifndef GLIMBER_PROTOCOL_H
#define GLIMBER_PROTOCOL_H

#include <stdint.h>

#define GLIMBER_WM_USER 0x0400u

/* Host -> tool window. */
enum {
    PNM_GETSTATE = GLIMBER_WM_USER + 105,   /* lParam: pointer-sized slot for the blob's address; result 4 */
    PNM_SETSTATE = GLIMBER_WM_USER + 106,   /* wParam: blob length (4), lParam: blob address */
    PNM_CREATEPAGE = GLIMBER_WM_USER + 107, /* wParam: container, lParam: x low word, y high word */
    PNM_GETSIZE = GLIMBER_WM_USER + 108,    /* result: packed fixed size */
    PNM_FITSIZE1 = GLIMBER_WM_USER + 109,   /* lParam: FitRequest address; result: packed size */
    PNM_FITSIZE2 = GLIMBER_WM_USER + 110,
    PNM_FITSIZE3 = GLIMBER_WM_USER + 111
};

/* Tool window -> its parent, sent synchronously with lParam 0. */
enum {
    PNM_STATECHANGED = GLIMBER_WM_USER + 130,   /* wParam: tool window */
    PNM_SHOWPROPERTIES = GLIMBER_WM_USER + 131, /* wParam: tool window */
    PNM_TRACKING = GLIMBER_WM_USER + 135        /* wParam: 1 when a drag or menu starts, 0 when it ends */
};

/* Host -> property page, as the low word of a WM_COMMAND's wParam. */
enum { PNC_APPLY = 323 };

/* Length of the persisted state handed through PNM_GETSTATE / PNM_SETSTATE. */
enum { GLIMBER_STATE_LENGTH = 4 };

/* A size proposal from the host; only read by the tool. */
typedef struct FitRequest {
    int32_t minWidth;
    int32_t minHeight;
    int32_t maxWidth;
    int32_t maxHeight;
    int32_t heightGiven; /* non-zero: `given` is a height, else a width */
    int32_t given;
} FitRequest;

/* Sizes travel packed: width in the low 16 bits, height in the high 16 bits. */
static inline uint32_t PackPanelSize(int32_t width, int32_t height)
{
    return ((uint32_t)width & 0xFFFFu) | (((uint32_t)height & 0xFFFFu) << 16);
}
static inline int32_t PackedPanelWidth(uint32_t packed)
{
    return (int32_t)(packed & 0xFFFFu);
}
static inline int32_t PackedPanelHeight(uint32_t packed)
{
    return (int32_t)(packed >> 16);
}

/* The size every tool asks for through PNM_GETSIZE: 40 x 30. */
#define GLIMBER_FIXED_SIZE 0x001E0028u

/* The block InitGlimberToolType hands out, owned by the module and valid while it
 * stays loaded. name and description are NUL-terminated. Both images are 16 x 16
 * device-dependent bitmaps owned by the module (never delete them): colorImage at
 * the screen's colour depth (LoadBitmap converts the 16-colour picture to it), so
 * select it into a DC compatible with the screen; monoImage 1 bit per pixel. */
#if defined(NO_STRICT)
#define GLIMBER_HANDLE(tag) void*
#else
#define GLIMBER_HANDLE(tag) struct tag*
struct HBITMAP__;
struct HINSTANCE__;
struct HWND__;
#endif

typedef struct ToolTypeInfo {
    char name[20];
    char description[80];
    GLIMBER_HANDLE(HBITMAP__) colorImage;
    GLIMBER_HANDLE(HBITMAP__) monoImage;
} ToolTypeInfo;

#if defined(_WIN32)
/* Entry points as a host resolves them with GetProcAddress. The rectangle is left,
 * top, right, bottom in the parent's client coordinates: a RECT. */
struct tagRECT;
typedef int32_t(__stdcall* EnumeratePanelTypesProc)(char* initName, char* createName, char* cleanupName,
                                                    GLIMBER_HANDLE(HINSTANCE__) hostInstance, intptr_t reserved);
typedef void(__stdcall* InitToolTypeProc)(ToolTypeInfo** infoOut, intptr_t reserved);
typedef GLIMBER_HANDLE(HWND__)(__stdcall* ToolCreateProc)(GLIMBER_HANDLE(HWND__) parent, const struct tagRECT* rect,
                                                          const void* state, intptr_t reserved1, intptr_t reserved2);
typedef void(__stdcall* ToolCleanupProc)(intptr_t reserved);
#endif

#endif
