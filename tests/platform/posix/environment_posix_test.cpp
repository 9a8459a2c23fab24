#include "platform/folders.h"
#include "platform/locale.h"
#include "testing/asnobody.h"
#include "testing/environment.h"

#include <gtest/gtest.h>

using namespace stampwell::platform;
using stampwell::testing::ScopedEnv;

// A relative or empty XDG_CONFIG_HOME is ignored, as the XDG rules say.
TEST(FoldersPosix, AppDataFolderIsXdgConfigHomeElseDotConfig) {
    const std::pair<std::optional<std::string>, std::string> cases[] = {
        {"/tmp/config//", "/tmp/config"},
        {"relative/config", "/home/someone/.config"},
        {std::nullopt, "/home/someone/.config"}};
    ScopedEnv home("HOME", "/home/someone/");
    for (const auto& [xdg, folder] : cases) {
        ScopedEnv config("XDG_CONFIG_HOME", xdg);
        EXPECT_EQ(AppDataFolder(), folder) << xdg.value_or("(none)");
    }
}

// A user with neither HOME nor an entry in the user database has no home
// folder to put the configuration under.
TEST(FoldersPosix, WithoutHomeOrAUserEntryNoHomeIsMadeUp) {
    EXPECT_EQ(stampwell::testing::InChild([] {
                  unsetenv("HOME");
                  unsetenv("XDG_CONFIG_HOME");
                  if (setresuid(54321, 54321, 54321) != 0)
                      return 2;
                  return AppDataFolder().empty() ? 0 : 1;
              }),
              0);
}

// The locales come from Debian's locales-all (tools/install-deps installs it).
TEST(LocalePosix, ShortDatePatternFollowsLcTimeAndIsEmptyWithoutALocale) {
    ScopedEnv lang("LANG", std::nullopt);
    ScopedEnv all("LC_ALL", std::nullopt);
    ScopedEnv none("LC_TIME", std::nullopt);
    EXPECT_EQ(ShortDatePattern(), "") << "no locale set at all is the C locale";
    ScopedEnv time("LC_TIME", "de_DE.UTF-8");
    EXPECT_EQ(ShortDatePattern(), "dd.MM.yyyy") << "is locales-all installed?";
}
