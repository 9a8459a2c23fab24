#include "support/datetimetext.h"
#include "testing/environment.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <map>

using namespace stampwell::support;
using stampwell::testing::ScopedEnv;

// Every locale the system has (Debian's locales-all, from tools/install-deps),
// UTF-8 or not: the text is 19 ASCII characters in the locale's order and
// reads back as the same time.
TEST(DateTimeTextLocale, EveryInstalledLocaleRoundTrips) {
    const stampwell::platform::LocalDateTime t{2024, 12, 31, 23, 59, 58, 0};
    const std::map<std::string, std::string> known = {{"de_DE.utf8", "31.12.2024 23:59:58"},
                                                      {"en_US.utf8", "12/31/2024 23:59:58"},
                                                      {"en_GB.utf8", "31/12/2024 23:59:58"},
                                                      {"C", "2024-12-31 23:59:58"}};
    ScopedEnv time("LC_TIME", std::nullopt);
    FILE* list = popen("locale -a", "r");
    ASSERT_NE(list, nullptr);
    char line[256];
    std::size_t locales = 0, seen = 0;
    while (std::fgets(line, sizeof line, list) != nullptr) {
        const std::string locale(line, std::strcspn(line, "\n"));
        ScopedEnv all("LC_ALL", locale);
        const std::string text = FormatDateTimeText(t);
        EXPECT_EQ(text.size(), 19u) << locale << ": " << text;
        EXPECT_TRUE(std::all_of(text.begin(), text.end(), [](char c) { return c > 0; })) << locale;
        EXPECT_EQ(ParseDateTimeText(text), t) << locale << ": " << text;
        if (known.contains(locale)) {
            EXPECT_EQ(text, known.at(locale));
            ++seen;
        }
        ++locales;
    }
    pclose(list);
    EXPECT_EQ(seen, known.size());
    EXPECT_GT(locales, 100u) << "locales-all is installed by tools/install-deps";
}
