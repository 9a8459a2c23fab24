#include "platform/files.h"
#include "testing/tempfolder.h"

#include <gtest/gtest.h>

using namespace stampwell::platform;
using stampwell::testing::EntryCount;
using stampwell::testing::ReadBytes;
using stampwell::testing::TempFolder;
using stampwell::testing::WriteBytes;

TEST(Files, ExistenceTellsFilesFromFolders) {
    TempFolder temp;
    const std::string file = temp.Path("a.txt");
    WriteBytes(file, "x");
    EXPECT_TRUE(PathExists(file));
    EXPECT_FALSE(IsFolder(file));
    EXPECT_TRUE(PathExists(temp.Root()));
    EXPECT_TRUE(IsFolder(temp.Root()));
    EXPECT_FALSE(PathExists(temp.Path("missing")));
    EXPECT_FALSE(IsFolder(temp.Path("missing")));
    EXPECT_FALSE(PathExists(""));
    EXPECT_FALSE(IsFolder(""));
}

TEST(Files, CreateFolderPathMakesEveryMissingLevel) {
    TempFolder temp;
    const std::string deep = temp.Path("A") + kPathSeparator + "B" + kPathSeparator + "C";
    EXPECT_FALSE(CreateFolderPath(deep).Failed());
    EXPECT_TRUE(IsFolder(deep));
    EXPECT_FALSE(CreateFolderPath(deep).Failed()) << "an existing folder is success";
}

TEST(Files, CreateFolderPathFailsBelowAFileWithTheSystemReason) {
    TempFolder temp;
    WriteBytes(temp.Path("file"), "x");
    const SysError error = CreateFolderPath(temp.Path("file") + kPathSeparator + "sub");
    EXPECT_TRUE(error.Failed());
    EXPECT_FALSE(error.text.empty());
    EXPECT_TRUE(CreateFolderPath(temp.Path("file")).Failed()) << "a file is not a folder";
}

TEST(Files, ReadWholeFileKeepsEveryByte) {
    TempFolder temp;
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += static_cast<char>(i);
    bytes += std::string(200000, 'z'); // more than one read
    WriteBytes(temp.Path("binary"), bytes);
    std::string read;
    EXPECT_FALSE(ReadWholeFile(temp.Path("binary"), read).Failed());
    EXPECT_EQ(read, bytes);
    EXPECT_TRUE(ReadWholeFile(temp.Path("missing"), read).Failed());
    EXPECT_TRUE(read.empty());
}

TEST(Files, WriteFileAtomicallyReplacesAndLeavesNoTemporaryFile) {
    TempFolder temp;
    const std::string file = temp.Path("Stampwell.ini");
    EXPECT_FALSE(WriteFileAtomically(file, "first\r\n").Failed());
    EXPECT_EQ(ReadBytes(file), "first\r\n");
    EXPECT_FALSE(WriteFileAtomically(file, std::string("sec\0ond", 7)).Failed());
    EXPECT_EQ(ReadBytes(file), std::string("sec\0ond", 7));
    EXPECT_FALSE(WriteFileAtomically(file, "").Failed());
    EXPECT_EQ(ReadBytes(file), "");
    EXPECT_EQ(EntryCount(temp.Root()), 1u);
}

TEST(Files, WriteFileAtomicallyRefusesAMissingFolderOrAFolderTarget) {
    TempFolder temp;
    EXPECT_TRUE(WriteFileAtomically(temp.Path("no") + kPathSeparator + "file", "x").Failed());
    EXPECT_FALSE(PathExists(temp.Path("no")));
    ASSERT_FALSE(CreateFolderPath(temp.Path("folder")).Failed());
    EXPECT_TRUE(WriteFileAtomically(temp.Path("folder"), "x").Failed());
    EXPECT_TRUE(IsFolder(temp.Path("folder")));
    EXPECT_EQ(EntryCount(temp.Root()), 1u);
}
