#include "platform/localtime.h"
#include "testing/wine.h"

#include <gtest/gtest.h>
#include <windows.h>

using namespace stampwell::platform;

// On the last Sunday of March 02:30 does not exist; on the last Sunday of
// October it happens at 00:30 UTC and again at 01:30 UTC, and is taken at
// the first.
TEST(LocalTime, UsesTheRulesOfTheDateInCentralEurope) {
    // UTC+1, summer time from the last Sunday of March to the last of October.
    TIME_ZONE_INFORMATION rules{};
    const bool centralEuropean = GetTimeZoneInformationForYear(2024, nullptr, &rules) &&
                                 rules.Bias == -60 && rules.DaylightBias == -60 &&
                                 rules.DaylightDate.wMonth == 3 && rules.DaylightDate.wDay == 5 &&
                                 rules.StandardDate.wMonth == 10 && rules.StandardDate.wDay == 5;
    if (stampwell::testing::UnderWine())
        ASSERT_TRUE(centralEuropean) << "the Wine run sets TZ=Europe/Berlin";
    else if (!centralEuropean)
        GTEST_SKIP() << "the machine's zone is not Central European";
    const std::pair<LocalDateTime, std::optional<std::int64_t>> cases[] = {
        {{2024, 1, 15, 12, 0, 0, 0}, 1705316400},
        {{2024, 3, 31, 2, 30, 0, 0}, std::nullopt},
        {{2024, 10, 27, 2, 30, 0, 0}, 1729989000},
        // Windows' calendar starts in 1601: nothing earlier can be stored;
        // fields out of range are refused.
        {{1601, 1, 2, 0, 0, 0, 0}, -11644390800},
        {{1600, 12, 31, 12, 0, 0, 0}, std::nullopt},
        {{2024, 2, 30, 0, 0, 0, 0}, std::nullopt},
        {{2024, 13, 1, 0, 0, 0, 0}, std::nullopt},
        {{2024, 1, 1, 24, 0, 0, 0}, std::nullopt},
        {{2024, 1, 1, 0, 60, 0, 0}, std::nullopt},
        {{2024, 1, 1, 0, 0, 0, 1'000'000'000}, std::nullopt}};
    for (const auto& [local, seconds] : cases) {
        const auto instant = FromLocal(local);
        EXPECT_EQ(instant ? std::optional(instant->seconds) : std::nullopt, seconds) << local.year;
        if (instant) {
            EXPECT_EQ(ToLocal(*instant), local);
        }
    }
    // An instant outside the system calendar is still shown.
    const LocalDateTime early = ToLocal({-12'000'000'000, 5});
    EXPECT_EQ(early.year, 1589);
    EXPECT_EQ(early.nanoseconds, 5u);
}
