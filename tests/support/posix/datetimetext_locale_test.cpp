#include "support/datetimetext.h"
#include "testing/environment.h"

#include <gtest/gtest.h>

using namespace stampwell::support;

// The text is in the order of the locale's short date and reads back as the
// same time.
TEST(DateTimeTextLocale, TextFollowsTheLocaleAndRoundTrips) {
    const stampwell::platform::LocalDateTime t{2024, 12, 31, 23, 59, 58, 0};
    stampwell::testing::ScopedEnv all("LC_ALL", "en_US.utf8");
    EXPECT_EQ(FormatDateTimeText(t), "12/31/2024 23:59:58");
    EXPECT_EQ(ParseDateTimeText("12/31/2024 23:59:58"), t);
}
