// Glimber.dll as a panel host loads it: exports, registration and resources.
#include <cstdint>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "dialog_template.h"
#include "import_hook.h"
#include "support.h"

namespace {

HINSTANCE__* HostHandle(HMODULE module)
{
    return reinterpret_cast<HINSTANCE__*>(module);
}

class Module : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(module.Load()); }
    void TearDown() override { module.Free(); }
    GlimberModule module;
};

TEST_F(Module, EnumeratesOneToolTypeThenNone)
{
    char initName[32], createName[32], cleanupName[32];
    std::memset(initName, 'x', sizeof initName);
    std::memset(createName, 'x', sizeof createName);
    std::memset(cleanupName, 'x', sizeof cleanupName);
    HMODULE host = GetModuleHandleA(nullptr);
    ASSERT_EQ(1, module.enumerate(initName, createName, cleanupName, HostHandle(host), 0));
    EXPECT_STREQ("InitGlimberToolType", initName);
    EXPECT_STREQ("GlimberToolCreate", createName);
    EXPECT_STREQ("GlimberToolCleanup", cleanupName);
    EXPECT_EQ('x', createName[18]) << "copies only the name and its terminator";
    // Each name resolves to the export of that name.
    auto address = [&](const char* name) { return reinterpret_cast<void*>(GetProcAddress(module.dll, name)); };
    EXPECT_EQ(reinterpret_cast<void*>(module.init), address(initName));
    EXPECT_EQ(reinterpret_cast<void*>(module.create), address(createName));
    EXPECT_EQ(reinterpret_cast<void*>(module.cleanup), address(cleanupName));

    char again[3][32];
    std::memset(again, 'y', sizeof again);
    char untouched[3][32];
    std::memset(untouched, 'y', sizeof untouched);
    // The second call returns 0, leaves the buffers alone and still takes the new host handle.
    HMODULE otherHost = GetModuleHandleA("kernel32.dll");
    EXPECT_EQ(0, module.enumerate(again[0], again[1], again[2], HostHandle(otherHost), 0));
    EXPECT_EQ(0, std::memcmp(untouched, again, sizeof again));
    ToolTypeInfo* info = nullptr;
    module.init(&info, 0);
    WNDCLASSA registered;
    EXPECT_TRUE(GetClassInfoA(otherHost, "GlimberTool", &registered)) << "class under the latest host handle";
    EXPECT_FALSE(GetClassInfoA(host, "GlimberTool", &registered));
    UnregisterClassA("GlimberTool", otherHost);
}

TEST_F(Module, NullBuffersAndNullInfoSlotYieldNothing)
{
    char name[32];
    HINSTANCE__* host = HostHandle(GetModuleHandleA(nullptr));
    EXPECT_EQ(0, module.enumerate(nullptr, name, name, host, 0));
    EXPECT_EQ(0, module.enumerate(name, nullptr, name, host, 0));
    EXPECT_EQ(0, module.enumerate(name, name, nullptr, host, 0));
    EXPECT_EQ(0, module.enumerate(reinterpret_cast<char*>(16), name, name, host, 0));
    module.init(nullptr, 0);
    module.init(reinterpret_cast<ToolTypeInfo**>(64), 0);
    char initName[20], createName[20], cleanupName[20];
    EXPECT_EQ(1, module.enumerate(initName, createName, cleanupName, host, 0));
    const RECT rect = {0, 0, 10, 10};
    TestHost testHost;
    EXPECT_EQ(nullptr, module.create(testHost.window(), nullptr, nullptr, 0, 0));
    EXPECT_EQ(nullptr, module.create(testHost.window(), reinterpret_cast<const RECT*>(24), nullptr, 0, 0));
    HWND tool = module.create(testHost.window(), &rect, nullptr, 0, 0);
    EXPECT_NE(nullptr, tool);
    DestroyWindow(tool);
    module.cleanup(0);
}

// ---- hostile arguments at the four exports ----
// Addresses below 64 KiB are refused; the module must trust any other address a host
// hands it (a mapped-looking but freed or unmapped one cannot be told apart safely).

