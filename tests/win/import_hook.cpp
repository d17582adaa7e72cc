#include "import_hook.h"

#include <cstdint>

namespace {

// Calls `visit(name, slot)` for every by-name import of `dll`; stops when it answers true.
template <typename Visit>
void ForEachImport(HMODULE module, const char* dll, Visit&& visit)
{
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0)
        return;
    for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress); import->Name;
         ++import) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + import->Name), dll) != 0)
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
        auto* addresses = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++addresses) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (visit(reinterpret_cast<const char*>(byName->Name), reinterpret_cast<void**>(&addresses->u1.Function)))
                return;
        }
    }
}

void** FindImportSlot(HMODULE module, const char* dll, const char* function)
{
    void** found = nullptr;
    ForEachImport(module, dll, [&](const char* name, void** slot) {
        found = lstrcmpA(name, function) == 0 ? slot : nullptr;
        return found != nullptr;
    });
    return found;
}

void WriteSlot(void** slot, void* value)
{
    DWORD oldProtection;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &oldProtection);
    *slot = value;
    VirtualProtect(slot, sizeof *slot, oldProtection, &oldProtection);
}

}  // namespace

ImportHook::ImportHook(HMODULE module, const char* dll, const char* function, void* replacement)
{
    slot_ = FindImportSlot(module, dll, function);
    if (slot_ == nullptr)
        return;
    original_ = *slot_;
    WriteSlot(slot_, replacement);
}

ImportHook::~ImportHook()
{
    if (slot_ != nullptr)
        WriteSlot(slot_, original_);
}

namespace {

// One counting thunk: `lock inc dword [counter]` then `jmp [original]`, which leave
// every register and the stack as the caller set them. x86-64 addresses both
// relative to the next instruction, i686 absolutely.
const size_t kThunkSize = 32, kCounterAt = 16, kOriginalAt = 24;

void WriteThunk(BYTE* thunk, void* original)
{
    const BYTE code[] = {0xF0, 0xFF, 0x05, 0, 0, 0, 0, 0xFF, 0x25, 0, 0, 0, 0};
    CopyMemory(thunk, code, sizeof code);
    FillMemory(thunk + sizeof code, kCounterAt - sizeof code, 0xCC);
    *reinterpret_cast<void**>(thunk + kOriginalAt) = original;
#if defined(_WIN64)
    const int32_t counter = kCounterAt - 7, target = kOriginalAt - 13;
#else
    const auto counter = static_cast<int32_t>(reinterpret_cast<uintptr_t>(thunk + kCounterAt));
    const auto target = static_cast<int32_t>(reinterpret_cast<uintptr_t>(thunk + kOriginalAt));
#endif
    CopyMemory(thunk + 3, &counter, 4);
    CopyMemory(thunk + 9, &target, 4);
}

LONG* CounterOf(BYTE* thunks, size_t index)
{
    return reinterpret_cast<LONG*>(thunks + index * kThunkSize + kCounterAt);
}

}  // namespace

ImportCounter::ImportCounter(HMODULE module, const char* dll)
{
    ForEachImport(module, dll, [&](const char* name, void** slot) {
        entries_.push_back(Entry{name, slot, *slot});
        return false;
    });
    if (entries_.empty())
        return;
    thunks_ = static_cast<BYTE*>(
        VirtualAlloc(nullptr, entries_.size() * kThunkSize, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
    if (thunks_ == nullptr)
        return;
    for (size_t i = 0; i < entries_.size(); ++i) {
        WriteThunk(thunks_ + i * kThunkSize, entries_[i].original);
        WriteSlot(entries_[i].slot, thunks_ + i * kThunkSize);
    }
    FlushInstructionCache(GetCurrentProcess(), thunks_, entries_.size() * kThunkSize);
    Reset();
}

ImportCounter::~ImportCounter()
{
    if (thunks_ == nullptr)
        return;
    for (const Entry& entry : entries_)
        WriteSlot(entry.slot, entry.original);
    VirtualFree(thunks_, 0, MEM_RELEASE);
}

std::vector<ImportCounter::Count> ImportCounter::Called() const
{
    std::vector<Count> called;
    for (size_t i = 0; thunks_ != nullptr && i < entries_.size(); ++i)
        if (const LONG calls = *CounterOf(thunks_, i))
            called.push_back(Count{entries_[i].function, calls});
    return called;
}

void ImportCounter::Reset()
{
    for (size_t i = 0; thunks_ != nullptr && i < entries_.size(); ++i)
        *CounterOf(thunks_, i) = 0;
}
