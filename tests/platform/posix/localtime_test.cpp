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

struct LocalCase {
    const char* zone;
    LocalDateTime local;
    std::optional<std::int64_t> seconds;
};

// The offset in force at that date; a skipped hour does not exist, a repeated
// one is taken at its first instant; the fraction is kept.
TEST(LocalTime, UsesTheRulesInForceAtThatDate) {
    const LocalCase cases[] = {
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
    for (const LocalCase& c : cases) {
        InTimeZone zone(c.zone);
        const auto instant = FromLocal(c.local);
        ASSERT_EQ(instant.has_value(), c.seconds.has_value())
            << c.local.year << "-" << c.local.month;
        if (!instant)
            continue;
        EXPECT_EQ(instant->seconds, *c.seconds) << c.local.year << "-" << c.local.month;
        EXPECT_EQ(instant->nanoseconds, c.local.nanoseconds);
        EXPECT_EQ(ToLocal(*instant), c.local);
    }
    InTimeZone berlin("Europe/Berlin");
    EXPECT_EQ(ToLocal({-710382600 + 3600, 0}), (LocalDateTime{1947, 6, 29, 2, 30, 0, 0}));
}
