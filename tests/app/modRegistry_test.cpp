#include "app/modRegistry.h"
#include "app/startup.h"
#include "support/modFSO.h"
#include "testing/tempfolder.h"

#include <gtest/gtest.h>

using namespace stampwell::app;
using stampwell::support::BuildPath;
using stampwell::support::CreateFolder;

namespace {

class RecordLanguageOf : public ::testing::TestWithParam<std::pair<std::string_view, std::string>> {
};

// The first two characters in lower case; a byte that is no UTF-8 is one
// character and stays; nothing past the end of the text is read.
TEST_P(RecordLanguageOf, IsTheFirstTwoCharactersInLowerCase) {
    EXPECT_EQ(RecordLanguage(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Names, RecordLanguageOf,
    ::testing::Values(std::pair{"English", "en"}, std::pair{"X", "x"}, std::pair{"", ""},
                      std::pair{" Deutsch", " d"}, std::pair{"\xC3\x96lsprache", "\xC3\xB6l"},
                      std::pair{"\xD0\x94\xD0\xB0x", "\xD0\xB4\xD0\xB0"},
                      std::pair{"\xCE\xA3\xF0\x90\x90\x80x", "\xCF\x83\xF0\x90\x90\xA8"},
                      std::pair{"\xE0\xA0\x80\xC2\xA0x", "\xE0\xA0\x80\xC2\xA0"},
                      std::pair{"\xD6lsprache", "\xD6l"},
                      std::pair{"\x80"
                                "ab",
                                "\x80"
                                "a"},
                      std::pair{"\xC0\x80", "\xC0\x80"}, std::pair{"\xF5\x80\x80\x80", "\xF5\x80"},
                      std::pair{"\xE2\x82", "\xE2\x82"},
                      std::pair{std::string_view("\xC3\xA4", 1), "\xC3"}));

TEST(StartupText, LanguageFolderBesideTheProgramElseTheInstalledOne) {
    stampwell::testing::TempFolder temp;
    const std::string bin = temp.Folder("bin");
    EXPECT_EQ(FindLanguageFolder(bin), BuildPath(bin, "lang")) << "neither: the folder beside";
    ASSERT_EQ(CreateFolder(temp.Path("share/stampwell/lang")), "");
    EXPECT_EQ(FindLanguageFolder(bin), BuildPath(bin, "../share/stampwell/lang"));
    ASSERT_EQ(CreateFolder(BuildPath(bin, "lang")), "");
    EXPECT_EQ(FindLanguageFolder(bin), BuildPath(bin, "lang"));
}

TEST(StartupText, FailureTextsNameTheFileAndTheReason) {
    const std::string text = DefaultIniFailureText("/home/x/Stampwell", {13, "Permission denied"});
    EXPECT_NE(
        text.find("Stampwell.ini in the folder\n\n/home/x/Stampwell\n\nReason: Permission denied"),
        std::string::npos)
        << text;
    EXPECT_NE(UnusableFileText("/a/b.lng", {21, "Is a directory"})
                  .find("/a/b.lng\n\nReason: Is a directory"),
              std::string::npos);
}

} // namespace
