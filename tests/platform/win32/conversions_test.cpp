#include "platform/filetime.h"
#include "platform/win32/ticks.h"
#include "platform/win32/wide.h"

#include <cstdint>
#include <gtest/gtest.h>

using namespace stampwell::platform;
using namespace stampwell::platform::win32;

// Exactly both ways, and no time a FILETIME cannot hold exactly: tick 0
// means "unchanged" to Windows.
TEST(Ticks, ConvertExactlyBothWays) {
    const std::pair<FileTime, std::optional<std::uint64_t>> cases[] = {
        {{0, 0}, 116444736000000000ull},                      // 1970-01-01
        {{0, 100}, 116444736000000001ull},                    // one tick later
        {{-1, 999'999'900}, 116444735999999999ull},           // one tick before 1970
        {{-11644473600, 100}, 1ull},                          // the first tick of 1601
        {{1715526400, 123'456'700}, 133600000001234567ull},   // 2024, every tick digit
        {{910692730085, 477'580'700}, 0x7FFFFFFFFFFFFFFFull}, // the last signed tick
        {{0, 150}, std::nullopt},
        {{0, 1'000'000'000}, std::nullopt},
        {{-11644473600, 0}, std::nullopt},
        {{-11644473601, 0}, std::nullopt},
        {{910692730085, 477'580'800}, std::nullopt},
        {{INT64_MAX, 0}, std::nullopt},
        {{INT64_MIN, 0}, std::nullopt}};
    for (const auto& [time, ticks] : cases) {
        const auto back = ToTicks(time);
        EXPECT_EQ(
            back ? std::optional(back->dwLowDateTime | std::uint64_t{back->dwHighDateTime} << 32)
                 : std::nullopt,
            ticks)
            << time.seconds;
        if (ticks) {
            EXPECT_EQ(FromTicks({static_cast<DWORD>(*ticks), static_cast<DWORD>(*ticks >> 32)}),
                      time);
        }
    }
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
