#include "platform/attributes.h"
#include "platform/files.h"
#include "platform/item.h"
#include "platform/itemtimes.h"
#include "platform/posix/longpath.h"
#include "platform/readback.h"
#include "testing/asnobody.h"
#include "testing/tempfolder.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace stampwell::platform;
using stampwell::testing::AsNobody;
using stampwell::testing::Times;
using stampwell::testing::Word;

// Times to the nanosecond and the attributes, also where the path is longer
// than PATH_MAX.
TEST(PosixItemTimes, KeepsEveryNanosecondOnAPathLongerThanPathMax) {
    stampwell::testing::TempFolder temp;
    const stampwell::testing::LongPath deep(temp.Path());
    const std::string file = deep.MakeFile(std::string(255, 'f'));
    ASSERT_GT(file.size(), std::size_t{PATH_MAX});
    const FileTime odd{1'700'000'000, 123'456'789};
    ASSERT_FALSE(WriteItemTimes(file, ItemType::File, {{}, odd, {}}).Failed());
    EXPECT_EQ(Times(file).modified, odd);
    ASSERT_FALSE(WriteAttributes(file, kAttrHidden | kAttrReadOnly).Failed());
    EXPECT_EQ(Word(file), kAttrHidden | kAttrReadOnly);
    EXPECT_TRUE(PathExists(file) && IsFolder(deep.Folder()) && !IsFolder(file));
}

// A link is the item itself: it gets times of its own and its target keeps
// its own; it has no mode and no attribute value, and says so. Whether a
// creation time can be set is asked of what it leads to, as a run follows it.
TEST(PosixItemTimes, ALinkIsTheItemItselfAndNeverTouchedThrough) {
    stampwell::testing::TempFolder temp;
    const auto folder = temp.Folder("real");
    const auto link = temp.Path("alias");
    ASSERT_EQ(symlink(folder.c_str(), link.c_str()), 0);
    const ItemTimes folderBefore = Times(folder, ItemType::Folder);
    const FileTime when{1'234'567'890, 42};
    ASSERT_FALSE(WriteItemTimes(link, ItemType::File, {{}, when, when}).Failed());
    EXPECT_EQ(Times(link).modified, when);
    EXPECT_EQ(Times(folder, ItemType::Folder).modified, folderBefore.modified);
    EXPECT_EQ(WriteAttributes(link, kAttrReadOnly).code, EOPNOTSUPP);
    EXPECT_EQ(Word(folder), kAttrDirectory);
    EXPECT_TRUE(CreationTimeSettable(link, ItemType::File)) << "a link named last is followed";
    ASSERT_EQ(symlink("nowhere", temp.Path("dangling").c_str()), 0);
    EXPECT_FALSE(CreationTimeSettable(temp.Path("dangling"), ItemType::File));
    EXPECT_TRUE(WriteItemTimes(temp.Path("dangling"), ItemType::File, {when, when, {}}).Failed());
    EXPECT_NE(Times(temp.Path("dangling")).modified, when);
}

// The owner may hide a read-only file, as Windows lets it, and it stays
// read-only.
TEST(PosixItemTimes, TheOwnerHidesItsReadOnlyFile) {
    stampwell::testing::TempFolder temp;
    const auto own = temp.File("own.txt");
    chown(own.c_str(), 65534, 65534);
    chmod(own.c_str(), 0444);
    EXPECT_EQ(AsNobody([&] { return WriteAttributes(own, kAttrReadOnly | kAttrHidden).code; }), 0);
    EXPECT_EQ(Word(own), kAttrReadOnly | kAttrHidden);
    struct stat info {};
    ASSERT_EQ(stat(own.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0444u);
}

// Trailing slashes name the folder itself; the root gives itself and no name;
// a link named last is the item unless it is to be followed.
TEST(PosixItem, OpenParentGivesTheFolderAndTheLastName) {
    stampwell::testing::TempFolder temp;
    ASSERT_EQ(symlink(temp.File("sub/a.txt").c_str(), temp.Path("alias").c_str()), 0);
    const std::tuple<std::string, bool, std::string, std::string> cases[] = {
        {temp.Path("sub/a.txt"), false, temp.Path("sub"), "a.txt"},
        {temp.Path("sub//"), false, temp.Root(), "sub"},
        {"/", false, "/", ""},
        {temp.Path("alias"), false, temp.Root(), "alias"},
        {temp.Path("alias"), true, temp.Path("sub"), "a.txt"}};
    for (const auto& [path, follow, folder, name] : cases) {
        OpenFolder parent;
        OpenFolder expected;
        std::string last = "x";
        ASSERT_FALSE(OpenFolder::OpenParent(path, follow, parent, last).Failed()) << path;
        ASSERT_FALSE(OpenFolder::Open(folder, expected).Failed()) << folder;
        EXPECT_EQ(last, name) << path;
        EXPECT_EQ(parent.Identity(), expected.Identity()) << path;
    }
}
