#include "platform/attributes.h"
#include "platform/itemtimes.h"
#include "platform/listing.h"
#include "platform/readback.h"
#include "platform/win32/scratch.h"
#include "testing/wine.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>

using namespace stampwell::platform;
using stampwell::platform::win32::Widen;
using stampwell::testing::Times;
using stampwell::testing::UnderWine;

namespace {

// Distinct times in whole 100 ns ticks, before and after 1970.
const FileTime kCreated{-2208988800 + 17, 123'456'700}; // 1900-01-01 00:00:17
const FileTime kModified{1721037600, 999'999'900};      // 2024-07-15 10:00
const FileTime kAccessed{1000000000, 100};              // 2001-09-09 01:46:40

} // namespace

// Windows keeps the creation time as it was or as written; Wine keeps none
// and reports the earlier of the last write and the host's status-change
// time instead. A read-only file gets its times and stays read-only; a time
// that cannot be stored exactly is refused and changes nothing.
TEST(ItemTimes, WritesOnlyTheGivenTimesToTheTick) {
    Scratch scratch;
    const std::string file = scratch.File("a.txt");
    const ItemTimes before = Times(file);
    ASSERT_TRUE(SetFileAttributesW(Widen(file).c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_FALSE(WriteItemTimes(file, ItemType::File, {{}, kModified, {}}).Failed());
    EXPECT_EQ(Times(file).accessed, before.accessed);
    ASSERT_FALSE(WriteItemTimes(file, ItemType::File, {{}, {}, kAccessed}).Failed());
    ASSERT_FALSE(WriteItemTimes(file, ItemType::File, {kCreated, {}, {}}).Failed());
    const SysError inexact =
        WriteItemTimes(file, ItemType::File, {{}, FileTime{1721037600, 50}, before.accessed});
    EXPECT_EQ(inexact.code, ERROR_INVALID_TIME);
    const ItemTimes after = Times(file);
    EXPECT_EQ(after.modified, kModified);
    EXPECT_EQ(after.accessed, kAccessed);
    EXPECT_EQ(after.created, UnderWine() ? std::min(*before.created, kModified) : kCreated);
    EXPECT_TRUE(GetFileAttributesW(Widen(file).c_str()) & FILE_ATTRIBUTE_READONLY);
}

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
// that shares everything; reading and attributes alone go on meanwhile, as
// SetFileAttributesW takes them.
TEST(ItemTimes, LeavesTheTimesOfAFileHeldOpenByAnotherProgram) {
    Scratch scratch;
    const std::string file = scratch.File("held.txt");
    const ItemTimes before = Times(file);
    const HANDLE other =
        CreateFileW(Widen(file).c_str(), GENERIC_READ, 7, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    const SysError error = WriteItemTimes(file, ItemType::File, {{}, kModified, {}});
    const ItemTimes during = Times(file);
    const SysError attributes = WriteAttributes(file, kAttrHidden);
    CloseHandle(other);
    EXPECT_EQ(error.code, ERROR_SHARING_VIOLATION);
    EXPECT_EQ(during.modified, before.modified);
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
    const std::set<std::string> names = {"Gr\xC3\xBC\xC3\x9F"
                                         "e \xE2\x82\xAC \xF0\x9F\x98\x80.txt",
                                         std::string(120, 'n') + ".TXT"};
    std::set<std::string> listed;
    for (const std::string& name : names) {
        ASSERT_TRUE(Scratch::Create(scratch.Path(deep + name))) << name;
        ASSERT_FALSE(WriteAttributes(scratch.Path(deep + name), kAttrHidden).Failed());
    }
    FolderListing listing(scratch.Path(deep), "*.txt");
    for (ListedEntry entry; listing.Next(entry);)
        listed.insert(entry.name);
    EXPECT_EQ(listed, names);
    wchar_t previous[MAX_PATH + 1] = {};
    GetCurrentDirectoryW(MAX_PATH + 1, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(Widen(scratch.Root()).c_str()));
    const std::string name = deep + *names.begin();
    const SysError written = WriteItemTimes(".\\" + std::string(100, 'a') + "\\..\\" + name,
                                            ItemType::File, {{}, kModified, {}});
    const ItemTimes times = Times(name);
    SetCurrentDirectoryW(previous);
    EXPECT_FALSE(written.Failed()) << written.text;
    EXPECT_EQ(times.modified, kModified);
    EXPECT_TRUE(stampwell::testing::Word(scratch.Path(name)) & kAttrHidden);
}
