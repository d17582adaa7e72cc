// The reference host's settings file, natively and (with MoveFileEx) under both Windows builds.
#include <cstdint>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>

#include "host/settings_file.h"

#ifdef _WIN32
#include <direct.h>
#define MakeFolder(path) _mkdir(path)
#define RemoveFolder(path) _rmdir(path)
#else
#include <unistd.h>
#define MakeFolder(path) mkdir(path, 0755)
#define RemoveFolder(path) rmdir(path)
#endif

namespace {

std::string TempPath(const char* name)
{
    return ::testing::TempDir() + name;
}

void WriteRaw(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

bool Exists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

TEST(HostSettings, SavesReplaceTheFileWholeAndAFailedSaveKeepsTheOld)
{
    const std::string path = TempPath("glimber-host-settings.ini");
    PanelSettings saved, loaded;
    std::string problem;
    saved.toolStates = {4, 16, 0, -4, 40, 2147483647};
    ASSERT_TRUE(SaveSettings(path, saved));
    saved.toolStates = {7, 8};
    ASSERT_TRUE(SaveSettings(path, saved)) << "a save replaces an existing file";
    EXPECT_EQ(SettingsLoad::kLoaded, LoadSettings(path, loaded, problem)) << problem;
    EXPECT_EQ(saved.toolStates, loaded.toolStates);
    EXPECT_FALSE(Exists(path + ".new")) << "no temporary file is left beside the settings";

    // The save dies before its new text is whole: here the temporary file cannot even be
    // written, as on a full disk. The old settings are still there, complete.
    ASSERT_EQ(0, MakeFolder((path + ".new").c_str()));
    PanelSettings other;
    other.toolStates = {1, 2, 3};
    EXPECT_FALSE(SaveSettings(path, other)) << "a failed save is reported";
    RemoveFolder((path + ".new").c_str());
    EXPECT_EQ(SettingsLoad::kLoaded, LoadSettings(path, loaded, problem)) << problem;
    EXPECT_EQ(saved.toolStates, loaded.toolStates);

    std::remove(path.c_str());
    EXPECT_EQ(SettingsLoad::kMissing, LoadSettings(path, loaded, problem));
}

TEST(HostSettings, ThePanelsPlaceTravelsWithTheToolsAndOlderFilesHaveNone)
{
    PanelSettings saved, loaded;
    saved.toolStates = {3, 8};
    saved.place = PanelPlace{-20, 35, 500, 300};
    EXPECT_EQ("", ParseSettings(FormatSettings(saved), loaded));
    EXPECT_EQ(saved.toolStates, loaded.toolStates);
    EXPECT_EQ(-20, loaded.place.left);
    EXPECT_EQ(35, loaded.place.top);
    EXPECT_EQ(500, loaded.place.width);
    EXPECT_EQ(300, loaded.place.height);
    // A file from before the panel remembered its place, and one whose place is cut short.
    EXPECT_EQ("", ParseSettings("[Panel]\nTools=1\nTool0State=4\n", loaded));
    EXPECT_FALSE(loaded.place.Known());
    EXPECT_EQ("", ParseSettings("[Panel]\nTools=0\nLeft=5\nTop=5\nWidth=400\n", loaded));
    EXPECT_FALSE(loaded.place.Known());
}

TEST(HostSettings, DamagedFilesLoadWhatCanBeReadAndSaySo)
{
    PanelSettings settings;
    EXPECT_EQ(
        "some tool settings could not be read; those tools have the default",
        ParseSettings("[Panel]\r\nTools=3\r\nTool0State=9\r\ngarbage\r\nTool1State=x\r\nTool7State=5\r\n", settings));
    EXPECT_EQ((std::vector<int32_t>{9, 4, 4}), settings.toolStates);
    EXPECT_EQ("", ParseSettings("[Panel]\nTools=2\nTool0State=-2147483648\nTool1State=17\n", settings));
    EXPECT_EQ((std::vector<int32_t>{INT32_MIN, 17}), settings.toolStates);

    std::string thousand = "[Panel]\nTools=1000\n";
    for (int i = 0; i < 1000; ++i)
        thousand += "Tool" + std::to_string(i) + "State=" + std::to_string(i) + "\n";
    std::string garbage(4096, '\0');
    std::mt19937 random(7);
    for (char& c : garbage)
        c = static_cast<char>(random());
    const std::string sound = FormatSettings(PanelSettings{{5, 6, 7}, {}});
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<int32_t> states;  // what the panel gets
    } cases[] = {
        {"empty", "", {}},
        {"cut inside a key", sound.substr(0, sound.find("Tool2") + 5), {5, 6, 4}},
        {"cut inside the count", "[Panel]\nToo", {}},
        {"binary garbage", garbage, {}},
        {"a count of tools too large for any panel", "Tools=99999999999999999999\n", {}},
        {"a state out of 32-bit range", "Tools=1\nTool0State=4294967296\n", {4}},
        {"huge", "Tools=1\n" + std::string(kMaxSettingsBytes, ';'), {}},
        {"a thousand tools", thousand, {}},
    };
    cases[7].states.resize(kMaxPanelTools);
    for (int i = 0; i < kMaxPanelTools; ++i)
        cases[7].states[i] = i;
    const std::string path = TempPath("glimber-damaged-settings.ini");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteRaw(path, c.bytes);
        std::string problem;
        settings.toolStates = {99};
        EXPECT_EQ(SettingsLoad::kDamaged, LoadSettings(path, settings, problem));
        EXPECT_FALSE(problem.empty());
        EXPECT_EQ(c.states, settings.toolStates);
    }
    std::remove(path.c_str());
}

}  // namespace
