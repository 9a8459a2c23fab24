#include "platform/localtime.h"
#include "testing/environment.h"

#include <gtest/gtest.h>

using namespace stampwell::platform;

// The offset in force at that date; a skipped hour does not exist, a repeated
// one is taken at its first instant; the fraction is kept.
TEST(LocalTime, UsesTheRulesInForceAtThatDate) {
    const stampwell::testing::ScopedEnv zone("TZ", "Europe/Berlin");
    const std::pair<LocalDateTime, std::optional<std::int64_t>> cases[] = {
        {{2024, 7, 31, 12, 0, 0, 123456789}, 1722420000},
        {{2024, 3, 31, 2, 30, 0, 0}, std::nullopt},
        // 02:30 happens at 00:30 UTC (summer time) and again at 01:30 UTC.
        {{2024, 10, 27, 2, 30, 0, 0}, 1729989000},
        {{2024, 2, 30, 0, 0, 0, 0}, std::nullopt}};
    for (const auto& [local, seconds] : cases) {
        const auto instant = FromLocal(local);
        EXPECT_EQ(instant ? std::optional(instant->seconds) : std::nullopt, seconds)
            << local.year << "-" << local.month;
        if (instant) {
            EXPECT_EQ(ToLocal(*instant), local);
        }
    }
}
