#include "support/datetimetext.h"
#include "testing/environment.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
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

// Every locale the system has, UTF-8 or not: the text is 19 ASCII characters
// and reads back as the same time.
TEST(DateTimeTextLocale, RoundTripsInEveryInstalledLocale) {
    const LocalDateTime t{2024, 12, 31, 23, 59, 58, 0};
    ScopedEnv time("LC_TIME", std::nullopt);
    FILE* list = popen("locale -a", "r");
    ASSERT_NE(list, nullptr);
    char line[256];
    int locales = 0;
    while (std::fgets(line, sizeof line, list) != nullptr) {
        const std::string locale(line, std::strcspn(line, "\n"));
        ScopedEnv all("LC_ALL", locale);
        const std::string text = FormatDateTimeText(t);
        EXPECT_EQ(text.size(), 19u) << locale << ": " << text;
        EXPECT_TRUE(std::all_of(text.begin(), text.end(), [](char c) { return c > 0; })) << locale;
        EXPECT_EQ(ParseDateTimeText(text), t) << locale << ": " << text;
        ++locales;
    }
    pclose(list);
    EXPECT_GT(locales, 100) << "locales-all is installed by tools/install-deps";
}
