#include "support/modFSO.h"
#include "testing/asnobody.h"
#include "testing/tempfolder.h"

#include <gtest/gtest.h>

using namespace stampwell::support;
using stampwell::testing::TempFolder;

// A backslash or a colon is part of a name here, and names need not be UTF-8.
TEST(ModFSOPosix, NamesAreAnyBytesButTheSlash) {
    EXPECT_EQ(BuildPath("/Data\\", "\\sub"), "/Data\\/\\sub");
    EXPECT_EQ(GetFileName("/dir/a\\b.txt"), "a\\b.txt");
    TempFolder temp;
    EXPECT_EQ(GetExtensionName(temp.File("caf\xE9.lng")), "lng");
    EXPECT_EQ(GetExtensionName(temp.File("a.b:c")), "");
    EXPECT_EQ(CreateFolder("/"), "");
}

TEST(ModFSOPosix, CreateFolderRefusedNamesTheReason) {
    TempFolder temp;
    EXPECT_EQ(stampwell::testing::AsNobody([&] {
                  return CreateFolder(temp.Path("Quillbox"))
                                 .starts_with("CreateFolder Error(13): Permission denied NewPath: ")
                             ? 0
                             : 1;
              }),
              0);
}
