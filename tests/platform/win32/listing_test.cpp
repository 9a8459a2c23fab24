#include "platform/item.h"
#include "platform/itemtimes.h"
#include "platform/listing.h"
#include "platform/win32/scratch.h"
#include "testing/wine.h"

#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <set>
#include <vector>

using namespace stampwell::platform;
using stampwell::testing::UnderWine;

namespace {

// Every entry a listing delivers, in its order; fails the test on an error.
std::vector<ListedEntry> Drain(FolderListing& listing) {
    EXPECT_FALSE(listing.Error().Failed()) << listing.Error().text;
    std::vector<ListedEntry> entries;
    ListedEntry entry;
    while (listing.Next(entry))
        entries.push_back(entry);
    EXPECT_FALSE(listing.Error().Failed()) << listing.Error().text;
    return entries;
}

std::map<std::string, ListedEntry> ByName(const std::vector<ListedEntry>& listed) {
    std::map<std::string, ListedEntry> entries;
    for (const ListedEntry& entry : listed)
        EXPECT_TRUE(entries.emplace(entry.name, entry).second) << entry.name << " twice";
    return entries;
}

std::map<std::string, ListedEntry> List(const OpenFolder& folder, const std::string& pattern) {
    FolderListing listing(folder, pattern);
    return ByName(Drain(listing));
}

// A listing through a path, or through the folder opened first.
enum class Route { Path, OpenFolder };

std::vector<ListedEntry> ListInOrder(Route route, const std::string& folder,
                                     const std::string& pattern) {
    if (route == Route::Path) {
        FolderListing listing(folder, pattern);
        return Drain(listing);
    }
    OpenFolder opened;
    const SysError error = OpenFolder::Open(folder, opened);
    EXPECT_FALSE(error.Failed()) << error.text;
    FolderListing listing(opened, pattern);
    return Drain(listing);
}

std::map<std::string, ListedEntry> List(Route route, const std::string& folder,
                                        const std::string& pattern) {
    return ByName(ListInOrder(route, folder, pattern));
}

std::set<std::string> Names(const std::map<std::string, ListedEntry>& entries) {
    std::set<std::string> names;
    for (const auto& [name, entry] : entries)
        names.insert(name);
    return names;
}

} // namespace

class Listing : public testing::TestWithParam<Route> {};

struct PatternCase {
    const char* pattern;
    std::set<std::string> windows;
    // Where Wine (8.0) differs: its FindFirstFileExW takes trailing points as
    // optional, and its file system knows '?', '*' and DOS_QM ('>') but not
    // DOS_DOT ('"') or DOS_STAR ('<'), so a pattern that needs them matches
    // nothing through an open folder.
    std::optional<std::set<std::string>> wineByPath;
    std::optional<std::set<std::string>> wineByFolder;
};

// Both routes match as FindFirstFileExW does: case-insensitively, "*.*" and
// "*" matching every name, a point before '*' also matching a name's end,
// "*." the names without an extension.
TEST_P(Listing, MatchesWithTheWindowsRules) {
    Scratch scratch;
    for (const char* name : {"a", "a.TXT", "b.txt", "c.doc", "noext", "ab.txt.bak"})
        scratch.File(name);
    scratch.Folder("old.txt");
    scratch.Folder("notes");
    const std::set<std::string> all = {"a",     "a.TXT", "b.txt",      "c.doc",
                                       "noext", "notes", "ab.txt.bak", "old.txt"};
    const PatternCase cases[] = {
        {"*.txt", {"a.TXT", "b.txt", "old.txt"}, {}, {}},
        {"*.*", all, {}, {}},
        {"*", all, {}, {}},
        {"?.TxT", {"a.TXT", "b.txt"}, {}, {}},
        {"A.*", {"a", "a.TXT"}, {}, {}},
        {"*.", {"a", "noext", "notes"}, all, {}},
        {"a", {"a"}, {}, {}},
        {"*.none", {}, {}, {}},
    };
    for (const PatternCase& c : cases) {
        const auto& wine = GetParam() == Route::Path ? c.wineByPath : c.wineByFolder;
        EXPECT_EQ(Names(List(GetParam(), scratch.Root(), c.pattern)),
                  UnderWine() && wine ? *wine : c.windows)
            << c.pattern;
    }
}

