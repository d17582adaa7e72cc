// Loads a panel-tool module the way a panel host does and reports plainly what is wrong.
#ifndef GLIMBER_HOST_PLUGIN_LOADER_H
#define GLIMBER_HOST_PLUGIN_LOADER_H

#include <cstdint>
#include <windows.h>

#include <string>

#include "../plugin/protocol.h"

struct LoadedToolType {
    HMODULE module = nullptr;
    InitToolTypeProc init = nullptr;
    ToolCreateProc create = nullptr;
    ToolCleanupProc cleanup = nullptr;
    ToolTypeInfo* info = nullptr;
};

// Loads, enumerates, resolves and initialises the first tool type of `path`.
// Returns "" on success, otherwise a sentence naming what is wrong (the module is then unloaded).
std::string LoadToolType(const std::string& path, HINSTANCE hostInstance, LoadedToolType& out);

// A tool's 4-byte state, through the address PNM_GETSTATE hands out; false when it gives none.
bool ReadToolState(HWND tool, int32_t& state);

// Calls the type's cleanup entry and unloads the module.
void UnloadToolType(LoadedToolType& type);

#endif
