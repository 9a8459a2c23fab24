#include "platform/item.h"
#include "platform/itemtimes.h"
#include "platform/listing.h"
#include "platform/win32/scratch.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <vector>

using namespace stampwell::platform;

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

// NTFS keeps a folder sorted without regard to case; so does Wine. A
// pattern matches without regard to case too; through an open folder the
// program matches the names itself, by the rules the wildcard tests show.
TEST_P(Listing, DeliversTheMatchingEntriesWithTheirDetailsInNameOrder) {
    Scratch scratch;
    const std::string big = scratch.File("big.bin", "");
    std::filesystem::resize_file(stampwell::testing::FromPathText(big), 5ull << 30);
    scratch.Folder("Sub.TXT");
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
    EXPECT_TRUE(entries[2].name == "Sub.TXT" && entries[2].isFolder && !entries[2].isLink);
    std::vector<std::string> matched;
    for (const ListedEntry& entry : List(GetParam(), scratch.Root(), "*.txt"))
        matched.push_back(entry.name);
    EXPECT_EQ(matched, (std::vector<std::string>{"C.txt", "Sub.TXT"}));
}

INSTANTIATE_TEST_SUITE_P(PathAndOpenFolder, Listing, testing::Bool());
