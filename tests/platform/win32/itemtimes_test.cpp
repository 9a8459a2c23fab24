#include "platform/attributes.h"
#include "platform/itemtimes.h"
#include "platform/win32/scratch.h"
#include "testing/wine.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace stampwell::platform;
using stampwell::testing::UnderWine;

namespace {

ItemTimes Read(const std::string& path, ItemType type = ItemType::File) {
    ItemTimes times;
    const SysError error = ReadItemTimes(path, type, times);
    EXPECT_FALSE(error.Failed()) << path << ": " << error.text;
    return times;
}

// Distinct times in whole 100 ns ticks, before and after 1970.
const FileTime kCreated{-2208988800 + 17, 123'456'700}; // 1900-01-01 00:00:17
const FileTime kModified{1721037600, 999'999'900};      // 2024-07-15 10:00
const FileTime kAccessed{1000000000, 100};              // 2001-09-09 01:46:40

} // namespace

// Windows keeps the creation time as it was; Wine keeps none and reports the
// earlier of the last write and the host's status-change time instead.
void ExpectCreationKept(const ItemTimes& after, const ItemTimes& before) {
    if (UnderWine())
        EXPECT_EQ(after.created, std::min(*before.created, after.modified));
    else
        EXPECT_EQ(after.created, before.created);
}

TEST(ItemTimes, WritesOnlyTheGivenTimesToTheTick) {
    Scratch scratch;
    const std::string file = scratch.File("a.txt");
    const ItemTimes before = Read(file);
    ASSERT_TRUE(before.created);

    ASSERT_FALSE(
        WriteItemTimes(file, ItemType::File, {std::nullopt, kModified, std::nullopt}).Failed());
    ItemTimes after = Read(file);
    EXPECT_EQ(after.modified, kModified);
    EXPECT_EQ(after.accessed, before.accessed);
    ExpectCreationKept(after, before);

    ASSERT_FALSE(
        WriteItemTimes(file, ItemType::File, {std::nullopt, std::nullopt, kAccessed}).Failed());
    after = Read(file);
    EXPECT_EQ(after.modified, kModified);
    EXPECT_EQ(after.accessed, kAccessed);
    ExpectCreationKept(after, before);

    ASSERT_FALSE(
        WriteItemTimes(file, ItemType::File, {kCreated, std::nullopt, std::nullopt}).Failed());
    after = Read(file);
    EXPECT_EQ(after.modified, kModified);
    EXPECT_EQ(after.accessed, kAccessed);
    if (UnderWine()) // accepted, but not kept
        ExpectCreationKept(after, before);
    else
        EXPECT_EQ(after.created, kCreated);
}

TEST(ItemTimes, RefusesATimeThatCannotBeStoredExactlyAndChangesNothing) {
    Scratch scratch;
    const std::string file = scratch.File("a.txt");
    const ItemTimes before = Read(file);
    const SysError error =
        WriteItemTimes(file, ItemType::File, {std::nullopt, FileTime{1721037600, 50}, kAccessed});
    EXPECT_EQ(error.code, ERROR_INVALID_TIME);
    EXPECT_FALSE(error.text.empty());
    const ItemTimes after = Read(file);
    EXPECT_EQ(after.modified, before.modified);
    EXPECT_EQ(after.accessed, before.accessed);
}