TEST_P(Listing, AQuestionMarkFollowsTheDosRules) {
    Scratch scratch;
    for (const char* name : {"a.txt", "ab.txt", "abc.txt", "x.c", "y.cpp", "z"})
        scratch.File(name);
    const auto beforePoint = Names(List(GetParam(), scratch.Root(), "a?.txt"));
    const auto atEnd = Names(List(GetParam(), scratch.Root(), "??"));
    const auto both = Names(List(GetParam(), scratch.Root(), "*.??"));
    const auto point = Names(List(GetParam(), scratch.Root(), "a?txt"));
    if (UnderWine() && GetParam() == Route::Path) {
        // Wine's FindFirstFileExW: '?' is always exactly one character, a
        // point as well. Through an open folder the names are matched by
        // the program itself, with the Windows rules.
        EXPECT_EQ(beforePoint, (std::set<std::string>{"ab.txt"}));
        EXPECT_TRUE(atEnd.empty());
        EXPECT_TRUE(both.empty());
        EXPECT_EQ(point, (std::set<std::string>{"a.txt"}));
        return;
    }
    EXPECT_EQ(beforePoint, (std::set<std::string>{"a.txt", "ab.txt"}));
    EXPECT_EQ(atEnd, (std::set<std::string>{"z"}));
    EXPECT_EQ(both, (std::set<std::string>{"x.c", "z"}));
    EXPECT_TRUE(point.empty()) << "'?' never matches a point";
}

