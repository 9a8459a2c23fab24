#include "support/modFSO.h"
#include "testing/tempfolder.h"

#include <gtest/gtest.h>

using namespace stampwell::support;
using stampwell::testing::TempFolder;
using stampwell::testing::WriteBytes;

TEST(ModFSOWin32, DrivePathsAndForwardSlashes) {
    EXPECT_EQ(GetFileName("C:\\dir\\file.txt"), "file.txt");
    EXPECT_EQ(GetFileName("C:/dir/file.txt"), "file.txt");
    EXPECT_EQ(GetFileName("C:\\dir\\"), "");
    EXPECT_EQ(BuildPath("C:\\Data", "sub"), "C:\\Data\\sub");
    EXPECT_EQ(BuildPath("C:\\Data\\", "sub"), "C:\\Data\\sub");
    EXPECT_EQ(BuildPath("C:\\Data", "\\sub"), "C:\\Data\\sub");
    EXPECT_EQ(BuildPath("C:/Data/", "/sub"), "C:/Data/sub");
    EXPECT_EQ(BuildPath("C:\\Data\\", "\\\\sub"), "C:\\Data\\\\sub");
    EXPECT_EQ(BuildPath("", "x"), "\\x");
}

TEST(ModFSOWin32, DriveRootIsAFolder) {
    EXPECT_TRUE(FolderExists("C:\\"));
    EXPECT_TRUE(FileExists("C:\\"));
}

TEST(ModFSOWin32, CreateFolderAcceptsForwardSlashesAndLongPaths) {
    TempFolder temp;
    EXPECT_EQ(CreateFolder(temp.Root() + "/A/B/"), "");
    EXPECT_TRUE(FolderExists(temp.Root() + "\\A\\B"));
    std::string deep = temp.Root();
    for (int i = 0; i < 30; ++i)
        deep += "\\folder-number-" + std::to_string(i);
    EXPECT_EQ(CreateFolder(deep), "");
    EXPECT_TRUE(FolderExists(deep));
}
