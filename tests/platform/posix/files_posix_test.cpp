#include "platform/files.h"
#include "platform/folders.h"
#include "platform/recordfile.h"
#include "testing/asnobody.h"
#include "testing/tempfolder.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace stampwell::platform;
using stampwell::testing::EntryCount;
using stampwell::testing::InChild;
using stampwell::testing::ReadBytes;
using stampwell::testing::WriteBytes;

namespace {

struct stat Stat(const std::string& path) {
    struct stat info {};
    lstat(path.c_str(), &info);
    return info;
}

class FilesPosix : public ::testing::Test {
protected:
    stampwell::testing::TempFolder temp;
    std::string file = temp.Path("Stampwell.ini");
};

} // namespace

// For nobody the file is writable and its folder not, then the other way.
TEST_F(FilesPosix, ARefusedWriteKeepsTheOldFile) {
    WriteBytes(file, "old");
    for (const mode_t folderMode : {0755, 0777}) {
        chmod(temp.Root().c_str(), folderMode);
        chmod(file.c_str(), folderMode == 0755 ? 0666 : 0444);
        EXPECT_EQ(
            stampwell::testing::AsNobody([&] { return WriteFileAtomically(file, "new").code; }),
            EACCES);
        EXPECT_EQ(ReadBytes(file), "old");
        EXPECT_EQ(EntryCount(temp.Root()), 1u);
    }
}

// A write that fails part way (a file-size limit stands in for a full disk)
// leaves the old file whole and removes its temporary file; one killed
// there leaves it behind, but with the final mode, never a wider one.
TEST_F(FilesPosix, AFullDiskMidwayLeavesTheOldFileWhole) {
    WriteBytes(file, "old content");
    chmod(file.c_str(), 0640);
    for (const bool killed : {false, true}) {
        EXPECT_EQ(InChild([&] {
                      signal(SIGXFSZ, killed ? SIG_DFL : SIG_IGN);
                      const rlimit noCore{0, 0}, limit{4096, 4096};
                      setrlimit(RLIMIT_CORE, &noCore);
                      setrlimit(RLIMIT_FSIZE, &limit);
                      umask(0);
                      return WriteFileAtomically(file, std::string(100000, 'n')).code;
                  }),
                  killed ? -1 : EFBIG);
        EXPECT_EQ(ReadBytes(file), "old content");
    }
    std::vector<mode_t> temporaries;
    for (const auto& entry : std::filesystem::directory_iterator(temp.Root())) {
        if (entry.path().filename().string().starts_with(".Stampwell.ini.tmp-"))
            temporaries.push_back(Stat(entry.path()).st_mode & 07777);
    }
    EXPECT_EQ(temporaries, std::vector<mode_t>{0640});
}

// A link is followed and stays a link; the file keeps owner, group and mode
// whatever the umask, and a new file is its owner's alone.
TEST_F(FilesPosix, AReplacedFileKeepsOwnerGroupAndModeANewFileIsPrivate) {
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
    EXPECT_EQ(Stat(file).st_uid + Stat(file).st_gid, 2 * 65534u);
    EXPECT_EQ(Stat(file).st_mode & 07777, 0604u);
    EXPECT_EQ(Stat(temp.Path("new.ini")).st_mode & 07777, 0600u);
}

// Only a regular file, or a link to one, is read or replaced: anything else,
// a link that leads nowhere included, is refused at once and left as it is.
// The calls run in a child with an alarm, so a read that waits for a writer
// fails the test instead of hanging it.
TEST_F(FilesPosix, AnythingButARegularFileIsRefusedAtOnceAndLeftAsItIs) {
    mkfifo(temp.Path("fifo").c_str(), 0600);
    mkdir(temp.Path("folder").c_str(), 0700);
    symlink("missing.ini", temp.Path("dangling").c_str());
    EXPECT_EQ(InChild([&] {
                  alarm(10);
                  int accepted = 0;
                  for (const char* name : {"fifo", "folder", "dangling"}) {
                      std::string bytes;
                      const SysError error = ReadSettingsFile(temp.Path(name), bytes);
                      accepted += !error.Failed() || error.text.empty() || !bytes.empty() ||
                                  !WriteFileAtomically(temp.Path(name), "new").Failed();
                  }
                  return accepted;
              }),
              0);
    EXPECT_NE(WriteFileAtomically(temp.Path("dangling"), "new").text.find("link"),
              std::string::npos);
    EXPECT_TRUE(S_ISLNK(Stat(temp.Path("dangling")).st_mode));
    EXPECT_TRUE(S_ISFIFO(Stat(temp.Path("fifo")).st_mode));
    EXPECT_EQ(EntryCount(temp.Root()), 3u);
}

TEST_F(FilesPosix, ReadSettingsFileReadsUpToTheLimit) {
    const std::string content(kSettingsFileLimit, 'x');
    WriteBytes(file, content);
    std::string bytes;
    EXPECT_FALSE(ReadSettingsFile(file, bytes).Failed());
    EXPECT_EQ(bytes, content);
    WriteBytes(file, content + "x");
    EXPECT_EQ(ReadSettingsFile(file, bytes).code, FileTooLarge().code);
    EXPECT_TRUE(bytes.empty());
}

// Whether a record file is in use is what its lock says now, whatever an
// earlier call left in errno; a file that cannot be opened is not in use.
TEST_F(FilesPosix, ARecordFileIsInUseExactlyWhileItIsOpen) {
    RecordFile record;
    ASSERT_FALSE(record.Create(file).Failed());
    EXPECT_TRUE(IsRecordFileInUse(file));
    ASSERT_FALSE(record.Close().Failed());
    errno = EWOULDBLOCK;
    EXPECT_FALSE(IsRecordFileInUse(file));
    EXPECT_FALSE(IsRecordFileInUse(temp.Path("missing")));
}

// The folder a relative item path in a journal is taken from.
TEST(FoldersPosix, CurrentFolderIsTheWorkingFolder) {
    const stampwell::testing::TempFolder folder;
    EXPECT_EQ(InChild([&] {
                  return chdir(folder.Root().c_str()) == 0 && CurrentFolder() == folder.Root() ? 0
                                                                                               : 1;
              }),
              0);
}
