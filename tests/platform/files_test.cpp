#include "platform/files.h"
#include "platform/folders.h"
#include "testing/tempfolder.h"

#include <gtest/gtest.h>

using namespace stampwell::platform;
using stampwell::testing::EntryCount;
using stampwell::testing::ReadBytes;
using stampwell::testing::TempFolder;
using stampwell::testing::WriteBytes;
using namespace std::literals;

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
    const SysError missing = ReadWholeFile(temp.Path("missing"), read);
    EXPECT_TRUE(IsNotFound(missing));
    EXPECT_FALSE(missing.text.empty() || missing.text.back() == '\n') << "one line of text";
    EXPECT_TRUE(read.empty());
}

// A missing folder or a folder in the file's place is refused; a write that
// succeeds replaces the whole file and leaves no temporary file.
TEST(Files, WriteFileAtomicallyReplacesTheWholeFile) {
    TempFolder temp;
    const std::string file = temp.Path("Stampwell.ini");
    for (const std::string& bytes : {"first\r\n"s, "sec\0ond"s, ""s}) {
        EXPECT_FALSE(WriteFileAtomically(file, bytes).Failed());
        EXPECT_EQ(ReadBytes(file), bytes);
    }
    EXPECT_TRUE(WriteFileAtomically(temp.Path("no") + kPathSeparator + "file", "x").Failed());
    EXPECT_FALSE(PathExists(temp.Path("no")));
    ASSERT_FALSE(CreateFolderPath(temp.Path("folder/deeper")).Failed());
    EXPECT_TRUE(WriteFileAtomically(temp.Path("folder"), "x").Failed());
    EXPECT_TRUE(IsFolder(temp.Path("folder/deeper")));
    EXPECT_EQ(EntryCount(temp.Root()), 2u);
}

TEST(Folders, ProgramFolderHoldsTheRunningProgram) {
    const std::string folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_FALSE(IsPathSeparator(folder.back()));
    EXPECT_TRUE(PathExists(folder + kPathSeparator + "platform_tests") ||
                PathExists(folder + kPathSeparator + "platform_tests.exe"));
}
