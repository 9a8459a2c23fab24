#include "platform/locale.h"
#include "testing/environment.h"

#include <gtest/gtest.h>

using namespace stampwell::platform;
using stampwell::testing::ScopedEnv;

// The locales come from Debian's locales-all (tools/install-deps installs it).
TEST(LocalePosix, ShortDatePatternFollowsTheEnvironment) {
    ScopedEnv time("LC_TIME", std::nullopt);
    ScopedEnv lang("LANG", std::nullopt);
    {
        ScopedEnv all("LC_ALL", "de_DE.UTF-8");
        EXPECT_EQ(ShortDatePattern(), "dd.MM.yyyy") << "is locales-all installed?";
    }
    {
        ScopedEnv all("LC_ALL", "en_US.UTF-8");
        EXPECT_EQ(ShortDatePattern(), "MM/dd/yyyy");
    }
    {
        ScopedEnv all("LC_ALL", "C");
        EXPECT_EQ(ShortDatePattern(), "");
    }
    {
        ScopedEnv all("LC_ALL", std::nullopt);
        EXPECT_EQ(ShortDatePattern(), "") << "no locale set at all is the C locale";
        ScopedEnv timeOnly("LC_TIME", "de_DE.UTF-8");
        EXPECT_EQ(ShortDatePattern(), "dd.MM.yyyy");
    }
}
