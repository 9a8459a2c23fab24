#include "common/posix/environment.h"
#include "common/tempfolder.h"
#include "support/modFSO.h"

#include <gtest/gtest.h>

using namespace stampwell::support;
using stampwell::test::RunAsNobody;
using stampwell::test::TempFolder;
using stampwell::test::WriteBytes;

TEST(ModFSOPosix, BackslashIsAnOrdinaryCharacter) {
    EXPECT_EQ(GetFileName("/dir/a\\b.txt"), "a\\b.txt");
    EXPECT_EQ(BuildPath("/Data\\", "sub"), "/Data\\/sub");
    EXPECT_EQ(StripLeadingBackslash("\\x"), "\\x");
    EXPECT_EQ(AddBackslash("/"), "/");
}

TEST(ModFSOPosix, NamesInAnyEncodingWork) {
    TempFolder temp;
    const std::string latin1 = temp / "caf\xE9.lng"; // not UTF-8
    WriteBytes(latin1, "x");
    EXPECT_TRUE(FileExists(latin1));
    EXPECT_EQ(GetExtensionName(latin1), "lng");
}

TEST(ModFSOPosix, CreateFolderRefusedNamesTheReason) {
    TempFolder temp;
    const int result = RunAsNobody([&] {
        const std::string text = CreateFolder(temp / "Quillbox");
        return text.starts_with("CreateFolder Error(13): Permission denied NewPath: ") ? 0 : 1;
    });
    EXPECT_EQ(result, 0);
}
