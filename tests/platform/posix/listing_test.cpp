#include "platform/listing.h"
#include "testing/tempfolder.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace stampwell::platform;
using stampwell::testing::TempFolder;

TEST(PosixListing, AMissingFolderFailsWithNotFound) {
    TempFolder temp;
    FolderListing listing(temp.Path("gone"), "*.*");
    EXPECT_EQ(listing.Error().code, ENOENT);
    const auto file = temp.File("file.txt");
    FolderListing notAFolder(file, "*.*");
    EXPECT_EQ(notAFolder.Error().code, ENOTDIR);
}

TEST(PosixListing, SpecialFilesAreEntriesButNotFolders) {
    TempFolder temp;
    ASSERT_EQ(mkfifo(temp.Path("pipe").c_str(), 0644), 0);
    FolderListing listing(temp.Path(), "*.*");
    ListedEntry entry;
    ASSERT_TRUE(listing.Next(entry));
    EXPECT_EQ(entry.name, "pipe");
    EXPECT_FALSE(entry.isFolder);
    EXPECT_FALSE(entry.isLink);
}
