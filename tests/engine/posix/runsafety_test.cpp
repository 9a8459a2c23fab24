#include "engine/batchrun.h"
#include "engine/times.h"
#include "platform/posix/ntfsvolume.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/xattr.h>

// What a run promises on a tree that others can change while it runs, and
// on file systems that cannot keep what they are given.
namespace stampwell::engine {
namespace {

namespace fs = std::filesystem;
using stampwell::testing::TempFolder;
using test::TimesOf;

constexpr FileTime kOld{1'000'000'000, 123'456'700};
constexpr FileTime kNew{1'234'567'890, 987'654'300};

void Prepare(const std::string& path, ItemType type, FileTime modified = kOld,
             FileTime accessed = kOld) {
    TimesUpdate update;
    update.modified = modified;
    update.accessed = accessed;
    ASSERT_FALSE(platform::WriteItemTimes(path, type, update).Failed()) << path;
}

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(lstat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

Job SetModifiedClearReadOnly(const std::string& path) {
    Job job;
    job.path = path;
    job.recursive = true;
    job.times = {TimeOperation::Type::Set, TimeKind::Modified, TimeKind::Modified, false, kNew};
    job.attributes.action = AttributeAction::Clear;
    job.attributes.readOnly = true;
    return job;
}

std::vector<Failure> FailuresOf(const Outcome& outcome, const std::vector<Failure>& failures) {
    EXPECT_EQ(outcome.failed, failures.size());
    return failures;
}

// A folder, and a file, swapped for links to another folder between the
// search and the work: nothing outside the chosen folder is read or written,
// and each item that cannot be reached any more fails with its reason.
void SwapDuringRun(const std::string& chosen, const std::string& outside) {
    std::vector<mode_t> modes;
    for (const char* name : {"x.txt", "y.txt"}) {
        std::ofstream(outside + "/" + name) << "outside";
        Prepare(outside + "/" + name, ItemType::File);
        ASSERT_EQ(chmod((outside + "/" + name).c_str(), 0444), 0);
        modes.push_back(ModeOf(outside + "/" + name));
    }
    Prepare(outside, ItemType::Folder);
    fs::create_directories(chosen + "/sub");
    std::ofstream(chosen + "/sub/x.txt") << "x";
    std::ofstream(chosen + "/sub/y.txt") << "y";
    std::ofstream(chosen + "/z.txt") << "z";

    std::vector<Failure> failures;
    RunCallbacks callbacks;
    callbacks.failure = [&](const Failure& failure) { failures.push_back(failure); };
    callbacks.searchDone = [&](std::uint64_t) {
        fs::rename(chosen + "/sub", chosen + "/sub.moved");
        fs::create_directory_symlink(outside, chosen + "/sub");
        fs::rename(chosen + "/z.txt", chosen + "/z.moved");
        fs::create_symlink(outside + "/x.txt", chosen + "/z.txt");
    };
    ClearCancel();
    const Outcome outcome = RunBatch(SetModifiedClearReadOnly(chosen), callbacks);
    EXPECT_EQ(outcome.ending, Ending::Done);
    for (const char* name : {"x.txt", "y.txt"}) {
        EXPECT_EQ(TimesOf(outside + "/" + name, ItemType::File).modified, kOld) << name;
        EXPECT_EQ(ModeOf(outside + "/" + name), modes[name[0] - 'x']) << name;
    }
    EXPECT_EQ(TimesOf(outside, ItemType::Folder).modified, kOld);
    std::vector<std::string> failed;
    for (const Failure& failure : FailuresOf(outcome, failures)) {
        EXPECT_EQ(failure.step, FailedStep::Replaced) << failure.item;
        failed.push_back(failure.item);
    }
    EXPECT_EQ(failed, (std::vector<std::string>{chosen + "/z.txt", chosen + "/sub/x.txt",
                                                chosen + "/sub/y.txt", chosen + "/sub"}));
}

TEST(RunSafety, FolderOrFileSwappedForALinkMidRunLeavesTheOutsideAlone) {
    TempFolder tree;
    SwapDuringRun(tree.Folder("chosen"), tree.Folder("outside"));
}

TEST(RunSafety, OnNtfsAFolderSwappedForALinkMidRunLeavesTheOutsideAlone) {
    testing::NtfsVolume volume;
    ASSERT_TRUE(volume.Mounted()) << volume.Why();
    fs::create_directory(volume.Path("chosen"));
    fs::create_directory(volume.Path("outside"));
    SwapDuringRun(volume.Path("chosen"), volume.Path("outside"));
}

// The chosen item given as a link: followed, for a folder as for a file, as
// touch and chmod do; with followLink off, the link itself is the one item.
TEST(RunSafety, ChosenLinkIsFollowedUnlessTheLinkItselfIsAskedFor) {
    TempFolder tree;
    const std::string file = tree.File("real/file.txt");
    Prepare(file, ItemType::File);
    fs::create_directory_symlink(tree.Path("real"), tree.Path("folder-link"));
    fs::create_symlink(file, tree.Path("file-link"));
    Job job;
    job.times = {TimeOperation::Type::Set, TimeKind::Modified, TimeKind::Modified, false, kNew};

    job.path = tree.Path("file-link");
    job.isFolder = false;
    EXPECT_EQ(RunBatch(job, {}).failed, 0u);
    EXPECT_EQ(TimesOf(file, ItemType::File).modified, kNew);
    EXPECT_NE(TimesOf(tree.Path("file-link"), ItemType::File).modified, kNew);

    Prepare(file, ItemType::File);
    job.path = tree.Path("folder-link");
    job.isFolder = true;
    job.mode = Mode::FilesOnly;
    EXPECT_EQ(RunBatch(job, {}).files, 1u);
    EXPECT_EQ(TimesOf(file, ItemType::File).modified, kNew);

    Prepare(file, ItemType::File);
    job.followLink = false;
    for (const char* link : {"folder-link", "file-link"}) {
        job.path = tree.Path(link);
        job.isFolder = std::string(link) == "folder-link";
        const Outcome outcome = RunBatch(job, {});
        EXPECT_EQ(outcome.mode, Mode::SingleFile) << link;
        EXPECT_EQ(outcome.failed, 0u) << link;
        EXPECT_EQ(TimesOf(tree.Path(link), ItemType::File).modified, kNew) << link;
    }
    EXPECT_EQ(TimesOf(file, ItemType::File).modified, kOld);
}

// A listing changes a folder's access time (relatime: when it is older than
// the last write): an exchange takes the values read before anything
// touched the folder, and a dry run leaves every time as it was.
TEST(RunSafety, FolderTimesAreReadBeforeTheWalkListsThem) {
    TempFolder tree;
    const std::string sub = tree.Folder("sub");
    tree.File("sub/inner/a.txt");
    constexpr FileTime kAccessed{900'000'000, 5};
    for (const std::string& folder : {tree.Path("sub/inner"), sub, tree.Root()})
        Prepare(folder, ItemType::Folder, kOld, kAccessed);
    Job job;
    job.path = tree.Root();
    job.recursive = true;
    job.mode = Mode::FoldersOnly;
    job.times = {TimeOperation::Type::Copy, TimeKind::Modified, TimeKind::Accessed, true, {}};

    job.dryRun = true;
    std::vector<ItemReport> reports;
    RunCallbacks callbacks;
    callbacks.itemDone = [&](const ItemReport& report) { reports.push_back(report); };
    ClearCancel();
    EXPECT_EQ(RunBatch(job, callbacks).folders, 3u);
    ASSERT_EQ(reports.size(), 3u);
    for (const ItemReport& report : reports) {
        EXPECT_EQ(report.times.update.modified, kAccessed) << report.path;
        EXPECT_EQ(report.times.update.accessed, kOld) << report.path;
        const ItemTimes now = TimesOf(report.path, ItemType::Folder);
        EXPECT_EQ(now.modified, kOld) << report.path << ": a dry run writes nothing";
        EXPECT_EQ(now.accessed, kAccessed) << report.path << ": not even an access time";
    }

    job.dryRun = false;
    EXPECT_EQ(RunBatch(job, {}).failed, 0u);
    for (const std::string& folder : {tree.Path("sub/inner"), sub, tree.Root()}) {
        const ItemTimes now = TimesOf(folder, ItemType::Folder);
        EXPECT_EQ(now.modified, kAccessed) << folder;
        EXPECT_EQ(now.accessed, kOld) << folder;
    }
}

// Entries are treated in the byte order of their names, whatever order the
// file system lists them in, so two runs go the same way.
TEST(RunSafety, EntriesAreTreatedInNameOrder) {
    TempFolder tree;
    const std::vector<std::string> names = {"b.txt",  "a.txt",        "C.txt", "_x.txt",
                                            "aa.txt", "\xc3\xa4.txt", "B.txt", "0.txt"};
    for (const std::string& name : names)
        tree.File("f/" + name);
    std::vector<std::string> sorted;
    for (const std::string& name : names)
        sorted.push_back(tree.Path("f/" + name));
    std::sort(sorted.begin(), sorted.end());
    Job job;
    job.path = tree.Path("f");
    job.mode = Mode::FilesOnly;
    for (const bool recursive : {false, true}) {
        job.recursive = recursive;
        std::vector<std::string> seen;
        RunCallbacks callbacks;
        callbacks.itemInHand = [&](const std::string& path, ItemType) { seen.push_back(path); };
        ClearCancel();
        RunBatch(job, callbacks);
        EXPECT_EQ(seen, sorted) << (recursive ? "with" : "without") << " sub-folders";
    }
}

// A date the file system cannot store is clamped by it: the read back shows
// it, the old times are put back exactly, and the item fails.
TEST(RunSafety, DateTheFileSystemCannotStoreLeavesTheOldTimes) {
    TempFolder tree;
    const std::string file = tree.File("a.txt");
    constexpr FileTime kAccessed{1'100'000'000, 42};
    // 1600-01-01 and 9999-12-31 23:59:59 UTC: ext4 keeps 1901 to 2446.
    for (const FileTime wanted : {FileTime{-11'676'096'000, 0}, FileTime{253'402'300'799, 0}}) {
        Prepare(file, ItemType::File, kOld, kAccessed);
        Job job;
        job.path = file;
        job.isFolder = false;
        job.times = {TimeOperation::Type::Set, TimeKind::Modified, TimeKind::Modified, false,
                     wanted};
        std::vector<Failure> failures;
        RunCallbacks callbacks;
        callbacks.failure = [&](const Failure& failure) { failures.push_back(failure); };
        EXPECT_EQ(RunBatch(job, callbacks).failed, 1u);
        ASSERT_EQ(failures.size(), 1u);
        EXPECT_EQ(failures[0].step, FailedStep::TimesNotKept);
        EXPECT_EQ(failures[0].kinds, KindBit(TimeKind::Modified));
        const ItemTimes now = TimesOf(file, ItemType::File);
        EXPECT_EQ(now.modified, kOld) << "the old time is put back";
        EXPECT_EQ(now.accessed, kAccessed);
    }
}

// A RAM file system keeps no user extended attributes: Hidden, System and
// Archive cannot be stored there, Read-only (the write bits) can.
class RamVolume {
public:
    RamVolume() : path_(temp_.Folder("ram")) {
        mounted_ = mount("ramfs", path_.c_str(), "ramfs", 0, nullptr) == 0;
    }
    ~RamVolume() {
        if (mounted_)
            umount2(path_.c_str(), MNT_DETACH);
    }
    bool Mounted() const { return mounted_; }
    std::string Path(const std::string& relative) const { return path_ + "/" + relative; }

private:
    TempFolder temp_;
    std::string path_;
    bool mounted_ = false;
};

std::uint32_t WordOf(const std::string& path) {
    std::uint32_t word = 0;
    EXPECT_FALSE(platform::ReadAttributes(path, word).Failed()) << path;
    return word;
}

// One attribute that cannot be stored does not hold back the others: each is
// tried on its own and the failure names only those that failed.
TEST(RunSafety, AttributesThatCannotBeStoredDoNotBlockTheOthers) {
    RamVolume ram;
    ASSERT_TRUE(ram.Mounted()) << "mounting ramfs needs root";
    TempFolder tree;
    const std::string onRam = ram.Path("a.txt");
    std::ofstream(onRam) << "x";
    // A damaged stored value is kept as it is, so Hidden cannot be changed
    // in it; Read-only goes into the mode alone.
    const std::string samba = tree.File("samba.txt");
    const char binary[] = "0x20\0\x03\x00\x04\x00";
    ASSERT_EQ(setxattr(samba.c_str(), "user.DOSATTRIB", binary, sizeof binary - 1, 0), 0);

    for (const std::string& file : {onRam, samba}) {
        Job job;
        job.path = file;
        job.isFolder = false;
        job.attributes.action = AttributeAction::Set;
        job.attributes.readOnly = true;
        job.attributes.hidden = true;
        std::vector<Failure> failures;
        RunCallbacks callbacks;
        callbacks.failure = [&](const Failure& failure) { failures.push_back(failure); };
        EXPECT_EQ(RunBatch(job, callbacks).failed, 1u) << file;
        ASSERT_EQ(failures.size(), 1u) << file;
        EXPECT_EQ(failures[0].attributes, kAttrHidden) << file;
        EXPECT_EQ(WordOf(file) & (kAttrReadOnly | kAttrHidden), kAttrReadOnly) << file;
    }
}

} // namespace
} // namespace stampwell::engine
