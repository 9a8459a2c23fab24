#include "platform/locale.h"
#include "testing/environment.h"

#include <gtest/gtest.h>

using namespace stampwell::platform;
using stampwell::testing::ScopedEnv;

// The locales come from Debian's locales-all (tools/install-deps installs it);
// LC_ALL is read through the date-time text.
TEST(LocalePosix, ShortDatePatternFollowsLcTimeAndIsEmptyWithoutALocale) {
    ScopedEnv time("LC_TIME", std::nullopt);
    ScopedEnv lang("LANG", std::nullopt);
    ScopedEnv all("LC_ALL", std::nullopt);
    EXPECT_EQ(ShortDatePattern(), "") << "no locale set at all is the C locale";
    ScopedEnv timeOnly("LC_TIME", "de_DE.UTF-8");
    EXPECT_EQ(ShortDatePattern(), "dd.MM.yyyy") << "is locales-all installed?";
}
