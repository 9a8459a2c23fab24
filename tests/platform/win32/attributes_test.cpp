#include "platform/attributes.h"
#include "platform/win32/scratch.h"
#include "testing/wine.h"

#include <gtest/gtest.h>

using namespace stampwell::platform;
using stampwell::testing::UnderWine;

namespace {

std::uint32_t Word(const std::string& path) {
    std::uint32_t word = 0;
    const SysError error = ReadAttributes(path, word);
    EXPECT_FALSE(error.Failed()) << path << ": " << error.text;
    return word;
}

constexpr std::uint32_t kFour = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;

} // namespace

TEST(Attributes, SetsAndClearsEachOfTheFourOnAFile) {
    Scratch scratch;
    const std::string file = scratch.File("a.txt");
    for (const std::uint32_t bit : {kAttrArchive, kAttrReadOnly, kAttrSystem, kAttrHidden}) {
        const std::uint32_t before = Word(file);
        ASSERT_FALSE(WriteAttributes(file, before | bit).Failed());
        EXPECT_EQ(Word(file) & kFour, (before | bit) & kFour) << bit;
        ASSERT_FALSE(WriteAttributes(file, Word(file) & ~bit).Failed());
        if (UnderWine() && bit == kAttrArchive) // Wine sets Archive on every file
            EXPECT_EQ(Word(file) & kFour, kAttrArchive);
        else
            EXPECT_EQ(Word(file) & kFour, before & kFour & ~bit) << bit;
    }
}

TEST(Attributes, AnEmptyWordLeavesAFileWithoutAttributes) {
    Scratch scratch;
    const std::string file = scratch.File("a.txt");
    ASSERT_FALSE(WriteAttributes(file, kFour).Failed());
    ASSERT_FALSE(WriteAttributes(file, 0).Failed());
    // Windows spells "none" as Normal (128); Wine keeps Archive.
    EXPECT_EQ(Word(file), UnderWine() ? kAttrArchive : std::uint32_t{FILE_ATTRIBUTE_NORMAL});
}

TEST(Attributes, WritesAFolderWordWithoutItsDirectoryBit) {
    Scratch scratch;
    const std::string folder = scratch.Folder("sub");
    EXPECT_EQ(Word(folder), kAttrDirectory);
    ASSERT_FALSE(WriteAttributes(folder, kAttrDirectory | kAttrHidden | kAttrSystem).Failed());
    EXPECT_EQ(Word(folder), kAttrDirectory | kAttrHidden | kAttrSystem);
    ASSERT_FALSE(WriteAttributes(folder, kAttrDirectory | kAttrReadOnly).Failed());
    // Windows keeps Read-only on a folder (Explorer reads it as "customised");
    // Wine ignores it.
    EXPECT_EQ(Word(folder), UnderWine() ? kAttrDirectory : kAttrDirectory | kAttrReadOnly);
    ASSERT_FALSE(WriteAttributes(folder, kAttrDirectory).Failed());
    EXPECT_EQ(Word(folder), kAttrDirectory);
}

TEST(Attributes, PassesOverBitsTheFileSystemKeepsByItself) {
    Scratch scratch;
    const std::string file = scratch.File("a.txt");
    // Compressed, Sparse and Reparse point come back in a word read; writing
    // such a word back changes only the four.
    const std::uint32_t kept =
        FILE_ATTRIBUTE_COMPRESSED | FILE_ATTRIBUTE_SPARSE_FILE | FILE_ATTRIBUTE_REPARSE_POINT;
    ASSERT_FALSE(WriteAttributes(file, Word(file) | kept | kAttrHidden).Failed());
    EXPECT_TRUE(Word(file) & kAttrHidden);
    EXPECT_EQ(Word(file) & kept, 0u);
}

TEST(Attributes, ReportsAMissingItem) {
    Scratch scratch;
    std::uint32_t word = 0;
    EXPECT_EQ(ReadAttributes(scratch.Path("gone"), word).code, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(WriteAttributes(scratch.Path("gone"), kAttrHidden).code, ERROR_FILE_NOT_FOUND);
}

TEST(Attributes, ReachesLongPaths) {
    Scratch scratch;
    const std::string folder = scratch.Folder(std::string(150, 'f'));
    const std::string file = folder + "\\" + std::string(150, 'g');
    const HANDLE h = CreateFileW(Scratch::Extended(file).c_str(), GENERIC_WRITE, 0, nullptr,
                                 CREATE_NEW, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    ASSERT_FALSE(WriteAttributes(file, kAttrHidden).Failed());
    EXPECT_EQ(Word(file) & kFour, UnderWine() ? kAttrHidden | kAttrArchive : kAttrHidden);
}