// A buffer with guard bytes on both sides, handed over at an odd address.
struct GuardedBuffer {
    char bytes[72];
    GuardedBuffer() { std::memset(bytes, 'g', sizeof bytes); }
    char* at() { return bytes + 1; }
    // Guards intact outside the name the module was meant to copy (or everything, for none).
    bool OnlyWritten(const char* name) const
    {
        const size_t written = name ? std::strlen(name) + 1 : 0;
        if (written != 0 && std::memcmp(bytes + 1, name, written) != 0)
            return false;
        for (size_t i = 0; i < sizeof bytes; ++i)
            if ((i < 1 || i >= 1 + written) && bytes[i] != 'g')
                return false;
        return true;
    }
};

char* BadAddress(uintptr_t value)
{
    return reinterpret_cast<char*>(value);
}

TEST_F(Module, EnumerationRefusesHostileBuffersAndSurvivesAnyHostHandle)
{
    const uintptr_t refused[] = {0, 1, 2, 3, 0x8000, 0xFFFF};
    for (uintptr_t bad : refused)
        for (int which = 0; which < 3; ++which) {
            SCOPED_TRACE("buffer " + std::to_string(which) + " at " + std::to_string(bad));
            GuardedBuffer names[3];
            char* arguments[3] = {names[0].at(), names[1].at(), names[2].at()};
            arguments[which] = BadAddress(bad);
            EXPECT_EQ(0, module.enumerate(arguments[0], arguments[1], arguments[2], nullptr, -1));
            for (const GuardedBuffer& name : names)
                EXPECT_TRUE(name.OnlyWritten(nullptr));
        }
    // Misaligned buffers are the host's to choose: exactly the name and its terminator.
    GuardedBuffer init, create, cleanup;
    HINSTANCE__* host = HostHandle(GetModuleHandleA(nullptr));
    ASSERT_EQ(1, module.enumerate(init.at(), create.at(), cleanup.at(), host, 0x7FFFFFFF));
    EXPECT_TRUE(init.OnlyWritten("InitGlimberToolType"));
    EXPECT_TRUE(create.OnlyWritten("GlimberToolCreate"));
    EXPECT_TRUE(cleanup.OnlyWritten("GlimberToolCleanup"));
    ToolTypeInfo* info = nullptr;
    module.init(&info, 0);
    ASSERT_NE(nullptr, info);

    // A later call with a handle that is no module at all: nothing is created under it,
    // and the class registered under the real one still goes when the module is unloaded.
    for (uintptr_t handle : {uintptr_t{0}, uintptr_t{1}, uintptr_t{0xFFFF}, ~uintptr_t{0}}) {
        SCOPED_TRACE("host handle " + std::to_string(handle));
        GuardedBuffer names[3];
        EXPECT_EQ(0, module.enumerate(names[0].at(), names[1].at(), names[2].at(),
                                      reinterpret_cast<HINSTANCE__*>(handle), 0));
        EXPECT_TRUE(names[0].OnlyWritten(nullptr));
        module.init(&info, 0);
        TestHost testHost;
        const RECT rect = {0, 0, 40, 30};
        if (HWND tool = module.create(testHost.window(), &rect, nullptr, 0, 0))
            DestroyWindow(tool);
    }
    module.Free();
    WNDCLASSA gone;
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "GlimberTool", &gone)) << "class left behind";
}

