// Replaces one entry of a loaded module's import table, so a test can count or
// observe the system calls that module makes (Wine's GetGuiResources answers 0).
#ifndef GLIMBER_TESTS_WIN_IMPORT_HOOK_H
#define GLIMBER_TESTS_WIN_IMPORT_HOOK_H

#include <windows.h>

class ImportHook {
public:
    // Points `module`'s import of `dll`!`function` at `replacement` until destroyed.
    ImportHook(HMODULE module, const char* dll, const char* function, void* replacement);
    ~ImportHook();
    ImportHook(const ImportHook&) = delete;
    ImportHook& operator=(const ImportHook&) = delete;

    bool installed() const { return slot_ != nullptr; }
    void* original() const { return original_; }

private:
    void** slot_ = nullptr;
    void* original_ = nullptr;
};

#endif
