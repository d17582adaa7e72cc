// GlimberHost: a small reference panel host for Glimber.dll (or any module with the same entry points).
//   GlimberHost [--module PATH] [--settings FILE] [--demo PNG [--check]]
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

#include "demo_scene.h"
#include "host_app.h"
#include "panel_layout.h"

namespace {

struct Options {
    std::string module;
    std::string settings;
    std::string demoPng;
    bool check = false;
};

std::string ExeDirectory()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string directory = path;
    return directory.substr(0, directory.find_last_of("\\/") + 1);
}

std::string DefaultSettingsPath()
{
    char appData[MAX_PATH] = {};
    if (SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, appData) != S_OK)
        return ExeDirectory() + "GlimberHost.ini";
    std::string directory = std::string(appData) + "\\GlimberHost";
    CreateDirectoryA(directory.c_str(), nullptr);
    return directory + "\\GlimberHost.ini";
}

Options ParseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--module" && hasValue)
            options.module = argv[++i];
        else if (arg == "--settings" && hasValue)
            options.settings = argv[++i];
        else if (arg == "--demo" && hasValue)
            options.demoPng = argv[++i];
        else if (arg == "--check")
            options.check = true;
        else if (options.module.empty() && arg.rfind("--", 0) != 0)
            options.module = arg;
    }
    if (options.module.empty())
        options.module = ExeDirectory() + "Glimber.dll";
    if (options.settings.empty())
        options.settings = DefaultSettingsPath();
    return options;
}

// New tools are centred on (100, 100): on a first start the panel stays clear of the
// area they show, so they magnify the desktop at once rather than the panel's own grey.
bool OpenPanel()
{
    const ToolSlot newToolArea = {0, 0, 201, 201};
    const PanelPlace place = PlacePanel(app.settings.place, GetSystemMetrics(SM_CXSCREEN),
                                        GetSystemMetrics(SM_CYSCREEN), 480, 320, newToolArea);
    return CreatePanel(place.left, place.top, place.width, place.height);
}

// A Windows program has no console of its own. Output redirected to a file or a
// pipe arrives as inherited handles, which the C runtime already writes to; a host
// started from a console window writes to that console instead. Each stream is
// taken on its own: `GlimberHost 2>err.txt` keeps its file for errors and still
// prints to the console, and so does `>out.txt` the other way round.
bool HasStandardHandle(DWORD which)
{
    const HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

void UseParentConsole()
{
    const bool output = HasStandardHandle(STD_OUTPUT_HANDLE), errors = HasStandardHandle(STD_ERROR_HANDLE);
    if ((output && errors) || !AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    if (!output && std::freopen("CONOUT$", "w", stdout) != nullptr)
        std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (!errors && std::freopen("CONOUT$", "w", stderr) != nullptr)
        std::setvbuf(stderr, nullptr, _IONBF, 0);
}

void Complain(const std::string& message, bool quiet)
{
    std::fprintf(stderr, "GlimberHost: %s\n", message.c_str());
    if (!quiet)
        MessageBoxA(nullptr, message.c_str(), "Glimber reference host", MB_ICONERROR | MB_OK);
}

}  // namespace

int main(int argc, char** argv)
{
    UseParentConsole();
    const Options options = ParseOptions(argc, argv);
    const bool demo = !options.demoPng.empty();
    app.instance = GetModuleHandleA(nullptr);
    app.settingsPath = options.settings;
    std::string damage;
    const bool damaged = LoadSettings(app.settingsPath, app.settings, damage) == SettingsLoad::kDamaged;
    if (app.settings.toolStates.empty()) {
        app.settings.toolStates = {4, 8};  // two tools by default
        if (damaged)
            damage += "; starting with two tools";
    }
    if (damaged)
        app.status = "Settings file damaged: " + damage;

    const std::string problem = LoadToolType(options.module, app.instance, app.type);
    if (!problem.empty()) {
        Complain(problem, demo);
        return 1;
    }
    int exitCode;
    if (demo) {
        exitCode = RunDemoScene(options.demoPng, options.check);
    } else if (OpenPanel()) {
        exitCode = RunMessageLoop();
    } else {
        Complain("Cannot create the panel window.", false);
        exitCode = 1;
    }
    UnloadToolType(app.type);
    return exitCode;
}
