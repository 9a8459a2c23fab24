#include "platform/listing.h"
#include "platform/posix/longpath.h"
#include "testing/asnobody.h"
#include "testing/tempfolder.h"

#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

using namespace stampwell::platform;
using stampwell::testing::AsNobody;
using stampwell::testing::LongPath;
using stampwell::testing::TempFolder;

namespace {

std::set<std::string> Names(const std::string& folder, const std::string& pattern) {
    FolderListing listing(folder, pattern);
    EXPECT_FALSE(listing.Error().Failed()) << listing.Error().text;
    std::set<std::string> names;
    ListedEntry entry;
    while (listing.Next(entry))
        names.insert(entry.name);
    return names;
}

} // namespace

TEST(PosixListing, NamesThatAreNotUtf8ComeBackByteForByte) {
    TempFolder temp;
    const std::string latin1 = "caf\xe9.txt";
    const std::string broken = "\xff\xfe\x80";
    temp.File(latin1);
    temp.File(broken);
    EXPECT_EQ(Names(temp.Path(), "*.*"), (std::set<std::string>{latin1, broken}));
    EXPECT_EQ(Names(temp.Path(), "*.TXT"), (std::set<std::string>{latin1}));
    EXPECT_EQ(Names(temp.Path(), "\xff*"), (std::set<std::string>{broken}));
}

TEST(PosixListing, ListsAFolderWhosePathIsLongerThanPathMax) {
    TempFolder temp;
    const LongPath deep(temp.Path());
    ASSERT_GT(deep.Folder().size(), std::size_t{PATH_MAX});
    // The listing reaches the deepest folder through its long path alone.
    FolderListing listing(deep.Folder(), "*.*");
    ASSERT_FALSE(listing.Error().Failed()) << listing.Error().text;
    ListedEntry entry;
    EXPECT_FALSE(listing.Next(entry));

    const std::string parent = deep.Folder().substr(0, deep.Folder().rfind('/'));
    EXPECT_EQ(Names(parent, "*.*"), (std::set<std::string>{LongPath::Name('d')}));
    EXPECT_EQ(Names(parent + "/", "d*"), (std::set<std::string>{LongPath::Name('d')}));
}

TEST(PosixListing, AnUnreadableFolderFailsWithAccessDenied) {
    TempFolder temp;
    const auto locked = temp.Folder("locked");
    temp.File("locked/inside.txt");
    ASSERT_EQ(chmod(locked.c_str(), 0), 0);
    const int code = AsNobody([&] {
        FolderListing listing(locked, "*.*");
        ListedEntry entry;
        return listing.Next(entry) ? 0 : listing.Error().code;
    });
    EXPECT_EQ(code, EACCES);
}

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
