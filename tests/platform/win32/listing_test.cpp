#include "platform/itemtimes.h"
#include "platform/listing.h"
#include "platform/win32/scratch.h"
#include "testing/wine.h"

#include <gtest/gtest.h>
#include <map>
#include <set>

using namespace stampwell::platform;
using stampwell::testing::UnderWine;

namespace {

std::map<std::string, ListedEntry> List(const std::string& folder, const std::string& pattern) {
    FolderListing listing(folder, pattern);
    EXPECT_FALSE(listing.Error().Failed()) << listing.Error().text;
    std::map<std::string, ListedEntry> entries;
    ListedEntry entry;
    while (listing.Next(entry))
        EXPECT_TRUE(entries.emplace(entry.name, entry).second) << entry.name << " twice";
    EXPECT_FALSE(listing.Error().Failed()) << listing.Error().text;
    return entries;
}

std::set<std::string> Names(const std::map<std::string, ListedEntry>& entries) {
    std::set<std::string> names;
    for (const auto& [name, entry] : entries)
        names.insert(name);
    return names;
}

} // namespace

TEST(Listing, MatchesWithTheWindowsRules) {
    Scratch scratch;
    for (const char* name : {"a.TXT", "b.txt", "c.doc", "noext", "ab.txt.bak"})
        scratch.File(name);
    scratch.Folder("old.txt");
    scratch.Folder("notes");
    EXPECT_EQ(Names(List(scratch.Root(), "*.txt")),
              (std::set<std::string>{"a.TXT", "b.txt", "old.txt"}));
    EXPECT_EQ(Names(List(scratch.Root(), "*.*")),
              (std::set<std::string>{"a.TXT", "b.txt", "c.doc", "noext", "ab.txt.bak", "old.txt",
                                     "notes"}));
    EXPECT_EQ(Names(List(scratch.Root() + "\\", "?.TxT")),
              (std::set<std::string>{"a.TXT", "b.txt"}));
}

TEST(Listing, AQuestionMarkFollowsTheDosRules) {
    Scratch scratch;
    for (const char* name : {"a.txt", "ab.txt", "abc.txt", "x.c", "y.cpp", "z"})
        scratch.File(name);
    const auto beforePoint = Names(List(scratch.Root(), "a?.txt"));
    const auto atEnd = Names(List(scratch.Root(), "??"));
    const auto both = Names(List(scratch.Root(), "*.??"));
    const auto point = Names(List(scratch.Root(), "a?txt"));
    if (UnderWine()) {
        // Wine's '?' is always exactly one character, a point as well.
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

TEST(Listing, NoMatchIsAnEmptyListingAndAMissingFolderAFailure) {
    Scratch scratch;
    scratch.File("a.txt");
    EXPECT_TRUE(List(scratch.Root(), "*.none").empty());

    FolderListing missing(scratch.Path("gone"), "*.*");
    EXPECT_EQ(missing.Error().code, ERROR_PATH_NOT_FOUND);
    ListedEntry entry;
    EXPECT_FALSE(missing.Next(entry));
}

TEST(Listing, DeliversTheDetailsOfEachEntry) {
    Scratch scratch;
    constexpr std::uint64_t kFiveGiB = 5ull << 30;
    const std::string big = scratch.File("big.bin", kFiveGiB);
    const std::string folder = scratch.Folder("sub");
    ASSERT_TRUE(SetFileAttributesW(Scratch::Extended(big).c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_FALSE(
        WriteItemTimes(big, ItemType::File, {std::nullopt, FileTime{1000000000, 100}, std::nullopt})
            .Failed());

    const auto entries = List(scratch.Root(), "*.*");
    ASSERT_EQ(entries.size(), 2u);
    const ListedEntry& file = entries.at("big.bin");
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

    const ListedEntry& sub = entries.at("sub");
    EXPECT_TRUE(sub.isFolder);
    EXPECT_FALSE(sub.isLink);
    EXPECT_TRUE(sub.attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(Listing, ReportsAJunctionAsALinkAndNotAsAFolder) {
    Scratch scratch;
    // A junction back to its own parent: a loop for anyone who follows it.
    const std::string link = scratch.Folder("junction");
    const bool made = Scratch::MakeJunction(link, scratch.Root());
    const ListedEntry entry = List(scratch.Root(), "junction").at("junction");
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

TEST(Listing, DeliversUnicodeAndLongNamesUnchanged) {
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
    EXPECT_EQ(Names(List(deep, "*.txt")),
              (std::set<std::string>(std::begin(names), std::end(names))));
}
