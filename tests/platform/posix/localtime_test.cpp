#include "platform/localtime.h"
#include "testing/environment.h"

#include <gtest/gtest.h>

using namespace stampwell::platform;

// The offset in force at that date; a skipped hour does not exist, a repeated
// one is taken at its first instant; the fraction is kept.
TEST(LocalTime, UsesTheRulesInForceAtThatDate) {
    const stampwell::testing::ScopedEnv zone("TZ", "Europe/Berlin");
    const std::pair<LocalDateTime, std::optional<FileTime>> cases[] = {
        {{2024, 7, 31, 12, 0, 0, 123456789}, FileTime{1722420000, 123456789}},
        {{2024, 3, 31, 2, 30, 0, 0}, std::nullopt},
        // 02:30 happens at 00:30 UTC (summer time) and again at 01:30 UTC.
        {{2024, 10, 27, 2, 30, 0, 0}, FileTime{1729989000, 0}},
        {{2024, 2, 30, 0, 0, 0, 0}, std::nullopt}};
    for (const auto& [local, instant] : cases)
        EXPECT_EQ(FromLocal(local), instant) << local.year << "-" << local.month;
}