TEST_F(Module, InitAndCleanupTakeAnyArguments)
{
    char a[32], b[32], c[32];
    ASSERT_EQ(1, module.enumerate(a, b, c, HostHandle(GetModuleHandleA(nullptr)), 0));
    for (uintptr_t bad : {uintptr_t{0}, uintptr_t{1}, uintptr_t{0xFFFF}})
        module.init(reinterpret_cast<ToolTypeInfo**>(bad), -1);
    // An odd address for the slot is the host's choice: the block's address lands there, nothing beside it.
    unsigned char slot[sizeof(void*) + 2];
    std::memset(slot, 0xEE, sizeof slot);
    module.init(reinterpret_cast<ToolTypeInfo**>(slot + 1), 0);
    ToolTypeInfo* info = nullptr;
    std::memcpy(&info, slot + 1, sizeof info);
    ToolTypeInfo* direct = nullptr;
    module.init(&direct, 0);
    EXPECT_EQ(direct, info);
    EXPECT_EQ(0xEE, slot[0]);
    EXPECT_EQ(0xEE, slot[sizeof slot - 1]);
    for (intptr_t reserved : {intptr_t{0}, intptr_t{-1}, intptr_t{INTPTR_MIN}, intptr_t{INTPTR_MAX}})
        module.cleanup(reserved);
}

TEST_F(Module, CreationSurvivesHostileParentsRectanglesAndStates)
{
    ASSERT_NE(nullptr, module.Initialise());
    ScreenPattern pattern;
    TestHost testHost;
    HWND destroyed = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(destroyed);
    HWND button = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE, 300, 10, 60, 20, testHost.window(), nullptr,
                                  nullptr, nullptr);
    const struct {
        const char* what;
        HWND parent;
        bool accepted;  // whether a child window can be made there at all
    } parents[] = {
        {"the host", testHost.window(), true},
        {"another class", button, true},
        {"the desktop", GetDesktopWindow(), true},
        {"none", nullptr, false},
        {"a destroyed window", destroyed, false},
        {"a small integer", reinterpret_cast<HWND>(1), false},
        {"an invalid handle", reinterpret_cast<HWND>(~uintptr_t{0}), false},
    };
    const struct {
        const char* what;
        RECT rect;
    } rects[] = {
        {"ordinary", {10, 10, 130, 100}},
        {"empty", {5, 5, 5, 5}},
        {"inverted", {100, 100, 10, 10}},
        {"negative", {-50, -40, -10, -5}},
        {"huge", {0, 0, INT32_MAX, INT32_MAX}},
        {"wider than 32 bits hold", {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}},
    };
    const int32_t states[] = {0, 1, -1, 16, 17, INT32_MIN, INT32_MAX};

    // No rectangle the module can follow: refused.
    for (uintptr_t bad : {uintptr_t{0}, uintptr_t{8}, uintptr_t{0xFFFF}})
        EXPECT_EQ(nullptr, module.create(testHost.window(), reinterpret_cast<const RECT*>(bad), nullptr, 0, 0));

    for (const auto& parent : parents)
        for (const auto& rect : rects)
            for (const int32_t state : states) {
                SCOPED_TRACE(std::string(parent.what) + ", " + rect.what + " rectangle, state " +
                             std::to_string(state));
                const auto rectCopy = rect;
                const int32_t stateCopy = state;
                HWND tool = module.create(parent.parent, &rect.rect, &stateCopy, -1, INTPTR_MAX);
                EXPECT_EQ(0, std::memcmp(&rectCopy, &rect, sizeof rect)) << "the rectangle is the host's";
                EXPECT_EQ(state, stateCopy) << "the state is the host's";
                if (!parent.accepted) {
                    EXPECT_EQ(nullptr, tool);
                    continue;
                }
                ASSERT_NE(nullptr, tool);
                EXPECT_EQ(state, RecordOf(tool)->zoom);
                // Every way the tool's size and factor reach arithmetic: paint, a drag, a resize.
                UpdateWindow(tool);
                SendMessageA(tool, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(2, 2));
                SendMessageA(tool, WM_MOUSEMOVE, MK_LBUTTON, PackPoint(-30000, 30000));
                SendMessageA(tool, WM_LBUTTONUP, 0, PackPoint(1, 1));
                SetWindowPos(tool, nullptr, 0, 0, 100, 75, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
                EXPECT_EQ(GLIMBER_STATE_LENGTH, SendMessageA(tool, PNM_GETSTATE, 0, 0));
                DestroyWindow(tool);
            }
    DestroyWindow(button);
    EXPECT_EQ("", SettledStrayPixels({testHost.window()})) << "no frame left on the screen";
}

