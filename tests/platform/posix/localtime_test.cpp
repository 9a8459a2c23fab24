#include "platform/localtime.h"

#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <string>

using namespace stampwell::platform;

namespace {

// Runs the test body in a named time zone and puts the old one back.
class InTimeZone {
public:
    explicit InTimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ"))
            old_ = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~InTimeZone() {
        if (old_)
            setenv("TZ", old_->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> old_;
};

} // namespace

TEST(LocalTime, UsesTheOffsetInForceAtThatDate) {
    InTimeZone berlin("Europe/Berlin");
    // 2024-07-15 12:00:00 local is 10:00 UTC (summer), 2024-01-15 is 11:00 UTC.
    const auto july = FromLocal({2024, 7, 15, 12, 0, 0, 0});
    const auto january = FromLocal({2024, 1, 15, 12, 0, 0, 0});
    ASSERT_TRUE(july && january);
    EXPECT_EQ(july->seconds, 1721037600);
    EXPECT_EQ(january->seconds, 1705316400);
    EXPECT_EQ(ToLocal(*july), (LocalDateTime{2024, 7, 15, 12, 0, 0, 0}));
    EXPECT_EQ(ToLocal(*january), (LocalDateTime{2024, 1, 15, 12, 0, 0, 0}));
}

TEST(LocalTime, KeepsTheFraction) {
    InTimeZone berlin("Europe/Berlin");
    const auto t = FromLocal({2024, 7, 15, 12, 0, 0, 123456789});
    ASSERT_TRUE(t);
    EXPECT_EQ(t->nanoseconds, 123456789u);
    EXPECT_EQ(ToLocal(*t).nanoseconds, 123456789u);
}

TEST(LocalTime, RefusesTheSkippedHourAndTakesTheFirstOfARepeatedOne) {
    InTimeZone berlin("Europe/Berlin");
    EXPECT_FALSE(FromLocal({2024, 3, 31, 2, 30, 0, 0}));
    // 02:30 happens at 00:30 UTC (summer time) and again at 01:30 UTC.
    const auto repeated = FromLocal({2024, 10, 27, 2, 30, 0, 0});
    ASSERT_TRUE(repeated);
    EXPECT_EQ(repeated->seconds, 1729989000);
}

TEST(LocalTime, TakesTheFirstOfARepeatedHourBetweenTwoSummerTimes) {
    InTimeZone berlin("Europe/Berlin");
    // On 1947-06-29 Berlin went back from 03:00 CEMT (UTC+3) to 02:00 CEST
    // (UTC+2): 02:30 happens at 23:30 UTC the day before and at 00:30 UTC.
    const auto repeated = FromLocal({1947, 6, 29, 2, 30, 0, 0});
    ASSERT_TRUE(repeated);
    EXPECT_EQ(repeated->seconds, -710382600);
    EXPECT_EQ(ToLocal({-710382600 + 3600, 0}), (LocalDateTime{1947, 6, 29, 2, 30, 0, 0}));
    // On 1947-05-11 it went on from 03:00 CEST to 04:00 CEMT.
    EXPECT_FALSE(FromLocal({1947, 5, 11, 3, 30, 0, 0}));
}

TEST(LocalTime, RefusesFieldsOutOfRange) {
    InTimeZone utc("UTC");
    EXPECT_FALSE(FromLocal({2024, 2, 30, 0, 0, 0, 0}));
    EXPECT_FALSE(FromLocal({2024, 13, 1, 0, 0, 0, 0}));
    EXPECT_FALSE(FromLocal({2024, 1, 1, 24, 0, 0, 0}));
    EXPECT_TRUE(FromLocal({2024, 2, 29, 23, 59, 59, 0}));
}
