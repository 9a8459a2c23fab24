#include "app/modRegistry.h"

#include <gtest/gtest.h>

using namespace stampwell::app;

TEST(ModRegistry, RecordLanguageIsTheFirstTwoCharactersInLowerCase) {
    EXPECT_EQ(RecordLanguage("English"), "en");
    EXPECT_EQ(RecordLanguage("Deutsch"), "de");
    EXPECT_EQ(RecordLanguage("X"), "x");
    EXPECT_EQ(RecordLanguage(""), "");
    EXPECT_EQ(RecordLanguage(" Deutsch"), " d");
    EXPECT_EQ(RecordLanguage("\xC3\x96lsprache"), "\xC3\xB6l") << "\xC3\x96 is lowered";
    EXPECT_EQ(RecordLanguage("\xCE\xA3\xF0\x90\x90\x80x"), "\xCF\x83\xF0\x90\x90\xA8")
        << "two and four bytes";
    EXPECT_EQ(RecordLanguage("\xD6lsprache"), "\xD6l") << "a byte that is not UTF-8 stays";
}
