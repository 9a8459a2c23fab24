#include "support/datetimetext.h"
#include "testing/environment.h"

#include <gtest/gtest.h>

using namespace stampwell::support;
using stampwell::platform::LocalDateTime;
using stampwell::testing::ScopedEnv;

// The locales come from Debian's locales-all (tools/install-deps installs it).
TEST(DateTimeTextLocale, FollowsTheLocaleOrderAndSeparator) {
    const LocalDateTime t{2024, 12, 31, 23, 59, 58, 0};
    ScopedEnv time("LC_TIME", std::nullopt);
    struct Case {
        const char* locale;
        const char* text;
    };
    for (const Case& c :
         {Case{"de_DE.UTF-8", "31.12.2024 23:59:58"}, Case{"en_US.UTF-8", "12/31/2024 23:59:58"},
          Case{"en_GB.UTF-8", "31/12/2024 23:59:58"}, Case{"C", "2024-12-31 23:59:58"},
          Case{"POSIX", "2024-12-31 23:59:58"}}) {
        ScopedEnv all("LC_ALL", c.locale);
        EXPECT_EQ(FormatDateTimeText(t), c.text) << c.locale;
        EXPECT_EQ(ParseDateTimeText(c.text), t) << c.locale;
    }
}
