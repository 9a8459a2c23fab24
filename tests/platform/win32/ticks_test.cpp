#include "platform/filetime.h"
#include "platform/win32/ticks.h"

#include <cstdint>
#include <gtest/gtest.h>

using namespace stampwell::platform;
using namespace stampwell::platform::win32;

namespace {

FILETIME Ticks(std::uint64_t count) {
    FILETIME t{};
    t.dwLowDateTime = static_cast<DWORD>(count);
    t.dwHighDateTime = static_cast<DWORD>(count >> 32);
    return t;
}

std::uint64_t Count(const FILETIME& t) {
    return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

} // namespace

TEST(Ticks, ConvertExactlyBothWays) {
    struct Case {
        std::uint64_t ticks;
        FileTime time;
    };
    const Case cases[] = {
        {116444736000000000ull, {0, 0}},                       // 1970-01-01
        {116444736000000001ull, {0, 100}},                     // one tick later
        {116444735999999999ull, {-1, 999'999'900}},            // one tick before 1970
        {1ull, {-11644473600, 100}},                           // the first tick of 1601
        {133600000001234567ull, {1715526400, 123'456'700}},    // 2024, every tick digit
        {0x7FFFFFFFFFFFFFFFull, {910692730085, 477'580'700}}}; // the last signed tick
    for (const auto& c : cases) {
        EXPECT_EQ(FromTicks(Ticks(c.ticks)), c.time) << c.ticks;
        const auto back = ToTicks(c.time);
        ASSERT_TRUE(back) << c.ticks;
        EXPECT_EQ(Count(*back), c.ticks);
    }
}

TEST(Ticks, RefuseTimesAFileTimeCannotHoldExactly) {
    EXPECT_FALSE(ToTicks({0, 150}));                    // not whole 100 ns ticks
    EXPECT_FALSE(ToTicks({0, 1'000'000'000}));          // not a valid fraction
    EXPECT_FALSE(ToTicks({-11644473600, 0}));           // tick 0 means "unchanged"
    EXPECT_FALSE(ToTicks({-11644473601, 0}));           // before 1601
    EXPECT_FALSE(ToTicks({910692730085, 477'580'800})); // past the last signed tick
    EXPECT_FALSE(ToTicks({INT64_MAX, 0}));
    EXPECT_FALSE(ToTicks({INT64_MIN, 0}));
}

TEST(Now, IsTheSystemClockInWholeTicks) {
    FILETIME before{};
    GetSystemTimeAsFileTime(&before);
    const FileTime now = Now();
    FILETIME after{};
    GetSystemTimeAsFileTime(&after);
    EXPECT_EQ(now.nanoseconds % 100, 0u);
    EXPECT_LE(FromTicks(before).seconds, now.seconds);
    EXPECT_GE(FromTicks(after).seconds, now.seconds);
}
