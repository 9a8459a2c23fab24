#include "support/modFSO.h"
#include "testing/tempfolder.h"

#include <gtest/gtest.h>

using namespace stampwell::support;
using stampwell::testing::TempFolder;

// A backslash or a colon is part of a name here, and names need not be UTF-8.
// A refusal names the error number and its text.
TEST(ModFSOPosix, NamesAreAnyBytesButTheSlash) {
    EXPECT_EQ(BuildPath("/Data\\", "\\sub"), "/Data\\/\\sub");
    EXPECT_EQ(GetFileName("/dir/a\\b.txt"), "a\\b.txt");
    TempFolder temp;
    EXPECT_EQ(GetExtensionName(temp.File("caf\xE9.lng")), "lng");
    EXPECT_EQ(GetExtensionName(temp.File("a.b:c")), "");
    EXPECT_EQ(CreateFolder("/"), "");
    EXPECT_TRUE(CreateFolder(temp.Path("a.b:c/x"))
                    .starts_with("CreateFolder Error(20): Not a directory NewPath: /"));
}
