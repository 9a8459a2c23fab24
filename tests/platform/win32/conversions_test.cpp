#include "platform/filetime.h"
#include "platform/win32/ticks.h"
#include "platform/win32/wide.h"

#include <cstdint>
#include <gtest/gtest.h>

using namespace stampwell::platform;
using namespace stampwell::platform::win32;

TEST(Ticks, ConvertExactlyBothWays) {
    const std::pair<std::uint64_t, FileTime> cases[] = {
        {116444736000000000ull, {0, 0}},                       // 1970-01-01
        {116444735999999999ull, {-1, 999'999'900}},            // one tick before 1970
        {1ull, {-11644473600, 100}},                           // the first tick of 1601
        {133600000001234567ull, {1715526400, 123'456'700}},    // 2024, every tick digit
        {0x7FFFFFFFFFFFFFFFull, {910692730085, 477'580'700}}}; // the last signed tick
    for (const auto& [ticks, time] : cases) {
        const FILETIME t{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
        EXPECT_EQ(FromTicks(t), time) << ticks;
        const auto back = ToTicks(time);
        ASSERT_TRUE(back) << ticks;
        EXPECT_EQ(back->dwLowDateTime | std::uint64_t{back->dwHighDateTime} << 32, ticks);
    }
    EXPECT_FALSE(ToTicks({0, 150}));                    // not whole 100 ns ticks
    EXPECT_FALSE(ToTicks({0, 1'000'000'000}));          // not a valid fraction
    EXPECT_FALSE(ToTicks({-11644473600, 0}));           // tick 0 means "unchanged"
    EXPECT_FALSE(ToTicks({-11644473601, 0}));           // before 1601
    EXPECT_FALSE(ToTicks({910692730085, 477'580'800})); // past the last signed tick
}

// Lone surrogates survive the round trip; malformed bytes become
// replacement characters.
TEST(Wide, RoundTripsEveryPlaneAndLoneSurrogates) {
    const std::string text = "Gr\xC3\xBC\xC3\x9F"
                             "e \xE2\x82\xAC \xF0\x9F\x98\x80";
    EXPECT_EQ(Widen(text), std::wstring(L"Gr\u00FC\u00DFe \u20AC \xD83D\xDE00"));
    EXPECT_EQ(Narrow(Widen(text)), text);
    const std::wstring name = {L'a', wchar_t(0xD800), L'b', wchar_t(0xDC01)};
    EXPECT_EQ(Widen(Narrow(name)), name);
    EXPECT_EQ(Widen("a\xFF"
                    "b"),
              std::wstring(L"a\uFFFDb"));
    EXPECT_EQ(Widen("\xC3"), std::wstring(L"\uFFFD"));
    EXPECT_EQ(Widen("\xC0\x80"), std::wstring(L"\uFFFD\uFFFD")); // overlong NUL
}

TEST(Wide, LongAbsolutePathsGetTheExtendedPrefix) {
    const std::string longName(300, 'x');
    EXPECT_EQ(WidePath("C:/short/name"), std::wstring(L"C:\\short\\name"));
    EXPECT_EQ(WidePath("C:\\" + longName), L"\\\\?\\C:\\" + Widen(longName));
    EXPECT_EQ(WidePath("\\\\server\\share\\" + longName),
              L"\\\\?\\UNC\\server\\share\\" + Widen(longName));
    EXPECT_EQ(WidePath("\\\\?\\C:\\" + longName), L"\\\\?\\C:\\" + Widen(longName));
}
