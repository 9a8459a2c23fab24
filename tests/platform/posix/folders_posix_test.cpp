#include "platform/folders.h"
#include "testing/asnobody.h"
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

// A user with neither HOME nor an entry in the user database has no home
// folder to put the configuration under.
TEST(FoldersPosix, WithoutHomeOrAUserEntryNoHomeIsMadeUp) {
    const int result = stampwell::testing::InChild([] {
        unsetenv("HOME");
        unsetenv("XDG_CONFIG_HOME");
        if (setresuid(54321, 54321, 54321) != 0)
            return 2;
        return AppDataFolder().starts_with("/root") ? 1 : 0;
    });
    EXPECT_EQ(result, 0);
}