TEST(ItemTimes, LeavesAFileHeldOpenByAnotherProgramUnchanged) {
    Scratch scratch;
    const std::string file = scratch.File("held.txt");
    const ItemTimes before = Read(file);
    // The other program shares everything; the exclusive open still fails.
    const HANDLE other = CreateFileW(Scratch::Extended(file).c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    const SysError error =
        WriteItemTimes(file, ItemType::File, {std::nullopt, kModified, std::nullopt});
    // Reading goes on meanwhile: it never stands in another program's way.
    ItemTimes during;
    const SysError readError = ReadItemTimes(file, ItemType::File, during);
    CloseHandle(other);
    EXPECT_EQ(error.code, ERROR_SHARING_VIOLATION);
    EXPECT_FALSE(readError.Failed()) << readError.text;
    EXPECT_EQ(Read(file).modified, before.modified);
}

TEST(ItemTimes, WritesAReadOnlyFileAndKeepsItReadOnly) {
    Scratch scratch;
    const std::string file = scratch.File("ro.txt");
    ASSERT_TRUE(SetFileAttributesW(Scratch::Extended(file).c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_FALSE(
        WriteItemTimes(file, ItemType::File, {std::nullopt, kModified, kAccessed}).Failed());
    const ItemTimes after = Read(file);
    EXPECT_EQ(after.modified, kModified);
    EXPECT_EQ(after.accessed, kAccessed);
    EXPECT_TRUE(GetFileAttributesW(Scratch::Extended(file).c_str()) & FILE_ATTRIBUTE_READONLY);
}

TEST(ItemTimes, OpensFoldersAsFoldersWithOrWithoutTrailingBackslash) {
    Scratch scratch;
    const std::string folder = scratch.Folder("sub");
    ASSERT_FALSE(
        WriteItemTimes(folder + "\\", ItemType::Folder, {std::nullopt, kModified, kAccessed})
            .Failed());
    const ItemTimes after = Read(folder, ItemType::Folder);
    EXPECT_EQ(after.modified, kModified);
    EXPECT_EQ(after.accessed, kAccessed);

    // Reading takes whatever the name names; writing a folder's times as a
    // file's is refused, since a file is opened as nothing else.
    EXPECT_EQ(Read(folder, ItemType::File).modified, kModified);
    const SysError asFile =
        WriteItemTimes(folder, ItemType::File, {std::nullopt, kModified, std::nullopt});
    EXPECT_EQ(asFile.code, ERROR_ACCESS_DENIED);
}

TEST(ItemTimes, ReportsAMissingItem) {
    Scratch scratch;
    ItemTimes times;
    EXPECT_EQ(ReadItemTimes(scratch.Path("gone.txt"), ItemType::File, times).code,
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(WriteItemTimes(scratch.Path("gone\\x.txt"), ItemType::File,
                             {std::nullopt, kModified, std::nullopt})
                  .code,
              ERROR_PATH_NOT_FOUND);
}

TEST(ItemTimes, ReachesLongAndUnicodeNames) {
    Scratch scratch;
    // Three folders of 100 characters put the file well past 260 characters.
    std::string path = scratch.Root();
    for (const char c : {'a', 'b', 'c'}) {
        path += "\\" + std::string(100, c);
        ASSERT_TRUE(CreateDirectoryW(Scratch::Extended(path).c_str(), nullptr));
    }
    const std::string names[] = {"Gr\xC3\xBC\xC3\x9F"
                                 "e \xE2\x82\xAC \xF0\x9F\x98\x80.txt", // non-BMP included
                                 std::string(200, 'n') + ".txt"};
    for (const std::string& name : names) {
        const std::string file = path + "\\" + name;
        const HANDLE h = CreateFileW(Scratch::Extended(file).c_str(), GENERIC_WRITE, 0, nullptr,
                                     CREATE_NEW, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE) << file.size();
        CloseHandle(h);
        ASSERT_GT(file.size(), 260u);
        ASSERT_FALSE(
            WriteItemTimes(file, ItemType::File, {std::nullopt, kModified, std::nullopt}).Failed());
        EXPECT_EQ(Read(file).modified, kModified);
    }
}

TEST(ItemTimes, ReachesANameWithAnUnpairedSurrogate) {
    Scratch scratch;
    const std::wstring wideName = {L'x', static_cast<wchar_t>(0xD800), L'.', L't'};
    const std::string file = scratch.Root() + "\\" + stampwell::platform::win32::Narrow(wideName);
    const HANDLE h = CreateFileW(Scratch::Extended(file).c_str(), GENERIC_WRITE, 0, nullptr,
                                 CREATE_NEW, 0, nullptr);
    if (UnderWine()) {
        // Wine keeps names as UTF-8 on the host and refuses one that has no
        // UTF-8 form; the backend reports what the system says.
        EXPECT_EQ(h, INVALID_HANDLE_VALUE);
        EXPECT_EQ(
            WriteItemTimes(file, ItemType::File, {std::nullopt, kModified, std::nullopt}).code,
            ERROR_FILE_NOT_FOUND);
        return;
    }
    // Windows takes any sequence of UTF-16 units as a name.
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
    CloseHandle(h);
    ASSERT_FALSE(
        WriteItemTimes(file, ItemType::File, {std::nullopt, kModified, std::nullopt}).Failed());
    EXPECT_EQ(Read(file).modified, kModified);
}

TEST(ItemTimes, ChangesAJunctionItselfNeverItsTarget) {
    Scratch scratch;
    const std::string target = scratch.Folder("target");
    const std::string link = scratch.Folder("junction");
    const bool made = Scratch::MakeJunction(link, target);
    if (UnderWine()) {
        // Wine keeps no reparse points: the junction stays a plain folder.
        EXPECT_FALSE(made);
        EXPECT_EQ(GetFileAttributesW(Scratch::Extended(link).c_str()), FILE_ATTRIBUTE_DIRECTORY);
        return;
    }
    ASSERT_TRUE(made) << GetLastError();
    const ItemTimes targetBefore = Read(target, ItemType::Folder);
    // The junction is reached even when the caller names it a file, since
    // only the link itself is ever opened.
    ASSERT_FALSE(
        WriteItemTimes(link, ItemType::File, {std::nullopt, kModified, std::nullopt}).Failed());
    EXPECT_EQ(Read(link, ItemType::Folder).modified, kModified);
    EXPECT_EQ(Read(link, ItemType::File).modified, kModified);
    EXPECT_EQ(Read(target, ItemType::Folder).modified, targetBefore.modified);
}

TEST(ItemTimes, ReachesALongPathGivenRelativeToTheCurrentFolder) {
    Scratch scratch;
    std::string relative;
    for (const char c : {'a', 'b', 'c'}) {
        relative += std::string(100, c) + "\\";
        ASSERT_TRUE(CreateDirectoryW(Scratch::Extended(scratch.Path(relative)).c_str(), nullptr));
    }
    relative += "file.txt";
    scratch.File(relative);
    wchar_t previous[MAX_PATH + 1] = {};
    GetCurrentDirectoryW(MAX_PATH + 1, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(stampwell::platform::win32::Widen(scratch.Root()).c_str()));
    // "." and ".." are resolved as the system would resolve them.
    const std::string winding = ".\\" + std::string(100, 'a') + "\\..\\" + relative;
    const SysError written =
        WriteItemTimes(winding, ItemType::File, {std::nullopt, kModified, std::nullopt});
    ItemTimes times;
    const SysError read = ReadItemTimes(relative, ItemType::File, times);
    SetCurrentDirectoryW(previous);
    ASSERT_GT(winding.size(), 260u);
    EXPECT_FALSE(written.Failed()) << written.text;
    EXPECT_FALSE(read.Failed()) << read.text;
    EXPECT_EQ(times.modified, kModified);
}
