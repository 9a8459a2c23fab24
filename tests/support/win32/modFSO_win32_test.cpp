#include "support/modFSO.h"
#include "testing/tempfolder.h"

#include <gtest/gtest.h>

using namespace stampwell::support;

// Both slashes separate; drive paths and paths past MAX_PATH work.
TEST(ModFSOWin32, EitherSlashSeparates) {
    EXPECT_EQ(GetFileName("C:/dir\\file.txt"), "file.txt");
    EXPECT_EQ(BuildPath("C:/Data/", "/sub"), "C:/Data/sub");
    EXPECT_EQ(BuildPath("C:\\Data", "\\sub"), "C:\\Data\\sub");
    stampwell::testing::TempFolder temp;
    std::string deep = temp.Root() + "/A/";
    for (int i = 0; i < 30; ++i)
        deep += "\\folder-number-" + std::to_string(i);
    EXPECT_EQ(CreateFolder(deep), "");
    EXPECT_TRUE(FolderExists(deep));
}
