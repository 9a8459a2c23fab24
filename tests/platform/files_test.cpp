#include "common/tempfolder.h"
#include "platform/files.h"

#include <gtest/gtest.h>

using namespace stampwell::platform;
using stampwell::test::EntryCount;
using stampwell::test::ReadBytes;
using stampwell::test::TempFolder;
using stampwell::test::WriteBytes;

TEST(Files, ExistenceTellsFilesFromFolders) {
    TempFolder temp;
    const std::string file = temp / "a.txt";
    WriteBytes(file, "x");
    EXPECT_TRUE(PathExists(file));
    EXPECT_FALSE(IsFolder(file));
    EXPECT_TRUE(PathExists(temp.path()));
    EXPECT_TRUE(IsFolder(temp.path()));
    EXPECT_FALSE(PathExists(temp / "missing"));
    EXPECT_FALSE(IsFolder(temp / "missing"));
    EXPECT_FALSE(PathExists(""));
    EXPECT_FALSE(IsFolder(""));
}

TEST(Files, CreateFolderPathMakesEveryMissingLevel) {
    TempFolder temp;
    const std::string deep = temp / "A" + kPathSeparator + "B" + kPathSeparator + "C";
    EXPECT_FALSE(CreateFolderPath(deep).Failed());
    EXPECT_TRUE(IsFolder(deep));
    EXPECT_FALSE(CreateFolderPath(deep).Failed()) << "an existing folder is success";
}

TEST(Files, CreateFolderPathFailsBelowAFileWithTheSystemReason) {
    TempFolder temp;
    WriteBytes(temp / "file", "x");
    const SysError error = CreateFolderPath(temp / "file" + kPathSeparator + "sub");
    EXPECT_TRUE(error.Failed());
    EXPECT_FALSE(error.text.empty());
    EXPECT_TRUE(CreateFolderPath(temp / "file").Failed()) << "a file is not a folder";
}

TEST(Files, ReadWholeFileKeepsEveryByte) {
    TempFolder temp;
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += static_cast<char>(i);
    bytes += std::string(200000, 'z'); // more than one read
    WriteBytes(temp / "binary", bytes);
    std::string read;
    EXPECT_FALSE(ReadWholeFile(temp / "binary", read).Failed());
    EXPECT_EQ(read, bytes);
    EXPECT_TRUE(ReadWholeFile(temp / "missing", read).Failed());
    EXPECT_TRUE(read.empty());
}

TEST(Files, WriteFileAtomicallyReplacesAndLeavesNoTemporaryFile) {
    TempFolder temp;
    const std::string file = temp / "Stampwell.ini";
    EXPECT_FALSE(WriteFileAtomically(file, "first\r\n").Failed());
    EXPECT_EQ(ReadBytes(file), "first\r\n");
    EXPECT_FALSE(WriteFileAtomically(file, std::string("sec\0ond", 7)).Failed());
    EXPECT_EQ(ReadBytes(file), std::string("sec\0ond", 7));
    EXPECT_FALSE(WriteFileAtomically(file, "").Failed());
    EXPECT_EQ(ReadBytes(file), "");
    EXPECT_EQ(EntryCount(temp.path()), 1u);
}

TEST(Files, WriteFileAtomicallyRefusesAMissingFolderOrAFolderTarget) {
    TempFolder temp;
    EXPECT_TRUE(WriteFileAtomically(temp / "no" + kPathSeparator + "file", "x").Failed());
    EXPECT_FALSE(PathExists(temp / "no"));
    ASSERT_FALSE(CreateFolderPath(temp / "folder").Failed());
    EXPECT_TRUE(WriteFileAtomically(temp / "folder", "x").Failed());
    EXPECT_TRUE(IsFolder(temp / "folder"));
    EXPECT_EQ(EntryCount(temp.path()), 1u);
}
