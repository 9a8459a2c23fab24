#include "platform/item.h"
#include "platform/itemtimes.h"
#include "platform/listing.h"
#include "platform/win32/scratch.h"
#include "testing/wine.h"

#include <gtest/gtest.h>
#include <optional>
#include <set>
#include <vector>

using namespace stampwell::platform;
using stampwell::testing::UnderWine;

namespace {

// Every entry a listing delivers in its order, through a path (true) or
// through the folder opened first.
std::vector<ListedEntry> List(bool byPath, const std::string& folder, const std::string& pattern) {
    OpenFolder opened;
    OpenFolder::Open(folder, opened);
    FolderListing listing =
        byPath ? FolderListing(folder, pattern) : FolderListing(opened, pattern);
    std::vector<ListedEntry> entries;
    for (ListedEntry entry; listing.Next(entry);)
        entries.push_back(entry);
    EXPECT_FALSE(listing.Error().Failed()) << listing.Error().text;
    return entries;
}

class Listing : public testing::TestWithParam<bool> {};

} // namespace

// Both routes match as FindFirstFileExW does: case-insensitively, "*.*" and
// "*" matching every name, a point before '*' also matching a name's end,
// "*." the names without an extension, '?' one character but none before a
// point or at the end, and never a point. Wine (8.0) differs through a path:
// its FindFirstFileExW takes trailing points as optional and '?' as exactly
// one character, a point as well. Through an open folder the program
// matches the names itself, with the Windows rules.
TEST_P(Listing, MatchesWithTheWindowsRules) {
    Scratch scratch;
    for (const char* name : {"a", "a.TXT", "ab.txt", "x.c", "noext", "ab.txt.bak"})
        scratch.File(name);
    scratch.Folder("old.txt");
    const std::set<std::string> all = {"a",     "a.TXT",      "ab.txt", "x.c",
                                       "noext", "ab.txt.bak", "old.txt"};
    const struct {
        const char* pattern;
        std::set<std::string> windows;
        std::optional<std::set<std::string>> wine;
    } cases[] = {{"*.txt", {"a.TXT", "ab.txt", "old.txt"}, {}},
                 {"*.*", all, {}},
                 {"*", all, {}},
                 {"A.*", {"a", "a.TXT"}, {}},
                 {"*.", {"a", "noext"}, all},
                 {"a?.txt", {"a.TXT", "ab.txt"}, {{"ab.txt"}}},
                 {"*.??", {"a", "x.c", "noext"}, {{}}},
                 {"a?txt", {}, {{"a.TXT"}}}};
    for (const auto& c : cases) {
        std::set<std::string> names;
        for (const ListedEntry& entry : List(GetParam(), scratch.Root(), c.pattern))
            EXPECT_TRUE(names.insert(entry.name).second) << entry.name << " twice";
        const bool wine = UnderWine() && GetParam() && c.wine;
        EXPECT_EQ(names, wine ? *c.wine : c.windows) << c.pattern;
    }
}

// NTFS keeps a folder sorted without regard to case; so does Wine.
TEST_P(Listing, DeliversTheDetailsOfEachEntryInNameOrder) {
    Scratch scratch;
    const std::string big = scratch.File("big.bin", 5ull << 30);
    scratch.Folder("Sub");
    scratch.File("C.txt");
    ASSERT_TRUE(SetFileAttributesW(Scratch::Extended(big).c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_FALSE(WriteItemTimes(big, ItemType::File, {{}, FileTime{1000000000, 100}, {}}).Failed());
    const std::vector<ListedEntry> entries = List(GetParam(), scratch.Root(), "*.*");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].name, "C.txt");
    const ListedEntry& file = entries[0];
    EXPECT_TRUE(file.name == "big.bin" && file.hasDetails && !file.isFolder && !file.isLink);
    EXPECT_EQ(file.size, 5ull << 30);
    EXPECT_EQ(file.attributes, GetFileAttributesW(Scratch::Extended(big).c_str()));
    EXPECT_EQ(file.times.modified, (FileTime{1000000000, 100}));
    EXPECT_TRUE(entries[2].name == "Sub" && entries[2].isFolder && !entries[2].isLink);
}

INSTANTIATE_TEST_SUITE_P(PathAndOpenFolder, Listing, testing::Bool());

// Wine reads the folder through the host, whose mount options decide
// (relatime renews an access time older than the last write); the listing
// never writes one of its own.
TEST(Listing, ThroughAnOpenFolderKeepsItsAccessTime) {
    Scratch scratch;
    scratch.File("sub\\mine.txt");
    const FileTime accessed{1000000000, 100};
    ASSERT_FALSE(
        WriteItemTimes(scratch.Path("sub"), ItemType::Folder, {{}, {}, accessed}).Failed());
    EXPECT_EQ(List(false, scratch.Path("sub"), "*.txt").size(), 1u);
    ItemTimes after;
    ASSERT_FALSE(ReadItemTimes(scratch.Path("sub"), ItemType::Folder, after).Failed());
    EXPECT_TRUE(UnderWine() ? after.accessed >= accessed : after.accessed == accessed);
}
