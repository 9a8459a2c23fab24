#include "platform/listing.h"
#include "testing/links.h"
#include "testing/tempfolder.h"
#include "testing/wine.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>

using namespace stampwell::platform;
using stampwell::testing::FromPathText;
using stampwell::testing::MakeSymlink;
using stampwell::testing::TempFolder;
using stampwell::testing::UnderWine;

namespace {

struct Kind {
    bool isFolder;
    bool isLink;
    bool operator==(const Kind&) const = default;
};

// Every entry the listing delivers, by name; fails the test on a listing error.
std::map<std::string, Kind> List(const std::string& folder, const std::string& pattern) {
    FolderListing listing(folder, pattern);
    EXPECT_FALSE(listing.Error().Failed()) << listing.Error().text;
    std::map<std::string, Kind> entries;
    ListedEntry entry;
    while (listing.Next(entry))
        EXPECT_TRUE(entries.emplace(entry.name, Kind{entry.isFolder, entry.isLink}).second)
            << entry.name << " delivered twice";
    EXPECT_FALSE(listing.Error().Failed()) << listing.Error().text;
    return entries;
}

} // namespace

TEST(FolderListing, DeliversFilesAndFoldersButNotTheDotEntries) {
    TempFolder temp;
    temp.File("a.txt");
    temp.File("README");
    temp.Folder("sub");
    const std::map<std::string, Kind> expected = {
        {"a.txt", {false, false}}, {"README", {false, false}}, {"sub", {true, false}}};
    EXPECT_EQ(List(temp.Path(), "*.*"), expected);
    EXPECT_EQ(List(temp.Path(), "*"), expected);
}

TEST(FolderListing, APatternSelectsFilesAndFoldersAlike) {
    TempFolder temp;
    temp.File("a.txt");
    temp.File("b.TXT");
    temp.File("c.doc");
    temp.Folder("old.txt");
    temp.Folder("notes");
    const std::map<std::string, Kind> expected = {
        {"a.txt", {false, false}}, {"b.TXT", {false, false}}, {"old.txt", {true, false}}};
    EXPECT_EQ(List(temp.Path(), "*.txt"), expected);
    EXPECT_EQ(List(temp.Path(), "*.Txt"), expected);
    EXPECT_EQ(List(temp.Path(), "?.doc"), (std::map<std::string, Kind>{{"c.doc", {false, false}}}));
}

TEST(FolderListing, AnEmptyFolderGivesNoEntryAndNoError) {
    TempFolder temp;
    EXPECT_TRUE(List(temp.Path(), "*.*").empty());
    temp.File("a.doc");
    EXPECT_TRUE(List(temp.Path(), "*.txt").empty());
}

TEST(FolderListing, ALinkToAFolderIsALinkAndNotAFolder) {
    TempFolder temp;
    const auto target = temp.Folder("real");
    const std::error_code error =
        MakeSymlink(FromPathText(target), FromPathText(temp.Path("alias")), /*folder=*/true);
    if (UnderWine()) {
        // Wine keeps no symbolic links: only the real folder is there.
        EXPECT_TRUE(error);
        EXPECT_EQ(List(temp.Path(), "*.*").count("alias"), 0u);
        return;
    }
    ASSERT_FALSE(error) << "cannot make a symbolic link here: " << error.message();
    const auto entries = List(temp.Path(), "*.*");
    EXPECT_EQ(entries.at("real"), (Kind{true, false}));
    EXPECT_EQ(entries.at("alias"), (Kind{false, true}));
}

TEST(FolderListing, AMissingFolderReportsWhy) {
    TempFolder temp;
    FolderListing listing(temp.Path("gone"), "*.*");
    EXPECT_TRUE(listing.Error().Failed());
    EXPECT_FALSE(listing.Error().text.empty());
    ListedEntry entry;
    EXPECT_FALSE(listing.Next(entry));
}
