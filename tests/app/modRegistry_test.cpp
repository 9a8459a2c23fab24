#include "app/modRegistry.h"

#include <gtest/gtest.h>

using namespace stampwell::app;

TEST(ModRegistry, RecordLanguageIsTheFirstTwoCharactersInLowerCase) {
    EXPECT_EQ(RecordLanguage("English"), "en");
    EXPECT_EQ(RecordLanguage("Deutsch"), "de");
    EXPECT_EQ(RecordLanguage("X"), "x");
    EXPECT_EQ(RecordLanguage(""), "");
    EXPECT_EQ(RecordLanguage(" Deutsch"), " d");
    EXPECT_EQ(RecordLanguage("\xC3\x84gypt"), "\xC3\x84g") << "a character is never cut";
}
