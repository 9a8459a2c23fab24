#include "engine/items.h"
#include "testing/asnobody.h"

#include <sys/mount.h>

// What a run promises on a tree that others can change while it runs, and
// on file systems that cannot keep what they are given.
namespace stampwell::engine {
namespace {

namespace fs = std::filesystem;
using namespace test;

// A folder, and a file, swapped for links to another folder between the
// search and the work: nothing outside the chosen folder is read or written,
// and each item that cannot be reached any more fails with its reason.
TEST_F(RunTree, FolderOrFileSwappedForALinkMidRunLeavesTheOutsideAlone) {
    Recorder recorder;
    recorder.also.searchDone = [&](std::uint64_t) {
        fs::rename(tree_.Path("sub/deep"), tree_.Path("deep.moved"));
        fs::create_directory_symlink(tree_.Path("other"), tree_.Path("sub/deep"));
        fs::rename(tree_.Path("sub/c.txt"), tree_.Path("c.moved"));
        fs::create_symlink(tree_.Path("other/e.txt"), tree_.Path("sub/c.txt"));
    };
    const AttributeOperation hidden{AttributeAction::Set, false, false, false, true};
    Check({Mode::FilesAndFolders, true, "sub", "*.*", "done 2 2 3 4", "sub", CancelAt::Never, true,
           "sub/c.txt sub/deep sub/deep/d.txt", FailedStep::Replaced, hidden},
          recorder);
    for (const char* outside : {"other", "other/e.txt"})
        EXPECT_EQ(WordOf(tree_.Path(outside)) & kAttrHidden, 0u) << outside;
}

// A link found in the tree is an item of its own: its own times change, what
// it points to is never entered nor touched, and a loop cannot trap the walk.
// The chosen item given as a link is followed, as touch and chmod do, unless
// the link itself is asked for.
TEST_F(RunTree, LinksAreItemsAndFollowedOnlyWhenChosen) {
    using enum Mode;
    fs::create_directory_symlink("..", tree_.Path("sub/loop"));
    fs::create_directory_symlink(tree_.Path("other"), tree_.Path("sub/away"));
    fs::create_symlink(tree_.Path("other/e.txt"), tree_.Path("sub/link.txt"));
    const Case cases[] = {
        {FilesAndFolders, true, "sub", "*.*", "done 5 2 0 7",
         "sub sub/away sub/c.txt sub/deep sub/deep/d.txt sub/link.txt sub/loop"},
        {SingleFile, false, "sub/link.txt", "*.*", "done 1 0 0 0", "other/e.txt"},
        {FilesOnly, true, "sub/away", "*.*", "done 1 0 0 1", "other/e.txt"},
        {SingleFile, false, "sub/link.txt", "*.*", "done 1 0 0 0", "sub/link.txt", CancelAt::Never,
         false},
        {FilesOnly, true, "sub/away", "*.*", "done 1 0 0 0", "sub/away", CancelAt::Never, false},
    };
    for (const Case& c : cases)
        Check(c);
}

// A listing changes a folder's access time (relatime: when it is older than
// the last write): an exchange takes the values read before anything
// touched the folder.
TEST(RunSafety, FolderTimesAreReadBeforeTheWalkListsThem) {
    TempFolder tree;
    tree.File("sub/inner/a.txt");
    const std::vector<std::string> folders{tree.Path("sub/inner"), tree.Path("sub"), tree.Root()};
    constexpr FileTime kAccessed{900'000'000, 5};
    for (const std::string& folder : folders)
        Prepare(folder, kOld, kAccessed);
    Job job = SetModified(tree.Root(), Mode::FoldersOnly);
    job.times = Copy(TimeKind::Modified, TimeKind::Accessed, true);
    EXPECT_EQ(Recorder().Run(job), "done 0 3 0 3");
    for (const std::string& folder : folders) {
        EXPECT_EQ(TimesOf(folder).modified, kAccessed) << folder;
        EXPECT_EQ(TimesOf(folder).accessed, kOld) << folder;
    }
}

// A RAM file system keeps no user extended attributes: Hidden, System and
// Archive cannot be stored there, Read-only (the write bits) can. One
// attribute that cannot be stored does not hold back the others: each is
// tried on its own and the failure names only those that failed.
TEST(RunSafety, AttributesThatCannotBeStoredDoNotBlockTheOthers) {
    TempFolder tree;
    const std::string ram = tree.Folder("ram");
    ASSERT_EQ(mount("ramfs", ram.c_str(), "ramfs", 0, nullptr), 0) << "mounting ramfs needs root";
    const std::string file = tree.File("ram/a.txt");
    Job job = SetModified(file, Mode::SingleFile);
    job.times = {};
    job.attributes = {AttributeAction::Set, false, true, false, true};
    Recorder recorder;
    EXPECT_EQ(recorder.Run(job), "done 1 0 1 0");
    ASSERT_EQ(recorder.failures.size(), 1u);
    EXPECT_EQ(recorder.failures[0].attributes, kAttrHidden);
    EXPECT_EQ(WordOf(file) & (kAttrReadOnly | kAttrHidden), kAttrReadOnly);
    umount2(ram.c_str(), MNT_DETACH);
}

// As a user who may neither read a folder nor write another user's file:
// each is reported and counted, and everything else (the folder's own
// times included, as its owner) is done.
TEST(RunSafety, RefusedItemsAreReportedAndTheRunGoesOn) {
    TempFolder tree;
    for (const char* file : {"locked/inside.txt", "b.txt", "root.txt"})
        Prepare(tree.File(file));
    for (const std::string& item : {tree.Root(), tree.Path("locked"), tree.Path("b.txt")})
        ASSERT_EQ(lchown(item.c_str(), 65534, 65534), 0);
    fs::permissions(tree.Path("locked"), fs::perms::none);
    EXPECT_EQ(testing::AsNobody([&] {
                  Recorder recorder;
                  int wrong = recorder.Run(SetModified(tree.Root())) != "done 2 2 2 4";
                  for (const Failure& f : recorder.failures)
                      wrong += f.item != tree.Path(f.step == FailedStep::WriteTimes ? "root.txt"
                                                                                    : "locked") ||
                               !f.reason.code;
                  return wrong + (recorder.failures.size() != 2);
              }),
              0);
    for (const char* changed : {"locked", "b.txt"})
        EXPECT_EQ(TimesOf(tree.Path(changed)).modified, kNew) << changed;
    for (const char* left : {"locked/inside.txt", "root.txt"})
        EXPECT_EQ(TimesOf(tree.Path(left)).modified, kOld) << left;
}

// A tree deeper than the folders a walk keeps open at once is walked whole.
TEST(RunSafety, DeepTreesAreWalkedWhole) {
    TempFolder tree;
    std::string deep;
    for (int i = 0; i < 40; ++i)
        deep += "d/";
    const std::string bottom = tree.File(deep + "bottom.txt");
    EXPECT_EQ(Recorder().Run(SetModified(tree.Root())), "done 1 41 0 42");
    EXPECT_EQ(TimesOf(bottom).modified, kNew);
}

} // namespace
} // namespace stampwell::engine
