#include "app/textcodec.h"

#include <gtest/gtest.h>

using namespace stampwell::app;

// The bytes 1252 leaves undefined survive as the control characters of the same number.
TEST(TextCodec, InvalidUtf8IsReadAsWindows1252) {
    EXPECT_EQ(DecodeText("Gr\xFC\xDF"
                         "e \x80\x9F"),
              "Gr\xC3\xBC\xC3\x9F"
              "e \xE2\x82\xAC\xC5\xB8");
    EXPECT_EQ(Windows1252ToUtf8(std::string("\x81\x8D\x8F\x90\x9D\0\x7F\xA0\xFF", 9)),
              std::string("\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D\0\x7F\xC2\xA0\xC3\xBF", 16));
}

// Well-formed UTF-8 only.
TEST(TextCodec, Utf8IsValidOnlyWhenWellFormed) {
    for (const std::string bad :
         {"\xC3", "\xC3(", "\xC0\x80", "\xC1\xBF", "\xED\xA0\x80", "\xE0\x9F\xBF",
          "\xF0\x8F\xBF\xBF", "\xF4\x90\x80\x80", "\xFF", "\xE2\x82", "ok\x80"})
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
    const std::string good = "Gr\xC3\xBC\xC3\x9F"
                             "e \xE2\x82\xAC \xF0\x9F\x98\x80 \xF4\x8F\xBF\xBF \xED\x9F\xBF";
    EXPECT_TRUE(IsValidUtf8(good) && IsValidUtf8(""));
    // The view ends where it ends, whatever follows in memory.
    EXPECT_FALSE(IsValidUtf8(std::string_view("\xE2\x82\xAC", 2)));
    EXPECT_TRUE(IsValidUtf8(std::string_view("ab\xFF", 2)));
}
