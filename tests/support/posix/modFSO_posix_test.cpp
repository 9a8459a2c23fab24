#include "support/modFSO.h"
#include "testing/asnobody.h"
#include "testing/tempfolder.h"

#include <gtest/gtest.h>

using namespace stampwell::support;
using stampwell::testing::AsNobody;
using stampwell::testing::TempFolder;
using stampwell::testing::WriteBytes;

TEST(ModFSOPosix, BackslashIsAnOrdinaryCharacter) {
    EXPECT_EQ(GetFileName("/dir/a\\b.txt"), "a\\b.txt");
    EXPECT_EQ(BuildPath("/Data\\", "sub"), "/Data\\/sub");
    EXPECT_EQ(StripLeadingBackslash("\\x"), "\\x");
    EXPECT_EQ(AddBackslash("/"), "/");
}

TEST(ModFSOPosix, NamesInAnyEncodingWork) {
    TempFolder temp;
    const std::string latin1 = temp.Path("caf\xE9.lng"); // not UTF-8
    WriteBytes(latin1, "x");
    EXPECT_TRUE(FileExists(latin1));
    EXPECT_EQ(GetExtensionName(latin1), "lng");
}

TEST(ModFSOPosix, CreateFolderRefusedNamesTheReason) {
    TempFolder temp;
    const int result = AsNobody([&] {
        const std::string text = CreateFolder(temp.Path("Quillbox"));
        return text.starts_with("CreateFolder Error(13): Permission denied NewPath: ") ? 0 : 1;
    });
    EXPECT_EQ(result, 0);
}
