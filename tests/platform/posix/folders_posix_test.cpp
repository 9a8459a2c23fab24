#include "platform/folders.h"
#include "testing/environment.h"

#include <gtest/gtest.h>

using namespace stampwell::platform;
using stampwell::testing::ScopedEnv;

TEST(FoldersPosix, AppDataFolderIsXdgConfigHomeElseDotConfig) {
    ScopedEnv home("HOME", "/home/someone");
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", "/tmp/config//");
        EXPECT_EQ(AppDataFolder(), "/tmp/config");
    }
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", "relative/config");
        EXPECT_EQ(AppDataFolder(), "/home/someone/.config") << "a relative value is ignored";
    }
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", "");
        EXPECT_EQ(AppDataFolder(), "/home/someone/.config");
    }
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", std::nullopt);
        ScopedEnv slash("HOME", "/home/someone/");
        EXPECT_EQ(AppDataFolder(), "/home/someone/.config");
    }
}
