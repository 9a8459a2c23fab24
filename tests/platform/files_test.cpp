#include "platform/files.h"
#include "testing/tempfolder.h"

#include <gtest/gtest.h>

using namespace stampwell::platform;
using stampwell::testing::EntryCount;
using stampwell::testing::ReadBytes;
using stampwell::testing::TempFolder;
using stampwell::testing::WriteBytes;

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
