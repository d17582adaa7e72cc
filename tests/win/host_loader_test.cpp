// The reference host's module loading: a good module, and each way a module can be wrong.
#include <gtest/gtest.h>

#include "host/plugin_loader.h"

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

}  // namespace