int registrations = 0;
ATOM WINAPI CountingRegisterClassA(const WNDCLASSA* windowClass)
{
    ++registrations;
    return RegisterClassA(windowClass);
}

TEST_F(Module, InitRegistersTheClassOnceAndFillsTheSameBlock)
{
    HMODULE host = GetModuleHandleA(nullptr);
    char a[20], b[20], c[20];
    module.enumerate(a, b, c, HostHandle(host), 0);
    ImportHook hook(module.dll, "user32.dll", "RegisterClassA", reinterpret_cast<void*>(CountingRegisterClassA));
    ASSERT_TRUE(hook.installed());
    ToolTypeInfo* first = nullptr;
    ToolTypeInfo* second = nullptr;
    module.init(&first, 0);
    module.init(&second, 0);
    EXPECT_EQ(1, registrations);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, second);
    EXPECT_STREQ("Dadidevozi Vuder", first->name);
    EXPECT_STREQ("Dadidevozi Vuder Tool", first->description);

    WNDCLASSEXA registered = {};
    registered.cbSize = sizeof registered;
    ASSERT_TRUE(GetClassInfoExA(host, "GlimberTool", &registered));
    EXPECT_EQ(static_cast<UINT>(CS_DBLCLKS), registered.style);
    EXPECT_EQ(0, registered.cbClsExtra);
    EXPECT_EQ(static_cast<int>(sizeof(LONG_PTR)), registered.cbWndExtra);
    EXPECT_EQ(GetStockObject(LTGRAY_BRUSH), registered.hbrBackground);
    EXPECT_EQ(nullptr, registered.hIcon);
    EXPECT_EQ(nullptr, registered.lpszMenuName);
    EXPECT_EQ(LoadCursorA(module.dll, MAKEINTRESOURCEA(128)), registered.hCursor);

    for (HBITMAP image : {first->colorImage, first->monoImage}) {
        BITMAP bitmap = {};
        ASSERT_EQ(static_cast<int>(sizeof bitmap), GetObjectA(image, sizeof bitmap, &bitmap));
        EXPECT_EQ(16, bitmap.bmWidth);
        EXPECT_EQ(16, bitmap.bmHeight);
    }
}

const BITMAPINFOHEADER* BitmapResource(HMODULE module, int id)
{
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2));  // RT_BITMAP
    return resource ? static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, resource))) : nullptr;
}

