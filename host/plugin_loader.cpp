#include "plugin_loader.h"

#include <cstdint>

namespace {

const size_t kNameBufferSize = 64;  // the protocol asks for at least 20

template <typename Proc>
Proc Resolve(HMODULE module, const char* name)
{
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

std::string Fail(LoadedToolType& out, const std::string& message)
{
    if (out.module != nullptr)
        FreeLibrary(out.module);
    out = LoadedToolType{};
    return message;
}

}  // namespace

std::string LoadToolType(const std::string& path, HINSTANCE hostInstance, LoadedToolType& out)
{
    out = LoadedToolType{};
    out.module = LoadLibraryA(path.c_str());
    if (out.module == nullptr)
        return Fail(out, "Cannot load the module " + path + " (error " + std::to_string(GetLastError()) + ").");
    auto enumerate = Resolve<EnumeratePanelTypesProc>(out.module, "EnumeratePanelTypes");
    if (enumerate == nullptr)
        return Fail(out, path + " is not a panel-tool module: it does not export EnumeratePanelTypes.");
    char initName[kNameBufferSize] = {}, createName[kNameBufferSize] = {}, cleanupName[kNameBufferSize] = {};
    if (enumerate(initName, createName, cleanupName, reinterpret_cast<HINSTANCE__*>(hostInstance), 0) == 0)
        return Fail(out, path + " offers no tool type.");
    out.init = Resolve<InitToolTypeProc>(out.module, initName);
    out.create = Resolve<ToolCreateProc>(out.module, createName);
    out.cleanup = Resolve<ToolCleanupProc>(out.module, cleanupName);
    const char* missing = out.init == nullptr      ? initName
                          : out.create == nullptr  ? createName
                          : out.cleanup == nullptr ? cleanupName
                                                   : nullptr;
    if (missing != nullptr)
        return Fail(out, path + " names the entry point \"" + missing + "\" but does not export it.");
    out.init(&out.info, 0);
    if (out.info == nullptr)
        return Fail(out, path + " gave no information about its tool type.");
    return "";
}

bool ReadToolState(HWND tool, int32_t& state)
{
    void* slot[1] = {nullptr};
    if (SendMessageA(tool, PNM_GETSTATE, 0, reinterpret_cast<LPARAM>(slot)) != GLIMBER_STATE_LENGTH ||
        slot[0] == nullptr)
        return false;
    CopyMemory(&state, slot[0], sizeof state);
    return true;
}

void UnloadToolType(LoadedToolType& type)
{
    if (type.cleanup != nullptr)
        type.cleanup(0);
    if (type.module != nullptr)
        FreeLibrary(type.module);
    type = LoadedToolType{};
}
