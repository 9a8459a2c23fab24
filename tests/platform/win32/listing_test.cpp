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

// A listing through a path, or through the folder opened first.
enum class Route { Path, OpenFolder };

// Every entry a listing delivers, in its order; fails the test on an error.
std::vector<ListedEntry> List(Route route, const std::string& folder, const std::string& pattern) {
    OpenFolder opened;
    if (route == Route::OpenFolder) {
        EXPECT_FALSE(OpenFolder::Open(folder, opened).Failed());
    }
    FolderListing listing =
        route == Route::Path ? FolderListing(folder, pattern) : FolderListing(opened, pattern);
    std::vector<ListedEntry> entries;
    for (ListedEntry entry; listing.Next(entry);)
        entries.push_back(entry);
    EXPECT_FALSE(listing.Error().Failed()) << listing.Error().text;
    return entries;
}

std::set<std::string> Names(Route route, const std::string& folder, const std::string& pattern) {
    std::set<std::string> names;
    for (const ListedEntry& entry : List(route, folder, pattern))
        EXPECT_TRUE(names.insert(entry.name).second) << entry.name << " twice";
    return names;
}

class Listing : public testing::TestWithParam<Route> {};

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
    for (const char* name : {"a", "a.TXT", "b.txt", "ab.txt", "x.c", "noext", "ab.txt.bak"})
        scratch.File(name);
    scratch.Folder("old.txt");
    const std::set<std::string> all = {"a",   "a.TXT", "b.txt",      "ab.txt",
                                       "x.c", "noext", "ab.txt.bak", "old.txt"};
    const bool wine = UnderWine() && GetParam() == Route::Path;
    const struct {
        const char* pattern;
        std::set<std::string> windows;
        std::optional<std::set<std::string>> wine;
    } cases[] = {
        {"*.txt", {"a.TXT", "b.txt", "ab.txt", "old.txt"}, {}},
        {"*.*", all, {}},
        {"*", all, {}},
        {"A.*", {"a", "a.TXT"}, {}},
        {"*.", {"a", "noext"}, all},
        {"a?.txt", {"a.TXT", "ab.txt"}, {{"ab.txt"}}},
        {"??", {"a"}, {{}}},
        {"*.??", {"a", "x.c", "noext"}, {{}}},
        {"a?txt", {}, {{"a.TXT"}}},
        {"*.none", {}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Names(GetParam(), scratch.Root(), c.pattern),
                  wine && c.wine ? *c.wine : c.windows)
            << c.pattern;
}

// NTFS keeps a folder sorted without regard to case; so does Wine.
TEST_P(Listing, DeliversTheDetailsOfEachEntryInNameOrder) {
    Scratch scratch;
    constexpr std::uint64_t kFiveGiB = 5ull << 30;
    const std::string big = scratch.File("big.bin", kFiveGiB);
    scratch.Folder("Sub");
    scratch.File("alpha");
    scratch.File("C.txt");
    ASSERT_TRUE(SetFileAttributesW(Scratch::Extended(big).c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_FALSE(WriteItemTimes(big, ItemType::File, {{}, FileTime{1000000000, 100}, {}}).Failed());
    ItemTimes times;
    ASSERT_FALSE(ReadItemTimes(big, ItemType::File, times).Failed());

    const std::vector<ListedEntry> entries = List(GetParam(), scratch.Root(), "*.*");
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].name, "alpha");
    EXPECT_EQ(entries[2].name, "C.txt");
    const ListedEntry& file = entries[1];
    EXPECT_EQ(file.name, "big.bin");
    EXPECT_TRUE(file.hasDetails);
    EXPECT_FALSE(file.isFolder || file.isLink);
    EXPECT_EQ(file.size, kFiveGiB);
    EXPECT_EQ(file.attributes, GetFileAttributesW(Scratch::Extended(big).c_str()));
    EXPECT_EQ(file.times.modified, (FileTime{1000000000, 100}));
    EXPECT_EQ(file.times.accessed, times.accessed);
    EXPECT_EQ(file.times.created, times.created);
    EXPECT_EQ(entries[3].name, "Sub");
    EXPECT_TRUE(entries[3].isFolder && !entries[3].isLink);
    EXPECT_TRUE(entries[3].attributes & FILE_ATTRIBUTE_DIRECTORY);
}

INSTANTIATE_TEST_SUITE_P(PathAndOpenFolder, Listing,
                         testing::Values(Route::Path, Route::OpenFolder));

// Wine reads the folder through the host, whose mount options decide
// (relatime renews an access time older than the last write); the listing
// never writes one of its own.
TEST(Listing, ThroughAnOpenFolderKeepsItsAccessTime) {
    Scratch scratch;
    const std::string sub = scratch.Folder("sub");
    scratch.File("sub\\mine.txt");
    OpenFolder folder;
    ASSERT_FALSE(OpenFolder::Open(sub, folder).Failed());
    const FileTime kAccessed{1000000000, 100};
    ASSERT_FALSE(WriteItemTimesAt(folder, "", ItemType::Folder, {{}, {}, kAccessed}).Failed());
    EXPECT_EQ(Names(Route::OpenFolder, sub, "*.txt"), std::set<std::string>{"mine.txt"});
    ItemState after;
    ASSERT_FALSE(ReadItemState(folder, "", ItemType::Folder, false, after).Failed());
    if (UnderWine())
        EXPECT_GE(after.times.accessed, kAccessed);
    else
        EXPECT_EQ(after.times.accessed, kAccessed);
}
