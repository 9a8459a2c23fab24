#include "engine/items.h"
#include "engine/journalledrun.h"
#include "platform/posix/ntfsvolume.h"
#include "testing/asnobody.h"

#include <csignal>
#include <sstream>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/xattr.h>

// Undo on real file systems: every value back bit for bit, also after a run
// that was killed.
namespace stampwell::engine {
namespace {

namespace fs = std::filesystem;
using namespace test;

// The items of a tree, listed once: listing a folder may change its access
// time, so that later looks only read each item's values.
std::vector<std::string> ItemsOf(const std::string& root) {
    std::vector<std::string> items{root};
    for (const auto& entry : fs::recursive_directory_iterator(root))
        items.push_back(entry.path().string());
    return items;
}

// What the items hold that a run may change, as the system reports it: the
// three times, the mode and the stored attribute bytes (or their absence).
std::vector<std::string> ValuesOf(const std::vector<std::string>& items) {
    std::vector<std::string> values;
    for (const std::string& path : items) {
        const ItemTimes times = TimesOf(path);
        struct stat info {};
        EXPECT_EQ(lstat(path.c_str(), &info), 0) << path;
        std::ostringstream text;
        text << path << ':';
        for (const FileTime time :
             {times.modified, times.accessed, times.created.value_or(FileTime{})})
            text << ' ' << time.seconds << '.' << time.nanoseconds;
        text << ' ' << std::oct << info.st_mode;
        for (const char* name : {"user.DOSATTRIB", "system.ntfs_attrib"}) {
            char bytes[256];
            const ssize_t size = lgetxattr(path.c_str(), name, bytes, sizeof bytes);
            text << ' ' << (size < 0 ? "none" : std::string(bytes, static_cast<std::size_t>(size)));
        }
        values.push_back(text.str());
    }
    return values;
}

// Every value comes back bit for bit, also from the journal of a run killed
// (SIGKILL: nothing is flushed or tidied up) before it could end. On NTFS the
// creation time and the attribute word NTFS keeps come back; on another Linux
// file system the creation time stored in user.DOSATTRIB, as Samba stores
// it, comes back there, beside Samba's own value or by taking away the one the
// run made, with or without attributes, and a name may hold any bytes.
TEST(UndoPosix, ValuesComeBackBitForBitAlsoAfterAKill) {
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
    std::ofstream(other + "/sub/new\nline\ttab\\\xff ") << "c";
    SetDistinctTimes(ntfs + "/a.txt", 1'000'000'000);
    ASSERT_FALSE(platform::WriteAttributes(ntfs + "/sub/b.txt", kAttrReadOnly).Failed());
    const std::string samba("\0\0\5\0\5\0\0\0\x11\0\0\0\3\0\0\0\x6c\x77\x7a\xe2\x0c\x86\xdd\x01",
                            24);
    ASSERT_EQ(setxattr((other + "/a.txt").c_str(), "user.DOSATTRIB", samba.data(), 24, 0), 0);
    for (const std::string& root : {ntfs, other}) {
        for (const bool attributes : {false, true}) {
            SCOPED_TRACE(root + (attributes ? " with attributes" : ""));
            const std::vector<std::string> items = ItemsOf(root);
            const std::vector<std::string> original = ValuesOf(items);
            Job job = SetModified(root);
            job.times = Copy(TimeKind::Created, TimeKind::Accessed, true);
            job.attributes = {attributes ? AttributeAction::Clear : AttributeAction::None, true,
                              true, false, true};
            // Killed as the last item, the chosen folder, is done.
            EXPECT_EQ(testing::InChild([&] {
                          std::size_t done = 0;
                          RunCallbacks callbacks;
                          callbacks.itemDone = [&](const ItemReport&) {
                              if (++done == items.size())
                                  raise(SIGKILL);
                          };
                          RunJournalled(job, tree.Folder("journals"), callbacks);
                          return 0;
                      }),
                      -1);
            EXPECT_NE(ValuesOf(items), original);
            const UndoOutcome undone = UndoNewest(tree.Path("journals"));
            EXPECT_EQ(undone.skipped + undone.failed, 0u);
            EXPECT_EQ(ValuesOf(items), original);
        }
    }
}

// Without a journal there is no run: a state folder that cannot be written
// (read-only, or a full disk) makes the journal fail before anything starts.
TEST(UndoPosix, AJournalThatCannotBeWrittenFailsBeforeTheRun) {
    TempFolder tree;
    const std::string locked = tree.Folder("locked");
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(testing::AsNobody([&] {
                  std::unique_ptr<JournalWriter> journal;
                  return StartJournal(locked + "/journal", "test", Job{}, journal).Failed() ? 0 : 1;
              }),
              0);
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
