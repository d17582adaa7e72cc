// The reference panel host: one panel window holding any number of tools of
// the loaded type, their settings file, and a properties window for one tool at a time.
#ifndef GLIMBER_HOST_HOST_APP_H
#define GLIMBER_HOST_HOST_APP_H

#include <cstdint>
#include <windows.h>

#include <string>
#include <vector>

#include "plugin_loader.h"
#include "settings_file.h"

struct HostApp {
    HINSTANCE instance = nullptr;
    LoadedToolType type;
    std::string settingsPath;
    PanelSettings settings;
    HWND panel = nullptr;
    std::vector<HWND> tools;
    HWND properties = nullptr;  // the open properties window, if any
    HWND propertiesTool = nullptr;
    HWND page = nullptr;
    std::string status;
};

extern HostApp app;

// Creates the panel window with the tools the settings name; false on failure.
bool CreatePanel(int x, int y, int width, int height);
void AddTool(int32_t state);
void RemoveLastTool();
// Opens the properties window for `tool`, closing any other first.
void OpenProperties(HWND tool);
void CloseProperties();
// Runs the message loop until the panel closes; the exit code.
int RunMessageLoop();

#endif
