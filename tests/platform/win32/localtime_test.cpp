#include "platform/localtime.h"
#include "testing/wine.h"

#include <gtest/gtest.h>
#include <windows.h>

using namespace stampwell::platform;
using stampwell::testing::UnderWine;

namespace {

// Whether the machine's zone follows the Central European rules (UTC+1,
// summer time from the last Sunday of March to the last Sunday of October).
// The Wine run sets TZ=Europe/Berlin, which Wine maps to such a zone.
bool CentralEuropean() {
    TIME_ZONE_INFORMATION rules{};
    if (!GetTimeZoneInformationForYear(2024, nullptr, &rules))
        return false;
    return rules.Bias == -60 && rules.DaylightBias == -60 && rules.DaylightDate.wMonth == 3 &&
           rules.DaylightDate.wDay == 5 && rules.StandardDate.wMonth == 10 &&
           rules.StandardDate.wDay == 5;
}

} // namespace

TEST(LocalTime, UsesTheRulesOfTheDateInCentralEurope) {
    if (UnderWine())
        ASSERT_TRUE(CentralEuropean()) << "the Wine run sets TZ=Europe/Berlin";
    else if (!CentralEuropean())
        GTEST_SKIP() << "the machine's zone is not Central European";
    // 2024-07-15 12:00:00 local is 10:00 UTC (summer), 2024-01-15 is 11:00 UTC.
    const auto july = FromLocal({2024, 7, 15, 12, 0, 0, 0});
    const auto january = FromLocal({2024, 1, 15, 12, 0, 0, 0});
    ASSERT_TRUE(july && january);
    EXPECT_EQ(july->seconds, 1721037600);
    EXPECT_EQ(january->seconds, 1705316400);
    EXPECT_EQ(ToLocal(*july), (LocalDateTime{2024, 7, 15, 12, 0, 0, 0}));
    EXPECT_EQ(ToLocal(*january), (LocalDateTime{2024, 1, 15, 12, 0, 0, 0}));
    // 02:30 on the last Sunday of March does not exist; on the last Sunday of
    // October it happens at 00:30 UTC and again at 01:30 UTC.
    EXPECT_FALSE(FromLocal({2024, 3, 31, 2, 30, 0, 0}));
    const auto repeated = FromLocal({2024, 10, 27, 2, 30, 0, 0});
    ASSERT_TRUE(repeated);
    EXPECT_EQ(repeated->seconds, 1729989000);
    EXPECT_EQ(ToLocal({1729989000 + 3600, 0}), (LocalDateTime{2024, 10, 27, 2, 30, 0, 0}));
    // Windows keeps no rules of the past for these zones, nor Wine, which maps
    // TZ to one of Windows' zones: in 1947 they use today's rules. So Berlin's
    // double summer time is unknown here, and 1947-06-29 02:30, which the tz
    // database has twice (23:30 UTC the day before at UTC+3, then 00:30 UTC
    // at UTC+2), occurs once, at 00:30 UTC; POSIX gives 23:30 UTC.
    const auto doubleSummer = FromLocal({1947, 6, 29, 2, 30, 0, 0});
    ASSERT_TRUE(doubleSummer);
    EXPECT_EQ(doubleSummer->seconds, -710379000);
    EXPECT_EQ(ToLocal({-710382600, 0}), (LocalDateTime{1947, 6, 29, 1, 30, 0, 0}));
}

TEST(LocalTime, EveryInstantComesBackAsTheFirstInstantOfItsReading) {
    // Every half hour of two years, in whatever zone the machine has.
    constexpr std::int64_t kStart = 1704067200; // 2024-01-01 00:00 UTC
    for (std::int64_t t = kStart; t < kStart + 2 * 366 * 86400; t += 1800) {
        const LocalDateTime local = ToLocal({t, 400});
        const auto back = FromLocal(local);
        ASSERT_TRUE(back) << t;
        // Equal, or one hour earlier where the reading repeats.
        EXPECT_TRUE(back->seconds == t || back->seconds == t - 3600) << t;
        EXPECT_EQ(back->nanoseconds, 400u);
        EXPECT_EQ(ToLocal(*back), local) << t;
    }
}

TEST(LocalTime, RefusesFieldsOutOfRange) {
    EXPECT_FALSE(FromLocal({2024, 2, 30, 0, 0, 0, 0}));
    EXPECT_FALSE(FromLocal({2023, 2, 29, 12, 0, 0, 0}));
    EXPECT_FALSE(FromLocal({2024, 13, 1, 0, 0, 0, 0}));
    EXPECT_FALSE(FromLocal({2024, 1, 1, 24, 0, 0, 0}));
    EXPECT_FALSE(FromLocal({2024, 1, 1, 0, 60, 0, 0}));
    EXPECT_FALSE(FromLocal({2024, 1, 1, 0, 0, 0, 1'000'000'000}));
    // Windows' calendar starts in 1601: nothing earlier can be stored.
    EXPECT_FALSE(FromLocal({1600, 12, 31, 12, 0, 0, 0}));
    EXPECT_TRUE(FromLocal({2024, 2, 29, 23, 59, 59, 0}));
    EXPECT_TRUE(FromLocal({1601, 1, 2, 0, 0, 0, 0}));
}

TEST(LocalTime, ShowsInstantsOutsideTheSystemCalendar) {
    const LocalDateTime early = ToLocal({-12'000'000'000, 5});
    EXPECT_EQ(early.year, 1589);
    EXPECT_EQ(early.nanoseconds, 5u);
}
