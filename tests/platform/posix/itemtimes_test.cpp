#include "platform/itemtimes.h"
#include "platform/posix/itemops.h"
#include "platform/posix/longpath.h"
#include "testing/asnobody.h"
#include "testing/tempfolder.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace stampwell::platform;
using stampwell::testing::AsNobody;
using stampwell::testing::LongPath;
using stampwell::testing::TempFolder;

TEST(PosixItemTimes, KeepsEveryNanosecondAndTimesBefore1970) {
    TempFolder temp;
    const auto file = temp.File("a.txt");
    const FileTime odd{1'700'000'000, 123'456'789};
    const FileTime old{-86'400 * 365, 999'999'999};
    ASSERT_FALSE(WriteItemTimes(file, ItemType::File, {std::nullopt, odd, old}).Failed());
    ItemTimes times;
    ASSERT_FALSE(ReadItemTimes(file, ItemType::File, times).Failed());
    EXPECT_EQ(times.modified, odd);
    EXPECT_EQ(times.accessed, old);
}

// Where the file system keeps no settable creation time, it is stored as
// Samba stores it; the birth time itself needs no copy and stays exact.
TEST(PosixItemTimes, ACreationTimeIsStoredWhereSambaKeepsIt) {
    TempFolder temp;
    const auto file = temp.File("a.txt");
    EXPECT_TRUE(CreationTimeSettable(file, ItemType::File));
    ItemTimes born;
    ASSERT_FALSE(ReadItemTimes(file, ItemType::File, born).Failed());
    const FileTime wanted{1'500'000'000, 123'456'700};
    ASSERT_FALSE(WriteItemTimes(file, ItemType::File, {wanted, {}, {}}).Failed());
    ItemTimes times;
    ASSERT_FALSE(ReadItemTimes(file, ItemType::File, times).Failed());
    EXPECT_EQ(times.created, wanted);
    EXPECT_EQ(times.modified, born.modified);
    char value[64];
    const ssize_t size = lgetxattr(file.c_str(), "user.DOSATTRIB", value, sizeof value);
    EXPECT_EQ(std::string(value, static_cast<std::size_t>(std::max<ssize_t>(size, 0))),
              std::string("0x0\0\5\0\5\0\x11\0\0\0\0\0\0\0\x87\xd6\xf2\x7c\x4a\xfc\xd2\x01", 24));

    if (!born.created)
        return; // no birth time to go back to
    ASSERT_FALSE(WriteItemTimes(file, ItemType::File, {born.created, {}, {}}).Failed());
    ASSERT_FALSE(ReadItemTimes(file, ItemType::File, times).Failed());
    EXPECT_EQ(times.created, born.created);
    EXPECT_LT(lgetxattr(file.c_str(), "user.DOSATTRIB", value, sizeof value), 0)
        << "the value made for the creation time alone goes with it";
}

TEST(PosixItemTimes, ALinkHoldsNoCreationTimeAndKeepsItsOtherTimes) {
    TempFolder temp;
    const auto link = temp.Path("link");
    ASSERT_EQ(symlink("nowhere", link.c_str()), 0);
    EXPECT_FALSE(CreationTimeSettable(link, ItemType::File));
    ItemTimes before;
    ASSERT_FALSE(ReadItemTimes(link, ItemType::File, before).Failed());
    const FileTime wanted{1'500'000'000, 0};
    EXPECT_TRUE(WriteItemTimes(link, ItemType::File, {wanted, wanted, {}}).Failed());
    ItemTimes times;
    ASSERT_FALSE(ReadItemTimes(link, ItemType::File, times).Failed());
    EXPECT_EQ(times.created, before.created);
    EXPECT_EQ(times.modified, before.modified);
}

TEST(PosixItemTimes, ALinkToAFolderGetsItsOwnTimes) {
    TempFolder temp;
    const auto folder = temp.Folder("real");
    const auto link = temp.Path("alias");
    ASSERT_EQ(symlink(folder.c_str(), link.c_str()), 0);
    ItemTimes folderBefore;
    ASSERT_FALSE(ReadItemTimes(folder, ItemType::Folder, folderBefore).Failed());
    const FileTime when{1'234'567'890, 42};
    ASSERT_FALSE(WriteItemTimes(link, ItemType::File, {std::nullopt, when, when}).Failed());
    struct stat linkInfo {};
    ASSERT_EQ(lstat(link.c_str(), &linkInfo), 0);
    EXPECT_EQ(linkInfo.st_mtim.tv_sec, when.seconds);
    EXPECT_EQ(linkInfo.st_mtim.tv_nsec, 42);
    ItemTimes folderAfter;
    ASSERT_FALSE(ReadItemTimes(folder, ItemType::Folder, folderAfter).Failed());
    EXPECT_EQ(folderAfter.modified, folderBefore.modified);
}

TEST(PosixItemTimes, WorksOnAFileWhosePathIsLongerThanPathMax) {
    TempFolder temp;
    const LongPath deep(temp.Path());
    ASSERT_GT(deep.Folder().size(), std::size_t{PATH_MAX});
    const std::string file = deep.MakeFile(LongPath::Name('f'));
    const FileTime when{1'111'111'111, 111};
    const SysError written = WriteItemTimes(file, ItemType::File, {std::nullopt, when, when});
    ASSERT_FALSE(written.Failed()) << written.text;
    ItemTimes times;
    ASSERT_FALSE(ReadItemTimes(file, ItemType::File, times).Failed());
    EXPECT_EQ(times.modified, when);
    EXPECT_EQ(times.accessed, when);
    EXPECT_EQ(ReadItemTimes(deep.Folder() + "/" + LongPath::Name('g'), ItemType::File, times).code,
              ENOENT);
    EXPECT_EQ(
        ReadItemTimes(deep.Folder() + "/gone/" + LongPath::Name('f'), ItemType::File, times).code,
        ENOENT);
}

TEST(PosixItemTimes, TheOwnerSetsTheTimesOfAReadOnlyFileAndOthersMayNot) {
    TempFolder temp;
    const auto own = temp.File("own.txt");
    ASSERT_EQ(chown(own.c_str(), 65534, 65534), 0);
    ASSERT_EQ(chmod(own.c_str(), 0444), 0);
    const auto foreign = temp.File("foreign.txt");
    ASSERT_EQ(chmod(foreign.c_str(), 0666), 0);
    const FileTime when{1'222'333'444, 555};
    const int ownCode = AsNobody([&] {
        return WriteItemTimes(own, ItemType::File, {std::nullopt, when, when}).code;
    });
    EXPECT_EQ(ownCode, 0);
    ItemTimes times;
    ASSERT_FALSE(ReadItemTimes(own, ItemType::File, times).Failed());
    EXPECT_EQ(times.modified, when);
    // Only the owner may set times of its choosing, whatever the permissions.
    const int foreignCode = AsNobody([&] {
        return WriteItemTimes(foreign, ItemType::File, {std::nullopt, when, std::nullopt}).code;
    });
    EXPECT_EQ(foreignCode, EPERM);
}