TEST_F(Module, ImagesHaveTheirSizeDepthAndPalette)
{
    const BITMAPINFOHEADER* color = BitmapResource(module.dll, 110);
    ASSERT_NE(nullptr, color);
    EXPECT_EQ(16, color->biWidth);
    EXPECT_EQ(16, color->biHeight);
    EXPECT_EQ(4, color->biBitCount);
    const auto* palette = reinterpret_cast<const RGBQUAD*>(color + 1);
    const COLORREF standard[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
                                   0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(standard[i],
                  static_cast<COLORREF>(palette[i].rgbRed << 16 | palette[i].rgbGreen << 8 | palette[i].rgbBlue))
            << "palette entry " << i;
    // The top-left corner is background: checkered in colours 9 and 15.
    const BYTE* bits = reinterpret_cast<const BYTE*>(palette + 16);
    const BYTE topRow = bits[15 * 8];
    EXPECT_EQ(0x9F, topRow);

    const BITMAPINFOHEADER* mono = BitmapResource(module.dll, 111);
    ASSERT_NE(nullptr, mono);
    EXPECT_EQ(16, mono->biWidth);
    EXPECT_EQ(16, mono->biHeight);
    EXPECT_EQ(1, mono->biBitCount);

    HCURSOR cursor = LoadCursorA(module.dll, MAKEINTRESOURCEA(128));
    ASSERT_NE(nullptr, cursor);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(15u, info.xHotspot);
    EXPECT_EQ(15u, info.yHotspot);
    EXPECT_EQ(nullptr, info.hbmColor) << "monochrome";
    BITMAP mask = {};
    GetObjectA(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(32, mask.bmWidth);
    EXPECT_EQ(64, mask.bmHeight);
    DeleteObject(info.hbmMask);
}

TEST_F(Module, StringTable)
{
    const std::pair<int, const char*> strings[] = {{117, "Properties"},
                                                   {118, "Dadidevozi Vuder"},
                                                   {119, "Dadidevozi Vuder Tool"},
                                                   {121, "About Glimber"},
                                                   {122, "Zoom Factor"}};
    char text[100];
    for (const auto& [id, want] : strings) {
        ASSERT_LT(0, LoadStringA(module.dll, id, text, sizeof text)) << id;
        EXPECT_STREQ(want, text);
    }
    ASSERT_LT(0, LoadStringA(module.dll, 120, text, sizeof text));
    EXPECT_NE(nullptr, std::strstr(text, "2026")) << "the notice names its year: " << text;
    // Loaded with room for the dots, the About label still fits.
    ASSERT_LT(0, LoadStringA(module.dll, 121, text, 97));
    char label[100];
    std::snprintf(label, sizeof label, "%s...", text);
    EXPECT_STREQ("About Glimber...", label);
    EXPECT_LT(std::strlen("Dadidevozi Vuder"), 20u);
}

void ExpectControl(const DialogControl& control, int id, const char* className, const char* text, DWORD style,
                   DWORD exStyle, int x, int y, int cx, int cy)
{
    SCOPED_TRACE(std::string("control ") + std::to_string(id) + " " + className);
    EXPECT_EQ(id, control.id);
    EXPECT_STRCASEEQ(className, control.className.c_str());
    EXPECT_EQ(text, control.text);
    EXPECT_EQ(style, control.style);
    EXPECT_EQ(exStyle, control.exStyle);
    EXPECT_EQ(x, control.x);
    EXPECT_EQ(y, control.y);
    EXPECT_EQ(cx, control.cx);
    EXPECT_EQ(cy, control.cy);
}

TEST_F(Module, PropertyPageTemplate)
{
    DialogTemplate page;
    ASSERT_TRUE(ReadDialogTemplate(module.dll, 112, page));
    EXPECT_TRUE(page.extended);
    EXPECT_EQ(0x50000040u, page.style);
    EXPECT_EQ(0u, page.exStyle);
    EXPECT_EQ(5, page.x);
    EXPECT_EQ(10, page.y);
    EXPECT_EQ(280, page.cx);
    EXPECT_EQ(100, page.cy);
    EXPECT_EQ("", page.menu);
    EXPECT_EQ("", page.windowClass);
    EXPECT_EQ("", page.caption);
    EXPECT_EQ("MS Sans Serif", page.font);
    EXPECT_EQ(8, page.pointSize);
    EXPECT_EQ(0, page.weight);
    EXPECT_EQ(0, page.italic);
    EXPECT_EQ(1, page.charset);
    ASSERT_EQ(5u, page.controls.size());
    ExpectControl(page.controls[0], 1052, "BUTTON", "", 0x50000007, 0, 6, 4, 269, 90);
    ExpectControl(page.controls[1], 1047, "msctls_trackbar32", "Slider1", 0x50010001, 0, 20, 17, 238, 17);
    ExpectControl(page.controls[2], -1, "STATIC", "1", 0x50020000, 0, 25, 39, 38, 14);
    ExpectControl(page.controls[3], -1, "STATIC", "16", 0x50020000, 0x1000, 215, 39, 38, 14);
    ExpectControl(page.controls[4], 1048, "BUTTON", "", 0x50010000, 0, 87, 69, 105, 15);
}

TEST_F(Module, AboutBoxTemplate)
{
    DialogTemplate about;
    ASSERT_TRUE(ReadDialogTemplate(module.dll, 127, about));
    EXPECT_FALSE(about.extended);
    EXPECT_EQ(0x80C000C4u, about.style);
    EXPECT_EQ(0u, about.exStyle);
    EXPECT_EQ(0, about.x);
    EXPECT_EQ(0, about.y);
    EXPECT_EQ(186, about.cx);
    EXPECT_EQ(94, about.cy);
    EXPECT_EQ("", about.caption);
    EXPECT_EQ("MS Sans Serif", about.font);
    EXPECT_EQ(8, about.pointSize);
    ASSERT_EQ(3u, about.controls.size());
    ExpectControl(about.controls[0], 1, "BUTTON", "OK", 0x50010001, 0, 68, 73, 50, 14);
    ExpectControl(about.controls[1], 1051, "STATIC", "", 0x50020000, 0, 42, 39, 137, 12);
    ExpectControl(about.controls[2], 1050, "STATIC", "", 0x50020000, 0, 66, 17, 113, 12);
}

std::string VersionString(const std::vector<BYTE>& block, const char* name)
{
    char* value = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\040904b0\\") + name;
    if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || value == nullptr)
        return "<missing>";
    return value;
}

TEST_F(Module, VersionBlock)
{
    char path[MAX_PATH];
    GetModuleFileNameA(module.dll, path, sizeof path);
    const DWORD size = GetFileVersionInfoSizeA(path, nullptr);
    ASSERT_LT(0u, size);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(0x00010000u, fixed->dwFileVersionMS);
    EXPECT_EQ(0x00000003u, fixed->dwFileVersionLS);
    EXPECT_EQ(0x00010000u, fixed->dwProductVersionMS);
    EXPECT_EQ(0x00000003u, fixed->dwProductVersionLS);
    EXPECT_EQ(0x3Fu, fixed->dwFileFlagsMask);
    EXPECT_EQ(0u, fixed->dwFileFlags);
    EXPECT_EQ(0x00040004u, fixed->dwFileOS);
    EXPECT_EQ(static_cast<DWORD>(VFT_DLL), fixed->dwFileType);
    EXPECT_EQ(0u, fixed->dwFileSubtype);
    EXPECT_EQ(0u, fixed->dwFileDateMS);
    EXPECT_EQ(0u, fixed->dwFileDateLS);
    EXPECT_EQ("Glimber", VersionString(block, "FileDescription"));
    EXPECT_EQ("1, 0, 0, 3", VersionString(block, "FileVersion"));
    EXPECT_EQ("Glimber", VersionString(block, "InternalName"));
    EXPECT_EQ("Glimber.dll", VersionString(block, "OriginalFilename"));
    EXPECT_EQ("1, 0, 0, 3", VersionString(block, "ProductVersion"));
    for (const char* name : {"CompanyName", "ProductName", "LegalCopyright"})
        EXPECT_NE("<missing>", VersionString(block, name)) << name;
    WORD* translation = nullptr;
    ASSERT_TRUE(
        VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(4u, length);
    EXPECT_EQ(0x0409, translation[0]);
    EXPECT_EQ(0x04B0, translation[1]);
}

TEST(ModuleLifetime, UnloadAndReloadThenCreateAndPaint)
{
    ScreenPattern pattern;
    TestHost host;
    const RECT creation = {10, 10, 11, 11};
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        GlimberModule module;
        ASSERT_TRUE(module.Load());
        ASSERT_NE(nullptr, module.Initialise()) << "a fresh load enumerates its type again";
        HWND tool = module.create(host.window(), &creation, nullptr, 0, 0);
        ASSERT_NE(nullptr, tool);
        SetWindowPos(tool, nullptr, 10, 10, 200, 150, SWP_NOZORDER | SWP_NOACTIVATE);
        DragTo(tool, 120, 110);
        InvalidateRect(tool, nullptr, TRUE);
        UpdateWindow(tool);
        EXPECT_EQ("", CompareViewWithPattern(tool));
        DestroyWindow(tool);
        module.cleanup(0);
        module.Free();
        WNDCLASSA gone;
        EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "GlimberTool", &gone)) << "class left behind";
    }
}

}  // namespace
