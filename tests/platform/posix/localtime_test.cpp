#include "platform/localtime.h"
#include "testing/environment.h"

#include <gtest/gtest.h>

using namespace stampwell::platform;

// The offset in force at that date; a skipped hour does not exist, a repeated
// one is taken at its first instant; the fraction is kept.
TEST(LocalTime, UsesTheRulesInForceAtThatDate) {
    const struct {
        const char* zone;
        LocalDateTime local;
        std::optional<std::int64_t> seconds;
    } cases[] = {
        {"Europe/Berlin", {2024, 7, 15, 12, 0, 0, 123456789}, 1721037600},
        {"Europe/Berlin", {2024, 1, 15, 12, 0, 0, 0}, 1705316400},
        {"Europe/Berlin", {2024, 3, 31, 2, 30, 0, 0}, std::nullopt},
        // 02:30 happens at 00:30 UTC (summer time) and again at 01:30 UTC.
        {"Europe/Berlin", {2024, 10, 27, 2, 30, 0, 0}, 1729989000},
        // On 1947-06-29 Berlin went back from 03:00 CEMT (UTC+3) to 02:00 CEST
        // (UTC+2); on 1947-05-11 it went on from 03:00 CEST to 04:00 CEMT.
        {"Europe/Berlin", {1947, 6, 29, 2, 30, 0, 0}, -710382600},
        {"Europe/Berlin", {1947, 5, 11, 3, 30, 0, 0}, std::nullopt},
        {"UTC", {2024, 2, 29, 23, 59, 59, 0}, 1709251199},
        {"UTC", {2024, 2, 30, 0, 0, 0, 0}, std::nullopt},
        {"UTC", {2024, 13, 1, 0, 0, 0, 0}, std::nullopt},
        {"UTC", {2024, 1, 1, 24, 0, 0, 0}, std::nullopt},
    };
    for (const auto& c : cases) {
        const stampwell::testing::ScopedEnv zone("TZ", c.zone);
        const auto instant = FromLocal(c.local);
        ASSERT_EQ(instant.has_value(), c.seconds.has_value())
            << c.local.year << "-" << c.local.month;
        if (!instant)
            continue;
        EXPECT_EQ(instant->seconds, *c.seconds) << c.local.year << "-" << c.local.month;
        EXPECT_EQ(instant->nanoseconds, c.local.nanoseconds);
        EXPECT_EQ(ToLocal(*instant), c.local);
    }
}
