#include "support/datetimetext.h"
#include "testing/environment.h"

#include <gtest/gtest.h>

using namespace stampwell::support;

// The text is in the order of the locale's short date and reads back as the
// same time; one locale for each form glibc writes that date in: a two-digit
// year, padding flags, a blank-padded day, alternative digits, letters beyond
// ASCII.
TEST(DateTimeTextLocale, TextFollowsTheLocaleAndRoundTrips) {
    const stampwell::platform::LocalDateTime t{2024, 12, 31, 23, 59, 58, 0};
    for (const auto& [locale, text] : {std::pair{"en_US.utf8", "12/31/2024 23:59:58"},
                                       {"de_DE.utf8", "31.12.2024 23:59:58"},
                                       {"en_GB.utf8", "31/12/2024 23:59:58"},
                                       {"sq_AL.utf8", "31.12.2024 23:59:58"},
                                       {"bg_BG.utf8", "31.12.2024 23:59:58"},
                                       {"fa_IR.utf8", "2024/12/31 23:59:58"},
                                       {"ja_JP.utf8", "2024-12-31 23:59:58"},
                                       {"C", "2024-12-31 23:59:58"}}) {
        stampwell::testing::ScopedEnv all("LC_ALL", locale);
        EXPECT_EQ(FormatDateTimeText(t), text) << locale;
        EXPECT_EQ(ParseDateTimeText(text), t) << locale;
    }
}
