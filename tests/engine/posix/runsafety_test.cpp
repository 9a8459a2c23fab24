#include "engine/items.h"
#include "platform/posix/ntfsvolume.h"
#include "testing/asnobody.h"

#include <sys/mount.h>
#include <sys/xattr.h>

// What a run promises on a tree that others can change while it runs, and
// on file systems that cannot keep what they are given.
namespace stampwell::engine {
namespace {

namespace fs = std::filesystem;
using namespace test;

// A folder, and a file, swapped for links to another folder between the
// search and the work: nothing outside the chosen folder is read or written,
// and each item that cannot be reached any more fails with its reason.
TEST(RunSafety, FolderOrFileSwappedForALinkMidRunLeavesTheOutsideAlone) {
    TempFolder tree;
    testing::NtfsVolume volume;
    ASSERT_TRUE(volume.Mounted()) << volume.Why();
    for (const std::string& root : {tree.Root(), volume.Path("run")}) {
        SCOPED_TRACE(root);
        const std::string chosen = root + "/chosen";
        const std::string outside = root + "/outside";
        fs::create_directories(chosen + "/sub");
        fs::create_directories(outside);
        for (const std::string& file :
             {outside + "/x.txt", chosen + "/sub/x.txt", chosen + "/z.txt"})
            std::ofstream(file) << "x";
        for (const std::string& item : {outside, outside + "/x.txt"})
            Prepare(item);
        Recorder recorder;
        recorder.also.searchDone = [&](std::uint64_t) {
            fs::rename(chosen + "/sub", chosen + "/sub.moved");
            fs::create_directory_symlink(outside, chosen + "/sub");
            fs::rename(chosen + "/z.txt", chosen + "/z.moved");
            fs::create_symlink(outside + "/x.txt", chosen + "/z.txt");
        };
        Job job = SetModified(chosen);
        job.attributes = {AttributeAction::Set, false, false, false, true};
        EXPECT_EQ(recorder.Run(job), "done 2 2 3 4");
        for (const std::string& item : {outside, outside + "/x.txt"}) {
            EXPECT_EQ(TimesOf(item).modified, kOld) << item;
            EXPECT_EQ(WordOf(item) & kAttrHidden, 0u) << item;
        }
        std::vector<std::string> failed;
        for (const Failure& failure : recorder.failures) {
            EXPECT_EQ(failure.step, FailedStep::Replaced) << failure.item;
            failed.push_back(failure.item);
        }
        EXPECT_EQ(failed, (std::vector<std::string>{chosen + "/z.txt", chosen + "/sub/x.txt",
                                                    chosen + "/sub"}));
    }
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
    TimesChange change;
    EXPECT_FALSE(
        ApplyFileTimes(tree_.Path("sub/link.txt"), SetTime(TimeKind::Modified, kNew), change));
    EXPECT_EQ(Changed(), "sub/away sub/link.txt") << "the link itself";
}

// A listing changes a folder's access time (relatime: when it is older than
// the last write): an exchange takes the values read before anything
// touched the folder, and a dry run leaves every time as it was.
TEST(RunSafety, FolderTimesAreReadBeforeTheWalkListsThem) {
    TempFolder tree;
    tree.File("sub/inner/a.txt");
    const std::vector<std::string> folders{tree.Path("sub/inner"), tree.Path("sub"), tree.Root()};
    constexpr FileTime kAccessed{900'000'000, 5};
    for (const std::string& folder : folders)
        Prepare(folder, kOld, kAccessed);
    Job job = SetModified(tree.Root(), Mode::FoldersOnly);
    job.times = Copy(TimeKind::Modified, TimeKind::Accessed, true);
    for (const bool dryRun : {true, false}) {
        job.dryRun = dryRun;
        Recorder recorder;
        EXPECT_EQ(recorder.Run(job), "done 0 3 0 3");
        ASSERT_EQ(recorder.done.size(), 3u);
        for (const ItemReport& report : recorder.done) {
            EXPECT_EQ(report.times.update.modified, kAccessed) << report.path;
            EXPECT_EQ(report.times.update.accessed, kOld) << report.path;
            EXPECT_EQ(TimesOf(report.path).modified, dryRun ? kOld : kAccessed) << report.path;
            EXPECT_EQ(TimesOf(report.path).accessed, dryRun ? kAccessed : kOld) << report.path;
        }
    }
}

// Entries are treated in the byte order of their names, whatever order the
// file system lists them in, so that two runs go the same way.
TEST(RunSafety, EntriesAreTreatedInNameOrder) {
    TempFolder tree;
    std::vector<std::string> files;
    for (const char* name :
         {"b.txt", "a.txt", "C.txt", "_x.txt", "aa.txt", "\xc3\xa4.txt", "B.txt", "0.txt"})
        files.push_back(tree.File(name));
    for (const bool recursive : {false, true}) {
        Recorder recorder;
        recorder.Run(SetModified(tree.Root(), Mode::FilesOnly, recursive));
        EXPECT_EQ(recorder.inHand, Sorted(files));
    }
}

// A RAM file system keeps no user extended attributes: Hidden, System and
// Archive cannot be stored there, Read-only (the write bits) can. A damaged
// stored value is kept as it is, so Hidden cannot be changed in it either.
// One attribute that cannot be stored does not hold back the others: each
// is tried on its own and the failure names only those that failed.
TEST(RunSafety, AttributesThatCannotBeStoredDoNotBlockTheOthers) {
    TempFolder tree;
    const std::string ram = tree.Folder("ram");
    ASSERT_EQ(mount("ramfs", ram.c_str(), "ramfs", 0, nullptr), 0) << "mounting ramfs needs root";
    const std::string samba = tree.File("samba.txt");
    const char binary[] = "0x20\0\x03\x00\x04\x00";
    ASSERT_EQ(setxattr(samba.c_str(), "user.DOSATTRIB", binary, sizeof binary - 1, 0), 0);
    for (const std::string& file : {tree.File("ram/a.txt"), samba}) {
        Job job = SetModified(file);
        job.isFolder = false;
        job.times = {};
        job.attributes = {AttributeAction::Set, false, true, false, true};
        Recorder recorder;
        EXPECT_EQ(recorder.Run(job), "done 1 0 1 0") << file;
        ASSERT_EQ(recorder.failures.size(), 1u) << file;
        EXPECT_EQ(recorder.failures[0].attributes, kAttrHidden) << file;
        EXPECT_EQ(WordOf(file) & (kAttrReadOnly | kAttrHidden), kAttrReadOnly) << file;
    }
    umount2(ram.c_str(), MNT_DETACH);
}

// As a user who may neither read a folder nor write another user's file:
// each is reported and counted, and everything else (the folder's own
// times included, as its owner) is done.
TEST(RunSafety, RefusedItemsAreReportedAndTheRunGoesOn) {
    TempFolder tree;
    for (const char* file : {"locked/inside.txt", "b.txt"})
        Prepare(tree.File(file));
    for (const std::string& item : {tree.Root(), tree.Path("locked"), tree.Path("b.txt")})
        ASSERT_EQ(lchown(item.c_str(), 65534, 65534), 0);
    const std::string rootOwned = tree.File("root.txt");
    Prepare(rootOwned);
    fs::permissions(tree.Path("locked"), fs::perms::none);
    const int wrong = testing::AsNobody([&] {
        Recorder recorder;
        int wrong = recorder.Run(SetModified(tree.Root())) != "done 2 2 2 4";
        for (const Failure& f : recorder.failures)
            wrong +=
                f.item != (f.step == FailedStep::WriteTimes ? rootOwned : tree.Path("locked")) ||
                !f.reason.code;
        return wrong + (recorder.failures.size() != 2);
    });
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(TimesOf(tree.Path("locked")).modified, kNew);
    EXPECT_EQ(TimesOf(tree.Path("b.txt")).modified, kNew);
    EXPECT_EQ(TimesOf(tree.Path("locked/inside.txt")).modified, kOld);
    EXPECT_EQ(TimesOf(rootOwned).modified, kOld);
}

// A tree thousands of levels deep, far past PATH_MAX, is walked without
// recursion; a folder with more sub-folders than a 16-bit index can count
// is searched whole (in memory, where they come and go quickly).
TEST(RunSafety, DeepAndWideTreesAreWalkedWhole) {
    constexpr int kDepth = 3000;
    constexpr int kWide = 33'000;
    TempFolder tree(fs::is_directory("/dev/shm") ? "/dev/shm" : fs::temp_directory_path());
    const fs::path start = fs::current_path();
    fs::current_path(tree.Folder("deep"));
    for (int i = 0; i < kDepth; ++i) {
        fs::create_directory("d");
        fs::current_path("d");
    }
    std::ofstream("bottom.txt") << "x";
    fs::current_path(start);
    for (int i = 0; i < kWide; ++i)
        tree.Folder("wide/f" + std::to_string(i));
    tree.File("wide/f32999/last.txt");
    EXPECT_EQ(Recorder().Run(SetModified(tree.Root())),
              "done 2 " + std::to_string(kDepth + kWide + 3) + " 0 " +
                  std::to_string(kDepth + kWide + 5));
    EXPECT_EQ(TimesOf(tree.Path("wide/f32999/last.txt")).modified, kNew);
    std::string bottom = tree.Path("deep");
    for (int i = 0; i < kDepth; ++i)
        bottom += "/d";
    EXPECT_EQ(TimesOf(bottom + "/bottom.txt").modified, kNew) << "reached by its whole path";
    // Removed by rm, which needs no whole path either.
    EXPECT_EQ(std::system(("rm -rf " + tree.Path("deep")).c_str()), 0);
}

} // namespace
} // namespace stampwell::engine
