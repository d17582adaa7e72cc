// The module's exports: how a panel host discovers, sets up and creates tools.
#include <cstdint>
#include <windows.h>

#include <type_traits>

#include "../core/host_address.h"
#include "../core/view_drawing.h"
#include "../resources/resource.h"
#include "../ui/tool_window.h"
#include "module_state.h"
#include "protocol.h"

namespace {

const char kInitName[] = "InitGlimberToolType";
const char kCreateName[] = "GlimberToolCreate";
const char kCleanupName[] = "GlimberToolCleanup";

// The instance the class was registered under. The host may pass another handle to
// each later enumeration, but only this one can take the class away again at unload.
HINSTANCE classInstance;

void RegisterClassOnce()
{
    if (classAtom != 0)
        return;
    HCURSOR cursor = LoadCursorA(moduleInstance, MAKEINTRESOURCEA(IDC_TOOLCURSOR));
    classAtom = RegisterToolClass(hostInstance, cursor);
    if (classAtom != 0)
        classInstance = hostInstance;
}

void RefreshTypeInfo()
{
    typeInfo.name[0] = '\0';
    typeInfo.description[0] = '\0';
    LoadStringA(moduleInstance, IDS_TOOLNAME, typeInfo.name, sizeof typeInfo.name);
    LoadStringA(moduleInstance, IDS_TOOLDESC, typeInfo.description, sizeof typeInfo.description);
    // Loaded once per load of the module: a host that initialises the type again
    // gets the same handles instead of a fresh pair leaked each time.
    if (typeInfo.colorImage == nullptr)
        typeInfo.colorImage = LoadBitmapA(moduleInstance, MAKEINTRESOURCEA(IDB_TOOLCOLOR));
    if (typeInfo.monoImage == nullptr)
        typeInfo.monoImage = LoadBitmapA(moduleInstance, MAKEINTRESOURCEA(IDB_TOOLMONO));
}

// The class names this module's window procedure; once the module is gone the
// class must go too, or a host that loads the module again would crash on its next tool.
void ReleaseOnUnload()
{
    if (classAtom != 0 && UnregisterClassA(kToolClassName, classInstance))
        classAtom = 0;
    DeleteObject(typeInfo.colorImage);
    DeleteObject(typeInfo.monoImage);
    ReleaseHeldDragDC();
    ReleaseScreenDC();
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH)
        moduleInstance = instance;
    else if (reason == DLL_PROCESS_DETACH && reserved == nullptr)  // FreeLibrary, not process exit
        ReleaseOnUnload();
    return TRUE;
}

extern "C" int32_t __stdcall EnumeratePanelTypes(char* initName, char* createName, char* cleanupName,
                                                 HINSTANCE hostInst, intptr_t /*reserved*/)
{
    hostInstance = hostInst;
    if (typesEnumerated != 0)
        return 0;
    if (!IsPlausibleAddress(initName) || !IsPlausibleAddress(createName) || !IsPlausibleAddress(cleanupName))
        return 0;
    lstrcpyA(initName, kInitName);
    lstrcpyA(createName, kCreateName);
    lstrcpyA(cleanupName, kCleanupName);
    ++typesEnumerated;
    return 1;
}

extern "C" void __stdcall InitGlimberToolType(ToolTypeInfo** infoOut, intptr_t /*reserved*/)
{
    RegisterClassOnce();
    RefreshTypeInfo();
    if (IsPlausibleAddress(infoOut))
        *infoOut = &typeInfo;
}

extern "C" HWND __stdcall GlimberToolCreate(HWND parent, const RECT* rect, const void* state, intptr_t /*reserved1*/,
                                            intptr_t /*reserved2*/)
{
    return CreateToolWindow(parent, rect, state, hostInstance);
}

extern "C" void __stdcall GlimberToolCleanup(intptr_t /*reserved*/) {}

// A host calls the exports through the header's types: they must be exactly these.
static_assert(std::is_same_v<decltype(&EnumeratePanelTypes), EnumeratePanelTypesProc>);
static_assert(std::is_same_v<decltype(&InitGlimberToolType), InitToolTypeProc>);
static_assert(std::is_same_v<decltype(&GlimberToolCreate), ToolCreateProc>);
static_assert(std::is_same_v<decltype(&GlimberToolCleanup), ToolCleanupProc>);
