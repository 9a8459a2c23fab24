#include "app/textcodec.h"

#include <gtest/gtest.h>

using namespace stampwell::app;

TEST(TextCodec, ValidUtf8PassesUnchanged) {
    const std::string text = "Gr\xC3\xBC\xC3\x9F"
                             "e \xE2\x82\xAC \xF0\x9F\x98\x80";
    EXPECT_TRUE(IsValidUtf8(text));
    EXPECT_EQ(DecodeText(text), text);
    EXPECT_EQ(DecodeText(""), "");
}

TEST(TextCodec, InvalidUtf8IsReadAsWindows1252) {
    EXPECT_EQ(DecodeText("Gr\xFC\xDF"
                         "e \x80"),
              "Gr\xC3\xBC\xC3\x9F"
              "e \xE2\x82\xAC");
    // The bytes 1252 leaves undefined survive as the control characters of the same number.
    EXPECT_EQ(Windows1252ToUtf8("\x81\x8D\x8F\x90\x9D"),
              "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
    EXPECT_EQ(Windows1252ToUtf8(std::string("\0\x7F", 2)), std::string("\0\x7F", 2));
}

TEST(TextCodec, MalformedSequencesAreNotUtf8) {
    for (const std::string bad : {"\xC3", "\xC3(", "\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                                  "\xFF", "\xE2\x82", "ok\x80"})
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
    // A sequence cut off by the end of the view, whatever follows in memory.
    EXPECT_FALSE(IsValidUtf8(std::string_view("\xE2\x82\xAC", 2)));
}
