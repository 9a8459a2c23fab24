#include "app/modRegistry.h"
#include "app/startup.h"
#include "support/modFSO.h"
#include "testing/tempfolder.h"

#include <gtest/gtest.h>

using namespace stampwell::app;
using stampwell::support::BuildPath;
using stampwell::support::CreateFolder;

namespace {

// The first two characters in lower case; a byte that is no UTF-8 is one
// character and stays; nothing past the end of the text is read.
TEST(RecordLanguage, IsTheFirstTwoCharactersInLowerCase) {
    for (const auto& [name, code] : {std::pair<std::string_view, std::string>{"English", "en"},
                                     {"\xD0\x94\xD0\xB0x", "\xD0\xB4\xD0\xB0"},
                                     {"\xCE\xA3\xF0\x90\x90\x80x", "\xCF\x83\xF0\x90\x90\xA8"},
                                     {"\xD6lsprache", "\xD6l"},
                                     {"\xC0\x80", "\xC0\x80"},
                                     {std::string_view("\xC3\xA4", 1), "\xC3"}})
        EXPECT_EQ(RecordLanguage(name), code) << name;
}

TEST(StartupText, LanguageFolderBesideTheProgramElseTheInstalledOne) {
    stampwell::testing::TempFolder temp;
    const std::string bin = temp.Folder("bin");
    EXPECT_EQ(FindLanguageFolder(bin), BuildPath(bin, "lang")) << "neither: the folder beside";
    ASSERT_EQ(CreateFolder(temp.Path("share/stampwell/lang")), "");
    EXPECT_EQ(FindLanguageFolder(bin), BuildPath(bin, "../share/stampwell/lang"));
    ASSERT_EQ(CreateFolder(BuildPath(bin, "lang")), "");
    EXPECT_EQ(FindLanguageFolder(bin), BuildPath(bin, "lang"));
}

} // namespace
