#include "platform/files.h"
#include "platform/recordfile.h"
#include "testing/asnobody.h"
#include "testing/tempfolder.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

using namespace stampwell::platform;
using stampwell::testing::AsNobody;
using stampwell::testing::EntryCount;
using stampwell::testing::InChild;
using stampwell::testing::ReadBytes;
using stampwell::testing::TempFolder;
using stampwell::testing::WriteBytes;

namespace {

struct stat Stat(const std::string& path) {
    struct stat info {};
    lstat(path.c_str(), &info);
    return info;
}

// Writes 100,000 bytes where a file-size limit stops the write part way, as
// a full disk would, and the signal of that limit is caught or kills.
int WriteWithFullDisk(const std::string& file, bool killed) {
    return InChild([&] {
        signal(SIGXFSZ, killed ? SIG_DFL : SIG_IGN);
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        umask(0);
        return WriteFileAtomically(file, std::string(100000, 'n')).code == EFBIG ? 0 : 1;
    });
}

} // namespace

// For nobody the file is writable and its folder not, then the other way.
TEST(FilesPosix, ARefusedWriteKeepsTheOldFile) {
    for (const mode_t folderMode : {0755, 0777}) {
        TempFolder temp;
        chmod(temp.Root().c_str(), folderMode);
        const std::string file = temp.Path("Stampwell.ini");
        WriteBytes(file, "old");
        chmod(file.c_str(), folderMode == 0755 ? 0666 : 0444);
        EXPECT_EQ(AsNobody([&] { return WriteFileAtomically(file, "new").code; }), EACCES);
        EXPECT_EQ(ReadBytes(file), "old");
        EXPECT_EQ(EntryCount(temp.Root()), 1u);
    }
}

// A failed writer leaves the old file whole and removes its temporary file;
// one killed midway leaves it, with the final mode, never a wider one.
TEST(FilesPosix, AFullDiskMidwayLeavesTheOldFileWhole) {
    for (const mode_t oldMode : {mode_t{0}, mode_t{0640}}) {
        TempFolder temp;
        const std::string file = temp.Path("Stampwell.ini");
        if (oldMode != 0) {
            WriteBytes(file, "old content");
            chmod(file.c_str(), oldMode);
            EXPECT_EQ(WriteWithFullDisk(file, false), 0);
            EXPECT_EQ(ReadBytes(file), "old content");
            EXPECT_EQ(EntryCount(temp.Root()), 1u);
        }
        WriteWithFullDisk(file, true);
        int temporaries = 0;
        for (const auto& entry : std::filesystem::directory_iterator(temp.Root())) {
            if (entry.path().filename().string().starts_with(".Stampwell.ini.tmp-")) {
                ++temporaries;
                EXPECT_EQ(Stat(entry.path()).st_mode & 07777, oldMode != 0 ? oldMode : 0600u);
            }
        }
        EXPECT_EQ(temporaries, 1) << oldMode;
    }
}

// A link is followed and stays a link; the file keeps owner, group and mode
// whatever the umask, and a new file is its owner's alone.
TEST(FilesPosix, AReplacedFileKeepsOwnerGroupAndModeANewFileIsPrivate) {
    TempFolder temp;
    const std::string file = temp.Path("real.ini");
    WriteBytes(file, "old");
    chown(file.c_str(), 65534, 65534);
    chmod(file.c_str(), 0604);
    ASSERT_EQ(symlink(file.c_str(), temp.Path("link.ini").c_str()), 0);
    const mode_t umaskBefore = umask(0);
    EXPECT_FALSE(WriteFileAtomically(temp.Path("link.ini"), "new").Failed());
    EXPECT_FALSE(WriteFileAtomically(temp.Path("new.ini"), "new").Failed());
    umask(umaskBefore);
    EXPECT_EQ(ReadBytes(file), "new");
    EXPECT_TRUE(S_ISLNK(Stat(temp.Path("link.ini")).st_mode));
    EXPECT_EQ(Stat(file).st_uid, 65534u);
    EXPECT_EQ(Stat(file).st_gid, 65534u);
    EXPECT_EQ(Stat(file).st_mode & 07777, 0604u);
    EXPECT_EQ(Stat(temp.Path("new.ini")).st_mode & 07777, 0600u);
}

TEST(FilesPosix, ALinkThatLeadsNowhereIsRefusedAndKept) {
    TempFolder temp;
    symlink("loop.ini", temp.Path("loop.ini").c_str());
    for (const char* target : {"missing.ini", "loop.ini"}) {
        const std::string link = temp.Path("Stampwell.ini");
        unlink(link.c_str());
        ASSERT_EQ(symlink(target, link.c_str()), 0);
        EXPECT_NE(WriteFileAtomically(link, "new").text.find("link"), std::string::npos) << target;
        EXPECT_TRUE(S_ISLNK(Stat(link).st_mode)) << target;
        EXPECT_FALSE(PathExists(temp.Path("missing.ini"))) << target;
    }
}

// The calls run in a child with an alarm, so a read that waits for a writer
// fails the test instead of hanging it.
TEST(FilesPosix, APipeADeviceOrAFolderIsRefusedAtOnceAndLeftAsItIs) {
    TempFolder temp;
    mkfifo(temp.Path("fifo").c_str(), 0600);
    mknod(temp.Path("zero").c_str(), S_IFCHR | 0600, makedev(1, 5));
    mkdir(temp.Path("folder").c_str(), 0700);
    EXPECT_EQ(InChild([&] {
                  alarm(10);
                  int accepted = 0;
                  for (const char* name : {"fifo", "zero", "folder"}) {
                      std::string bytes;
                      const SysError error = ReadSettingsFile(temp.Path(name), bytes);
                      accepted += !error.Failed() || error.text.empty() || !bytes.empty() ||
                                  !WriteFileAtomically(temp.Path(name), "new").Failed();
                  }
                  return accepted;
              }),
              0);
    EXPECT_TRUE(S_ISFIFO(Stat(temp.Path("fifo")).st_mode));
    EXPECT_TRUE(S_ISCHR(Stat(temp.Path("zero")).st_mode));
    EXPECT_EQ(EntryCount(temp.Root()), 3u);
}

TEST(FilesPosix, ReadSettingsFileReadsUpToTheLimitThroughALink) {
    TempFolder temp;
    const std::string content(kSettingsFileLimit, 'x');
    WriteBytes(temp.Path("real.ini"), content);
    ASSERT_EQ(symlink("real.ini", temp.Path("link.ini").c_str()), 0);
    std::string bytes;
    EXPECT_FALSE(ReadSettingsFile(temp.Path("link.ini"), bytes).Failed());
    EXPECT_EQ(bytes, content);
    EXPECT_TRUE(IsNotFound(ReadSettingsFile(temp.Path("missing"), bytes)));
    WriteBytes(temp.Path("real.ini"), content + "x");
    EXPECT_EQ(ReadSettingsFile(temp.Path("link.ini"), bytes).code, FileTooLarge().code);
    EXPECT_TRUE(bytes.empty());
}

// Whether a record file is in use is what its lock says now, whatever an
// earlier call left in errno.
TEST(FilesPosix, ARecordFileIsInUseExactlyWhileItIsOpen) {
    TempFolder temp;
    const std::string file = temp.Path("run.journal");
    RecordFile record;
    ASSERT_FALSE(record.Create(file).Failed());
    EXPECT_TRUE(IsRecordFileInUse(file));
    ASSERT_FALSE(record.Close().Failed());
    errno = EWOULDBLOCK;
    EXPECT_FALSE(IsRecordFileInUse(file));
}
