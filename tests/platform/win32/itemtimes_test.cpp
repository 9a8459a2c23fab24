#include "platform/attributes.h"
#include "platform/itemtimes.h"
#include "platform/listing.h"
#include "platform/readback.h"
#include "platform/win32/scratch.h"

#include <gtest/gtest.h>

using namespace stampwell::platform;
using stampwell::platform::win32::Widen;
using stampwell::testing::Times;

namespace {

const FileTime kModified{1721037600, 999'999'900}; // 2024-07-15 10:00
const FileTime kAccessed{1000000000, 100};         // 2001-09-09 01:46:40

} // namespace

// Reading takes whatever the name names; writing a folder's times as a
// file's is refused, since a file is opened as nothing else.
TEST(ItemTimes, OpensFoldersAsFoldersWithOrWithoutTrailingBackslash) {
    Scratch scratch;
    const std::string folder = scratch.Folder("sub");
    ASSERT_FALSE(
        WriteItemTimes(folder + "\\", ItemType::Folder, {{}, kModified, kAccessed}).Failed());
    EXPECT_EQ(Times(folder, ItemType::Folder).accessed, kAccessed);
    EXPECT_EQ(Times(folder, ItemType::File).modified, kModified);
    EXPECT_EQ(WriteItemTimes(folder, ItemType::File, {{}, kModified, {}}).code,
              ERROR_ACCESS_DENIED);
}

// The exclusive open fails while another program holds the file, even one
// that shares everything, and nothing is written; attributes alone go on
// meanwhile, as SetFileAttributesW takes them.
TEST(ItemTimes, LeavesTheTimesOfAFileHeldOpenByAnotherProgram) {
    Scratch scratch;
    const std::string file = scratch.File("held.txt");
    const HANDLE other =
        CreateFileW(Widen(file).c_str(), GENERIC_READ, 7, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    const SysError error = WriteItemTimes(file, ItemType::File, {{}, kModified, {}});
    const SysError attributes = WriteAttributes(file, kAttrHidden);
    CloseHandle(other);
    EXPECT_EQ(error.code, ERROR_SHARING_VIOLATION);
    EXPECT_FALSE(attributes.Failed()) << attributes.text;
}

// Past 260 characters, absolute or relative to the current folder with "."
// and ".." resolved as the system would resolve them, and in every plane.
TEST(ItemTimes, ReachesAndListsLongAndUnicodeNames) {
    Scratch scratch;
    std::string deep;
    for (const char c : {'a', 'b', 'c'}) {
        deep += std::string(100, c) + "\\";
        ASSERT_TRUE(CreateDirectoryW(Scratch::Extended(scratch.Path(deep)).c_str(), nullptr));
    }
    const std::string name = deep + "Gr\xC3\xBC\xC3\x9F"
                                    "e \xE2\x82\xAC \xF0\x9F\x98\x80.txt";
    ASSERT_TRUE(Scratch::Create(scratch.Path(name)));
    ASSERT_FALSE(WriteAttributes(scratch.Path(name), kAttrHidden).Failed());
    FolderListing listing(scratch.Path(deep), "*.txt");
    ListedEntry entry;
    EXPECT_TRUE(listing.Next(entry) && deep + entry.name == name && !listing.Next(entry));
    wchar_t previous[MAX_PATH + 1] = {};
    GetCurrentDirectoryW(MAX_PATH + 1, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(Widen(scratch.Root()).c_str()));
    const SysError written = WriteItemTimes(".\\" + std::string(100, 'a') + "\\..\\" + name,
                                            ItemType::File, {{}, kModified, {}});
    const ItemTimes times = Times(name);
    SetCurrentDirectoryW(previous);
    EXPECT_FALSE(written.Failed()) << written.text;
    EXPECT_EQ(times.modified, kModified);
    EXPECT_TRUE(stampwell::testing::Word(scratch.Path(name)) & kAttrHidden);
}
