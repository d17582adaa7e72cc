// Replaces one entry of a loaded module's import table, so a test can count or
// observe the system calls that module makes (Wine's GetGuiResources answers 0).
#ifndef GLIMBER_TESTS_WIN_IMPORT_HOOK_H
#define GLIMBER_TESTS_WIN_IMPORT_HOOK_H

#include <windows.h>

#include <string>
#include <vector>

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

// Counts every call `module` makes to any function it imports from `dll`, whatever
// the function's arguments and calling convention: each import slot is pointed at a
// few bytes of code that add one to the function's counter and jump on to it.
class ImportCounter {
public:
    struct Count {
        std::string function;
        LONG calls;
    };
    ImportCounter(HMODULE module, const char* dll);
    ~ImportCounter();
    ImportCounter(const ImportCounter&) = delete;
    ImportCounter& operator=(const ImportCounter&) = delete;

    bool installed() const { return thunks_ != nullptr; }
    // Every imported function called since the last Reset, with its count.
    std::vector<Count> Called() const;
    void Reset();

private:
    struct Entry {
        std::string function;
        void** slot;
        void* original;
    };
    std::vector<Entry> entries_;
    BYTE* thunks_ = nullptr;
};

#endif
