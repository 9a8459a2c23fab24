#include "platform/attributes.h"
#include "testing/tempfolder.h"
#include "testing/wine.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace stampwell::platform;
using stampwell::testing::FromPathText;
using stampwell::testing::TempFolder;
using stampwell::testing::UnderWine;

namespace {

std::uint32_t Read(const std::string& path) {
    std::uint32_t word = 0;
    const SysError error = ReadAttributes(path, word);
    EXPECT_FALSE(error.Failed()) << path << ": " << error.text;
    return word;
}

void Write(const std::string& path, std::uint32_t word) {
    const SysError error = WriteAttributes(path, word);
    ASSERT_FALSE(error.Failed()) << path << ": " << error.text;
}

// Sets or clears one bit the way a run does: read afresh, change, write.
void Change(const std::string& path, std::uint32_t bit, bool set) {
    const std::uint32_t word = Read(path);
    Write(path, set ? word | bit : word & ~bit);
}

} // namespace

TEST(Attributes, EachBitIsSetAndClearedAndTheOthersStay) {
    TempFolder temp;
    const auto file = temp.File("a.txt", "x");
    const std::uint32_t start = Read(file);
    EXPECT_EQ(start & (kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrDirectory), 0u);

    Change(file, kAttrHidden, true);
    EXPECT_EQ(Read(file), start | kAttrHidden);
    Change(file, kAttrSystem, true);
    EXPECT_EQ(Read(file), start | kAttrHidden | kAttrSystem);
    Change(file, kAttrReadOnly, true);
    EXPECT_EQ(Read(file), start | kAttrHidden | kAttrSystem | kAttrReadOnly);
    Change(file, kAttrHidden, false);
    EXPECT_EQ(Read(file), start | kAttrSystem | kAttrReadOnly);
    Change(file, kAttrReadOnly, false);
    Change(file, kAttrSystem, false);
    EXPECT_EQ(Read(file), start);
}

TEST(Attributes, ArchiveIsSetAndCleared) {
    TempFolder temp;
    const auto file = temp.File("a.txt", "x");
    Change(file, kAttrArchive, true);
    EXPECT_NE(Read(file) & kAttrArchive, 0u);
    Change(file, kAttrArchive, false);
    if (UnderWine()) // Wine reports Archive on every file, whatever was written
        EXPECT_NE(Read(file) & kAttrArchive, 0u);
    else
        EXPECT_EQ(Read(file) & kAttrArchive, 0u);
}

TEST(Attributes, ReadOnlyIsWhatOtherProgramsSeeAsReadOnly) {
    TempFolder temp;
    const auto file = temp.File("a.txt", "x");
    namespace fs = std::filesystem;
    const auto writable = [&] {
        return (fs::status(FromPathText(file)).permissions() & fs::perms::owner_write) !=
               fs::perms::none;
    };
    Change(file, kAttrReadOnly, true);
    EXPECT_FALSE(writable());
    Change(file, kAttrReadOnly, false);
    EXPECT_TRUE(writable());
}

TEST(Attributes, AFolderCarriesTheDirectoryBitAndKeepsItsOwnAttributes) {
    TempFolder temp;
    const auto folder = temp.Folder("sub");
    const std::uint32_t start = Read(folder);
    EXPECT_NE(start & kAttrDirectory, 0u);
    // The Directory bit is not part of what is written, with or without it.
    Write(folder, (start | kAttrHidden | kAttrSystem) & ~kAttrDirectory);
    EXPECT_EQ(Read(folder), start | kAttrHidden | kAttrSystem);
    Write(folder, start);
    EXPECT_EQ(Read(folder), start);
}

TEST(Attributes, AMissingItemFailsWithNotFound) {
    TempFolder temp;
    std::uint32_t word = 12345;
    EXPECT_EQ(ReadAttributes(temp.Path("gone.txt"), word).code, 2);
    EXPECT_EQ(word, 12345u);
    EXPECT_EQ(WriteAttributes(temp.Path("gone.txt"), kAttrHidden).code, 2);
}
