// The reference host: its module loading (a good module, and each way a module can be
// wrong), and what a new user sees when it first starts.
#include <cstdint>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/view_geometry.h"
#include "host/plugin_loader.h"
#include "host/settings_file.h"
#include "support.h"

namespace {

HINSTANCE Self()
{
    return GetModuleHandleA(nullptr);
}

TEST(HostLoader, LoadsGlimberAndReadsItsType)
{
    LoadedToolType type;
    ASSERT_EQ("", LoadToolType("Glimber.dll", Self(), type));
    ASSERT_NE(nullptr, type.info);
    EXPECT_STREQ("Dadidevozi Vuder", type.info->name);
    EXPECT_NE(nullptr, type.create);
    UnloadToolType(type);
    EXPECT_EQ(nullptr, GetModuleHandleA("Glimber.dll")) << "unloaded";
}

TEST(HostLoader, ExplainsWhatIsWrongWithABadModule)
{
    LoadedToolType type;
    std::string problem = LoadToolType("NoSuchModule.dll", Self(), type);
    EXPECT_NE(std::string::npos, problem.find("Cannot load the module NoSuchModule.dll")) << problem;
    EXPECT_EQ(nullptr, type.module);

    problem = LoadToolType("version.dll", Self(), type);
    EXPECT_NE(std::string::npos, problem.find("does not export EnumeratePanelTypes")) << problem;

    problem = LoadToolType("broken_module.dll", Self(), type);
    EXPECT_NE(std::string::npos, problem.find("\"BrokenToolCreate\" but does not export it")) << problem;
    EXPECT_EQ(nullptr, type.module);
    EXPECT_EQ(nullptr, GetModuleHandleA("broken_module.dll")) << "a rejected module is unloaded";
}

BOOL CALLBACK CollectTool(HWND window, LPARAM tools)
{
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "GlimberTool") == 0)
        reinterpret_cast<std::vector<HWND>*>(tools)->push_back(window);
    return TRUE;
}

// The reference host started as its own program, as a user starts it.
class HostProcess {
public:
    explicit HostProcess(const std::string& settings)
    {
        std::string command = "GlimberHost.exe --settings " + settings;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process_))
            ADD_FAILURE() << "CreateProcessA(" << command << ") failed" << LastErrorText();
    }
    ~HostProcess()
    {
        if (process_.hProcess == nullptr)
            return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(process_.hProcess, 1);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    // The panel with its tools, once both are shown; null if it never was.
    HWND WaitForPanel(std::vector<HWND>& tools)
    {
        HWND panel = nullptr;
        PumpUntil(
            [&] {
                panel = FindWindowA("GlimberReferencePanel", nullptr);
                tools.clear();
                if (panel != nullptr && IsWindowVisible(panel))
                    EnumChildWindows(panel, CollectTool, reinterpret_cast<LPARAM>(&tools));
                return tools.size() == 2;
            },
            10000);
        return tools.size() == 2 ? panel : nullptr;
    }
    bool Close(HWND panel)
    {
        PostMessageA(panel, WM_CLOSE, 0, 0);
        return WaitForSingleObject(process_.hProcess, 10000) == WAIT_OBJECT_0;
    }

private:
    PROCESS_INFORMATION process_ = {};
};

// Mismatches of a tool of another process, centred on (100, 100) at `zoom`, against the pattern.
std::string CompareUntouchedTool(HWND tool, int zoom)
{
    RECT client;
    GetClientRect(tool, &client);
    ToolInstance expected = {};
    expected.zoom = zoom;
    expected.centerX = expected.centerY = 100;
    expected.screenMaxX = GetSystemMetrics(SM_CXSCREEN) - 1;
    expected.screenMaxY = GetSystemMetrics(SM_CYSCREEN) - 1;
    const ViewSize size = ComputeSourceSize(client.right, client.bottom, zoom, ViewSize{0, 0});
    expected.sourceWidth = size.width;
    expected.sourceHeight = size.height;
    const SourceRect source = ComputeSourceRect(expected);
    POINT origin = {0, 0};
    ClientToScreen(tool, &origin);
    const Pixels shown = CaptureScreen(RECT{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom});
    int mismatches = 0;
    for (int y = 0; y < shown.height; ++y)
        for (int x = 0; x < shown.width; ++x)
            mismatches +=
                shown.At(origin.x + x, origin.y + y) != ScreenPattern::At(source.left + x / zoom, source.top + y / zoom)
                    ? 1
                    : 0;
    return mismatches == 0 ? ""
                           : std::to_string(mismatches) + " of " + std::to_string(shown.data.size()) +
                                 " pixels differ at factor " + std::to_string(zoom);
}

TEST(ReferenceHost, FirstStartShowsTheDesktopAroundTheToolsAndRemembersThePanel)
{
    ScreenPattern desktop;
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    const std::string settings = std::string(folder) + "glimber-first-start.ini";
    DeleteFileA(settings.c_str());

    HostProcess host(settings);
    std::vector<HWND> tools;
    HWND panel = host.WaitForPanel(tools);
    ASSERT_NE(nullptr, panel) << "the panel with its two tools never showed";
    RECT placed;
    GetWindowRect(panel, &placed);
    const POINT centre = {100, 100};
    EXPECT_FALSE(PtInRect(&placed, centre)) << "the panel covers what its new tools show";
    // Before anyone touches them: the desktop around (100, 100), at the default factors 4 and 8.
    const int factors[] = {4, 8};
    for (size_t i = 0; i < tools.size(); ++i) {
        std::string mismatch;
        PumpUntil([&] { return (mismatch = CompareUntouchedTool(tools[i], factors[i])).empty(); });
        EXPECT_EQ("", mismatch) << "tool " << i;
    }

    ASSERT_TRUE(host.Close(panel)) << "the host did not exit on WM_CLOSE";
    PanelSettings saved;
    std::string problem;
    ASSERT_EQ(SettingsLoad::kLoaded, LoadSettings(settings, saved, problem)) << problem;
    EXPECT_EQ((std::vector<int32_t>{4, 8}), saved.toolStates);
    EXPECT_EQ(placed.left, saved.place.left) << "the panel's place is remembered";
    EXPECT_EQ(placed.top, saved.place.top);
    EXPECT_EQ(placed.right - placed.left, saved.place.width);
    EXPECT_EQ(placed.bottom - placed.top, saved.place.height);
    DeleteFileA(settings.c_str());
}

}  // namespace
