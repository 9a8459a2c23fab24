#include "app/startup.h"
#include "support/modFSO.h"
#include "testing/tempfolder.h"

#include <gtest/gtest.h>

using namespace stampwell::app;
using stampwell::support::BuildPath;
using stampwell::support::CreateFolder;
using stampwell::testing::TempFolder;

TEST(StartupText, LanguageFolderBesideTheProgramElseTheInstalledOne) {
    TempFolder temp;
    const std::string bin = BuildPath(temp.Root(), "bin");
    const std::string installed = BuildPath(temp.Root(), "share/stampwell/lang");
    ASSERT_EQ(CreateFolder(bin), "");
    EXPECT_EQ(FindLanguageFolder(bin), BuildPath(bin, "lang")) << "neither: the folder beside";
    ASSERT_EQ(CreateFolder(installed), "");
    EXPECT_EQ(FindLanguageFolder(bin), BuildPath(bin, "../share/stampwell/lang"));
    ASSERT_EQ(CreateFolder(BuildPath(bin, "lang")), "");
    EXPECT_EQ(FindLanguageFolder(bin), BuildPath(bin, "lang"));
}

TEST(StartupText, FailureTextNamesTheFolderAndTheReason) {
    const std::string text =
        DefaultIniFailureText("/home/x/.config/Quillbox/Stampwell", {13, "Permission denied"});
    EXPECT_NE(text.find("/home/x/.config/Quillbox/Stampwell"), std::string::npos);
    EXPECT_NE(text.find("Permission denied"), std::string::npos);
    EXPECT_NE(text.find("Stampwell.ini"), std::string::npos);
}
