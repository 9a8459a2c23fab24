#include "platform/win32/wide.h"

#include <gtest/gtest.h>

using namespace stampwell::platform::win32;

TEST(Wide, RoundTripsEveryPlane) {
    const std::string text = "Gr\xC3\xBC\xC3\x9F"
                             "e \xE2\x82\xAC \xF0\x9F\x98\x80";
    const std::wstring wide = Widen(text);
    EXPECT_EQ(wide, std::wstring(L"Gr\u00FC\u00DFe \u20AC \xD83D\xDE00"));
    EXPECT_EQ(Narrow(wide), text);
}

TEST(Wide, LoneSurrogatesSurviveTheRoundTrip) {
    const std::wstring name = {L'a', static_cast<wchar_t>(0xD800), L'b',
                               static_cast<wchar_t>(0xDC01)};
    EXPECT_EQ(Widen(Narrow(name)), name);
}

TEST(Wide, MalformedBytesBecomeReplacementCharacters) {
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
