#include "engine/items.h"
#include "engine/journalledrun.h"
#include "platform/posix/ntfsvolume.h"
#include "testing/asnobody.h"

#include <csignal>
#include <random>
#include <sstream>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/xattr.h>

// Undo on real file systems: every value back bit for bit, also after a run
// that was killed at any moment.
namespace stampwell::engine {
namespace {

namespace fs = std::filesystem;
using namespace test;

// What an item holds that a run may change, as the system reports it: the
// three times, the mode and the stored attribute bytes (or their absence).
std::string ValuesOf(const std::string& path) {
    const ItemTimes times = TimesOf(path);
    struct stat info {};
    EXPECT_EQ(lstat(path.c_str(), &info), 0) << path;
    std::ostringstream values;
    for (const FileTime time : {times.modified, times.accessed, times.created.value_or(FileTime{})})
        values << time.seconds << '.' << time.nanoseconds << ' ';
    values << std::oct << info.st_mode;
    for (const char* name : {"user.DOSATTRIB", "system.ntfs_attrib"}) {
        char bytes[256];
        const ssize_t size = lgetxattr(path.c_str(), name, bytes, sizeof bytes);
        values << ' ' << (size < 0 ? "none" : std::string(bytes, static_cast<std::size_t>(size)));
    }
    return values.str();
}

// The values of the items of a tree, listed once: listing a folder may
// change its access time, so that later looks only read each item's values.
struct TreeValues {
    explicit TreeValues(const std::string& root) : items{root} {
        for (const auto& entry : fs::recursive_directory_iterator(root))
            items.push_back(entry.path().string());
        values = Now();
    }
    std::vector<std::string> Now() const {
        std::vector<std::string> now;
        for (const std::string& item : items)
            now.push_back(item + ": " + ValuesOf(item));
        return now;
    }
    std::vector<std::string> items;
    std::vector<std::string> values;
};

// A run killed with SIGKILL at random moments, again and again: undoing its
// cut-short journal always gives every item (a link too, and names in any
// bytes) all its values back, also the Read-only of a file whose write bits
// the run had lifted for a moment.
TEST(UndoPosix, RunsKilledAtRandomMomentsAreAlwaysFullyUndone) {
    TempFolder tree;
    const std::string data = tree.Folder("data");
    for (int folder = 0; folder < 10; ++folder)
        for (int file = 0; file < 120; ++file) {
            const std::string path = tree.File("data/f" + std::to_string(folder) + "/" +
                                               (folder == 0 ? "new\nline\ttab\\\xff " : "") +
                                               std::to_string(file) + ".txt");
            SetDistinctTimes(path, 1'000'000'000 + file);
            if (file % 3 == 0)
                fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);
        }
    fs::create_symlink("1.txt", tree.Path("data/f1/link"));
    const std::string journals = tree.Folder("journals");
    for (const auto& entry : fs::recursive_directory_iterator(tree.Root()))
        ASSERT_EQ(lchown(entry.path().c_str(), 65534, 65534), 0);
    ASSERT_EQ(lchown(tree.Root().c_str(), 65534, 65534), 0);
    const TreeValues original(data);

    std::mt19937 random(20261207);
    int cut = 0;
    for (int round = 0; round < 20; ++round) {
        // The run of the owner of the files: not root, so a read-only file's
        // write bits are lifted while its attributes change.
        const pid_t child = fork();
        if (child == 0) {
            if (setgroups(0, nullptr) != 0 || setresgid(65534, 65534, 65534) != 0 ||
                setresuid(65534, 65534, 65534) != 0)
                _exit(2);
            Job job = SetModified(data);
            job.times = SetTime(TimeKind::Modified, FileTime{1'500'000'000 + round, 250});
            job.attributes = {AttributeAction::Set, true, false, false, true};
            RunJournalled(job, journals);
            _exit(0);
        }
        ASSERT_GT(child, 0);
        usleep(std::uniform_int_distribution<useconds_t>(0, 60'000)(random));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        cut += WIFSIGNALED(status);
        EXPECT_LE(CutShortRuns(journals).size(), 1u) << "round " << round;
        const UndoOutcome undone = UndoNewest(journals);
        EXPECT_EQ(undone.skipped + undone.failed, 0u) << "round " << round;
        EXPECT_EQ(original.Now(), original.values) << "round " << round;
        EXPECT_TRUE(CutShortRuns(journals).empty()) << "an undone run is no longer cut short";
    }
    EXPECT_GT(cut, 10) << "most rounds were killed midway";
}

// On NTFS the creation time and the attribute word NTFS keeps come back; on
// another Linux file system the creation time stored in user.DOSATTRIB, as
// Samba stores it, comes back there, beside Samba's own value or by taking
// away the one the run made, with or without attributes.
TEST(UndoPosix, CreationTimesAndStoredAttributesComeBackBitForBit) {
    testing::NtfsVolume volume;
    ASSERT_TRUE(volume.Mounted()) << volume.Why();
    TempFolder tree;
    const std::string ntfs = volume.Path("data");
    const std::string other = tree.Path("data");
    for (const std::string& root : {ntfs, other}) {
        fs::create_directories(root + "/sub");
        std::ofstream(root + "/a.txt") << "a";
        std::ofstream(root + "/sub/b.txt") << "b";
    }
    SetDistinctTimes(ntfs + "/a.txt", 1'000'000'000);
    ASSERT_FALSE(platform::WriteAttributes(ntfs + "/sub/b.txt", kAttrReadOnly).Failed());
    const std::string samba("\0\0\5\0\5\0\0\0\x11\0\0\0\3\0\0\0\x6c\x77\x7a\xe2\x0c\x86\xdd\x01",
                            24);
    ASSERT_EQ(setxattr((other + "/a.txt").c_str(), "user.DOSATTRIB", samba.data(), 24, 0), 0);
    for (const std::string& root : {ntfs, other}) {
        for (const bool attributes : {false, true}) {
            SCOPED_TRACE(root + (attributes ? " with attributes" : ""));
            const TreeValues original(root);
            Job job = SetModified(root);
            job.times = Copy(TimeKind::Created, TimeKind::Accessed, true);
            job.attributes = {attributes ? AttributeAction::Clear : AttributeAction::None, true,
                              true, false, true};
            EXPECT_EQ(RunJournalled(job, tree.Folder("journals")).failed, 0u);
            EXPECT_NE(original.Now(), original.values);
            const UndoOutcome undone = UndoNewest(tree.Path("journals"));
            EXPECT_EQ(undone.skipped + undone.failed, 0u);
            EXPECT_GE(undone.restored, 3u);
            EXPECT_EQ(original.Now(), original.values);
        }
    }
}

// Without a journal there is no run: a state folder that cannot be written
// (read-only, or a full disk) makes the journal fail before anything starts.
TEST(UndoPosix, AJournalThatCannotBeWrittenFailsBeforeTheRun) {
    TempFolder tree;
    const std::string locked = tree.Folder("locked");
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
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