TEST_P(Listing, DeliversTheDetailsOfEachEntryInNameOrder) {
    Scratch scratch;
    constexpr std::uint64_t kFiveGiB = 5ull << 30;
    const std::string big = scratch.File("big.bin", kFiveGiB);
    const std::string folder = scratch.Folder("Sub");
    scratch.File("alpha");
    scratch.File("C.txt");
    ASSERT_TRUE(SetFileAttributesW(Scratch::Extended(big).c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_FALSE(
        WriteItemTimes(big, ItemType::File, {std::nullopt, FileTime{1000000000, 100}, std::nullopt})
            .Failed());

    const std::vector<ListedEntry> entries = ListInOrder(GetParam(), scratch.Root(), "*.*");
    ASSERT_EQ(entries.size(), 4u);
    // NTFS keeps a folder sorted without regard to case; so does Wine.
    EXPECT_EQ(entries[0].name, "alpha");
    EXPECT_EQ(entries[1].name, "big.bin");
    EXPECT_EQ(entries[2].name, "C.txt");
    EXPECT_EQ(entries[3].name, "Sub");
    const ListedEntry& file = entries[1];
    ItemTimes times;
    ASSERT_FALSE(ReadItemTimes(big, ItemType::File, times).Failed());
    EXPECT_TRUE(file.hasDetails);
    EXPECT_FALSE(file.isFolder);
    EXPECT_FALSE(file.isLink);
    EXPECT_EQ(file.size, kFiveGiB);
    EXPECT_EQ(file.attributes, GetFileAttributesW(Scratch::Extended(big).c_str()));
    EXPECT_TRUE(file.attributes & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(file.times.modified, (FileTime{1000000000, 100}));
    EXPECT_EQ(file.times.accessed, times.accessed);
    EXPECT_EQ(file.times.created, times.created);

    const ListedEntry& sub = entries[3];
    EXPECT_TRUE(sub.isFolder);
    EXPECT_FALSE(sub.isLink);
    EXPECT_TRUE(sub.attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_P(Listing, ReportsAJunctionAsALinkAndNotAsAFolder) {
    Scratch scratch;
    // A junction back to its own parent: a loop for anyone who follows it.
    const std::string link = scratch.Folder("junction");
    const bool made = Scratch::MakeJunction(link, scratch.Root());
    const ListedEntry entry = List(GetParam(), scratch.Root(), "junction").at("junction");
    if (UnderWine()) {
        // Wine keeps no reparse points: the junction stays a plain folder.
        EXPECT_FALSE(made);
        EXPECT_TRUE(entry.isFolder);
        EXPECT_FALSE(entry.isLink);
        return;
    }
    ASSERT_TRUE(made);
    EXPECT_TRUE(entry.isLink);
    EXPECT_FALSE(entry.isFolder);
    EXPECT_TRUE(entry.attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

TEST_P(Listing, DeliversUnicodeAndLongNamesUnchanged) {
    Scratch scratch;
    const std::string deep = scratch.Folder(std::string(200, 'd'));
    const std::string names[] = {"Gr\xC3\xBC\xC3\x9F"
                                 "e \xE2\x82\xAC \xF0\x9F\x98\x80.txt",
                                 "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0.TXT",
                                 std::string(120, 'n') + ".txt"};
    for (const std::string& name : names) {
        const HANDLE h = CreateFileW(Scratch::Extended(deep + "\\" + name).c_str(), GENERIC_WRITE,
                                     0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE) << name;
        CloseHandle(h);
    }
    EXPECT_EQ(Names(List(GetParam(), deep, "*.txt")),
              (std::set<std::string>(std::begin(names), std::end(names))));
}

INSTANTIATE_TEST_SUITE_P(PathAndOpenFolder, Listing,
                         testing::Values(Route::Path, Route::OpenFolder));

TEST(Listing, AMissingFolderIsAFailure) {
    Scratch scratch;
    FolderListing missing(scratch.Path("gone"), "*.*");
    EXPECT_EQ(missing.Error().code, ERROR_PATH_NOT_FOUND);
    ListedEntry entry;
    EXPECT_FALSE(missing.Next(entry));
}

TEST(Listing, ThroughAnOpenFolderListsItWhereverItWent) {
    Scratch scratch;
    const std::string sub = scratch.Folder("sub");
    scratch.File("sub\\mine.txt");
    OpenFolder folder;
    ASSERT_FALSE(OpenFolder::Open(sub, folder).Failed());
    ASSERT_TRUE(MoveFileW(Scratch::Extended(sub).c_str(),
                          Scratch::Extended(scratch.Path("moved")).c_str()));
    scratch.Folder("sub");
    scratch.File("sub\\other.txt");
    EXPECT_EQ(Names(List(folder, "*")), std::set<std::string>{"mine.txt"});
}

TEST(Listing, ThroughAnOpenFolderKeepsItsAccessTime) {
    Scratch scratch;
    const std::string sub = scratch.Folder("sub");
    scratch.File("sub\\mine.txt");
    OpenFolder folder;
    ASSERT_FALSE(OpenFolder::Open(sub, folder).Failed());
    const FileTime kAccessed{1000000000, 100};
    ASSERT_FALSE(
        WriteItemTimesAt(folder, "", ItemType::Folder, {std::nullopt, std::nullopt, kAccessed})
            .Failed());
    ItemState before;
    ASSERT_FALSE(ReadItemState(folder, "", ItemType::Folder, false, before).Failed());
    EXPECT_EQ(before.times.accessed, kAccessed);
    EXPECT_EQ(Names(List(folder, "*.txt")), std::set<std::string>{"mine.txt"});
    ItemState after;
    ASSERT_FALSE(ReadItemState(folder, "", ItemType::Folder, false, after).Failed());
    if (UnderWine()) {
        // Wine reads the folder through the host, whose mount options decide
        // (relatime renews an access time older than the last write); the
        // listing never writes one of its own.
        EXPECT_GE(after.times.accessed, kAccessed);
        return;
    }
    EXPECT_EQ(after.times.accessed, kAccessed);
}
