#include "system_function.h"

namespace {

bool SameName(const char* a, const char* b)
{
    while (*a != '\0' && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

// An export of a loaded image, read from its own export table; null for a name it does
// not export or forwards to another DLL.
void* ExportOf(const void* image, const char* name)
{
    const auto* base = static_cast<const BYTE*>(image);
    const auto* dos = static_cast<const IMAGE_DOS_HEADER*>(image);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE)
        return nullptr;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE)
        return nullptr;
    const IMAGE_DATA_DIRECTORY& table = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (table.VirtualAddress == 0)
        return nullptr;
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + table.VirtualAddress);
    const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    const auto* ordinals = reinterpret_cast<const WORD*>(base + exports->AddressOfNameOrdinals);
    const auto* functions = reinterpret_cast<const DWORD*>(base + exports->AddressOfFunctions);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        if (!SameName(reinterpret_cast<const char*>(base + names[i]), name))
            continue;
        const DWORD address = functions[ordinals[i]];
        const bool forwarded = address >= table.VirtualAddress && address < table.VirtualAddress + table.Size;
        return forwarded ? nullptr : const_cast<BYTE*>(base + address);
    }
    return nullptr;
}

}  // namespace

void* SystemFunction(const char* dll, const char* name)
{
    // The loader's own lookup is exported by the DLL that holds VirtualQuery, which the
    // module imports already: kernelbase, or kernel32 before Windows 7.
    MEMORY_BASIC_INFORMATION holder;
    if (VirtualQuery(reinterpret_cast<const void*>(&VirtualQuery), &holder, sizeof holder) == 0)
        return nullptr;
    using ModuleHandleProc = HMODULE(WINAPI*)(const char*);
    using ProcAddressProc = FARPROC(WINAPI*)(HMODULE, const char*);
    auto* moduleHandle = reinterpret_cast<ModuleHandleProc>(ExportOf(holder.AllocationBase, "GetModuleHandleA"));
    auto* procAddress = reinterpret_cast<ProcAddressProc>(ExportOf(holder.AllocationBase, "GetProcAddress"));
    if (moduleHandle == nullptr || procAddress == nullptr)
        return nullptr;
    HMODULE module = moduleHandle(dll);
    return module != nullptr ? reinterpret_cast<void*>(procAddress(module, name)) : nullptr;
}
