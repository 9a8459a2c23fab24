#include "engine/journalledrun.h"
#include "engine/times.h"
#include "platform/posix/ntfsvolume.h"
#include "testing/asnobody.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

// Undo on real file systems: every value back bit for bit, also after a run
// that was killed at any moment.
namespace stampwell::engine {
namespace {

namespace fs = std::filesystem;
using stampwell::testing::TempFolder;

// What an item holds that a run may change: the three times, the mode and
// the stored attribute bytes (or their absence), as the system reports them.
struct Snapshot {
    ItemTimes times;
    mode_t mode = 0;
    std::string stored;
    bool operator==(const Snapshot& other) const {
        return times.modified == other.times.modified && times.accessed == other.times.accessed &&
               times.created == other.times.created && mode == other.mode && stored == other.stored;
    }
};

Snapshot SnapshotOf(const std::string& path) {
    Snapshot snapshot;
    snapshot.times =
        test::TimesOf(path, fs::is_directory(path) ? ItemType::Folder : ItemType::File);
    struct stat info {};
    EXPECT_EQ(lstat(path.c_str(), &info), 0);
    snapshot.mode = info.st_mode;
    char bytes[256];
    for (const char* name : {"user.DOSATTRIB", "system.ntfs_attrib"}) {
        const ssize_t size = lgetxattr(path.c_str(), name, bytes, sizeof bytes);
        snapshot.stored +=
            std::string(name) + "=" +
            (size < 0 ? "none" : std::string(bytes, static_cast<std::size_t>(size))) + ";";
    }
    return snapshot;
}

// The items of a tree, listed once: listing a folder may change its access
// time, so the snapshots themselves only read each item's values.
std::vector<std::string> ItemsOf(const std::string& root) {
    std::vector<std::string> items{root};
    for (const auto& entry : fs::recursive_directory_iterator(root))
        items.push_back(entry.path().string());
    return items;
}

std::map<std::string, Snapshot> SnapshotTree(const std::vector<std::string>& items) {
    std::map<std::string, Snapshot> all;
    for (const std::string& item : items)
        all[item] = SnapshotOf(item);
    return all;
}

void ExpectSame(const std::map<std::string, Snapshot>& before,
                const std::map<std::string, Snapshot>& after, const std::string& when) {
    ASSERT_EQ(before.size(), after.size()) << when;
    int reported = 0;
    for (const auto& [path, snapshot] : before)
        if (!(after.at(path) == snapshot) && ++reported <= 3)
            ADD_FAILURE() << when << ": " << path << " did not get its values back";
}

// The newest journal that has not been undone yet, undone.
UndoOutcome UndoNewest(const std::string& journals) {
    for (const Journal& listed : ListJournals(journals)) {
        if (!listed.undoneBy.empty() || !listed.head.undoes.empty())
            continue;
        Journal journal;
        EXPECT_FALSE(ReadJournal(listed.file, journal).Failed());
        std::unique_ptr<JournalWriter> undo;
        EXPECT_FALSE(StartUndoJournal(journals, "test", journal, undo).Failed());
        platform::SysError error;
        ClearCancel();
        return UndoWithJournal(journal, false, {}, undo.get(), error);
    }
    return {};
}

Job HideArchiveAndStamp(const std::string& root, std::int64_t second) {
    Job job;
    job.path = root;
    job.recursive = true;
    job.times = {TimeOperation::Type::Set, TimeKind::Modified, TimeKind::Modified, false,
                 FileTime{second, 250}};
    job.attributes.action = AttributeAction::Set;
    job.attributes.hidden = true;
    job.attributes.archive = true;
    return job;
}

// A run killed with SIGKILL at random moments, again and again: undoing its
// cut-short journal always gives every item all its values back, also the
// Read-only of a file whose write bits the run had lifted for a moment.
TEST(UndoPosix, RunsKilledAtRandomMomentsAreAlwaysFullyUndone) {
    TempFolder tree;
    const std::string data = tree.Folder("data");
    for (int folder = 0; folder < 10; ++folder)
        for (int file = 0; file < 120; ++file) {
            const std::string path =
                tree.File("data/f" + std::to_string(folder) + "/" + std::to_string(file) + ".txt");
            test::SetDistinctTimes(path, ItemType::File, 1'000'000'000 + file);
            if (file % 3 == 0) {
                ASSERT_EQ(chmod(path.c_str(), 0444), 0);
            }
        }
    const std::string journals = tree.Folder("journals");
    for (const auto& entry : fs::recursive_directory_iterator(tree.Root()))
        ASSERT_EQ(lchown(entry.path().c_str(), 65534, 65534), 0);
    ASSERT_EQ(lchown(tree.Root().c_str(), 65534, 65534), 0);
    const std::vector<std::string> items = ItemsOf(data);
    const auto original = SnapshotTree(items);

    std::mt19937 random(20261207);
    int cut = 0;
    for (int round = 0; round < 20; ++round) {
        const pid_t child = fork();
        if (child == 0) {
            // The run of the owner of the files: not root, so a read-only
            // file's write bits are lifted while its attributes change.
            if (setgroups(0, nullptr) != 0 || setresgid(65534, 65534, 65534) != 0 ||
                setresuid(65534, 65534, 65534) != 0)
                _exit(2);
            std::unique_ptr<JournalWriter> journal;
            const Job job = HideArchiveAndStamp(data, 1'500'000'000 + round);
            if (StartJournal(journals, "test", job, journal).Failed())
                _exit(3);
            platform::SysError error;
            ClearCancel();
            RunWithJournal(job, {}, journal.get(), error);
            _exit(0);
        }
        ASSERT_GT(child, 0);
        usleep(std::uniform_int_distribution<useconds_t>(0, 60'000)(random));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        if (WIFSIGNALED(status)) {
            ++cut;
        } else {
            ASSERT_EQ(WEXITSTATUS(status), 0);
        }
        if (WIFSIGNALED(status) && !CutShortRuns(journals).empty()) {
            EXPECT_EQ(CutShortRuns(journals).size(), 1u) << "round " << round;
        }
        const UndoOutcome undone = UndoNewest(journals);
        EXPECT_EQ(undone.skipped + undone.failed, 0u) << "round " << round;
        ExpectSame(original, SnapshotTree(items), "round " + std::to_string(round));
        EXPECT_TRUE(CutShortRuns(journals).empty()) << "an undone run is no longer cut short";
    }
    EXPECT_GT(cut, 10) << "most rounds were killed midway";
}

// On NTFS the creation time and the attribute word NTFS keeps come back too.
TEST(UndoPosix, OnNtfsEveryTimeAndTheAttributeWordComeBackBitForBit) {
    testing::NtfsVolume volume;
    ASSERT_TRUE(volume.Mounted()) << volume.Why();
    TempFolder journals;
    const std::string root = volume.Path("data");
    fs::create_directories(root + "/sub");
    std::ofstream(root + "/a.txt") << "a";
    std::ofstream(root + "/sub/b.txt") << "b";
    test::SetDistinctTimes(root + "/a.txt", ItemType::File, 1'000'000'000);
    ASSERT_FALSE(platform::WriteAttributes(root + "/sub/b.txt", platform::kAttrReadOnly).Failed());
    const std::vector<std::string> items = ItemsOf(root);
    const auto original = SnapshotTree(items);

    Job job = HideArchiveAndStamp(root, 1'600'000'000);
    job.times = {TimeOperation::Type::Copy, TimeKind::Created, TimeKind::Accessed, true, {}};
    job.attributes.action = AttributeAction::Clear;
    job.attributes.readOnly = true;
    std::unique_ptr<JournalWriter> journal;
    ASSERT_FALSE(StartJournal(journals.Root(), "test", job, journal).Failed());
    platform::SysError error;
    ClearCancel();
    EXPECT_EQ(RunWithJournal(job, {}, journal.get(), error).failed, 0u);
    EXPECT_NE(SnapshotOf(root + "/sub/b.txt").stored, original.at(root + "/sub/b.txt").stored);
    const UndoOutcome undone = UndoNewest(journals.Root());
    EXPECT_EQ(undone.restored, 4u);
    ExpectSame(original, SnapshotTree(items), "after the undo");
}

// Where the creation time is stored in user.DOSATTRIB (any Linux file system
// with user attributes), undo puts it back there, beside Samba's own value
// or by taking away the one the run made, with or without attributes.
TEST(UndoPosix, ACreationTimeStoredAsSambaStoresItComesBackBitForBit) {
    TempFolder tree;
    const std::string root = tree.Folder("data");
    const std::string samba = tree.File("data/samba.txt");
    tree.File("data/plain.txt");
    const std::string value("\0\0\5\0\5\0\0\0\x11\0\0\0\3\0\0\0"
                            "\x6c\x77\x7a\xe2\x0c\x86\xdd\x01",
                            24);
    ASSERT_EQ(lsetxattr(samba.c_str(), "user.DOSATTRIB", value.data(), value.size(), 0), 0);
    const std::vector<std::string> items = ItemsOf(root);
    const auto original = SnapshotTree(items);
    for (const bool withAttributes : {false, true}) {
        Job job = HideArchiveAndStamp(root, 1'600'000'000);
        job.times = {TimeOperation::Type::Copy, TimeKind::Created, TimeKind::Accessed, true, {}};
        if (!withAttributes)
            job.attributes.action = AttributeAction::None;
        std::unique_ptr<JournalWriter> journal;
        ASSERT_FALSE(StartJournal(tree.Folder("journals"), "test", job, journal).Failed());
        platform::SysError error;
        ClearCancel();
        EXPECT_EQ(RunWithJournal(job, {}, journal.get(), error).failed, 0u);
        EXPECT_NE(SnapshotOf(samba).times.created, original.at(samba).times.created);
        const UndoOutcome undone = UndoNewest(tree.Folder("journals"));
        EXPECT_EQ(undone.restored, 3u);
        ExpectSame(original, SnapshotTree(items), withAttributes ? "with attributes" : "times");
    }
}

// Without a journal there is no run: a state folder that cannot be written
// (read-only, or a full disk) makes the journal fail before anything starts.
TEST(UndoPosix, AJournalThatCannotBeWrittenFailsBeforeTheRun) {
    TempFolder tree;
    const std::string locked = tree.Folder("locked");
    ASSERT_EQ(chmod(locked.c_str(), 0555), 0);
    const int refused = testing::AsNobody([&] {
        std::unique_ptr<JournalWriter> journal;
        return StartJournal(locked + "/journal", "test", Job{}, journal).Failed() ? 0 : 1;
    });
    EXPECT_EQ(refused, 0);

    const std::string full = tree.Folder("full");
    ASSERT_EQ(mount("tmpfs", full.c_str(), "tmpfs", 0, "size=64k"), 0);
    std::ofstream(full + "/filler") << std::string(64 * 1024, 'x');
    std::unique_ptr<JournalWriter> journal;
    const platform::SysError error = StartJournal(full + "/journal", "test", Job{}, journal);
    umount2(full.c_str(), MNT_DETACH);
    EXPECT_EQ(error.code, ENOSPC);
    EXPECT_FALSE(journal);
}

} // namespace
} // namespace stampwell::engine
