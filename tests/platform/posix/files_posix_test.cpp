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

TEST(FilesPosix, RefusedWriteKeepsTheOldFile) {
    TempFolder temp;
    const std::string file = temp.Path("Stampwell.ini");
    WriteBytes(file, "old");
    chmod(file.c_str(), 0666); // the file is writable, its folder is not (for nobody)
    const int result = AsNobody([&] {
        const SysError error = WriteFileAtomically(file, "new");
        return error.Failed() && error.code == EACCES ? 0 : 1;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadBytes(file), "old");
    EXPECT_EQ(EntryCount(temp.Root()), 1u);
}

TEST(FilesPosix, ReadOnlyFileIsRefusedWhereTheFolderIsWritable) {
    TempFolder temp;
    chmod(temp.Root().c_str(), 0777);
    const std::string file = temp.Path("Stampwell.ini");
    WriteBytes(file, "old");
    chmod(file.c_str(), 0444);
    const int result = AsNobody([&] { return WriteFileAtomically(file, "new").Failed() ? 0 : 1; });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadBytes(file), "old");
}

TEST(FilesPosix, FullDiskMidwayLeavesTheOldFileWhole) {
    TempFolder temp;
    const std::string file = temp.Path("Stampwell.ini");
    WriteBytes(file, "old content");
    // A file-size limit makes the write fail part way, as a full disk would.
    const int result = InChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        const SysError error = WriteFileAtomically(file, std::string(100000, 'n'));
        return error.Failed() && error.code == EFBIG ? 0 : 1;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadBytes(file), "old content");
    EXPECT_EQ(EntryCount(temp.Root()), 1u) << "the temporary file is removed";
}

TEST(FilesPosix, WriteKeepsTheModeAndFollowsALink) {
    TempFolder temp;
    const std::string file = temp.Path("real.ini");
    const std::string link = temp.Path("link.ini");
    WriteBytes(file, "old");
    chmod(file.c_str(), 0640);
    ASSERT_EQ(symlink(file.c_str(), link.c_str()), 0);
    EXPECT_FALSE(WriteFileAtomically(link, "new").Failed());
    EXPECT_EQ(ReadBytes(file), "new");
    struct stat info {};
    ASSERT_EQ(lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
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

namespace {

// A settings file that is not a regular file, made inside the test's folder.
struct OddFile {
    const char* name;
    void (*make)(const std::string& path);
};

void PrintTo(const OddFile& odd, std::ostream* out) {
    *out << odd.name;
}

class FilesOddFile : public ::testing::TestWithParam<OddFile> {};

} // namespace

// Each read or write runs in a child with an alarm, so a read that waits for
// a writer fails the test instead of hanging it.
TEST_P(FilesOddFile, IsRefusedAtOnceAndLeftAsItIs) {
    TempFolder temp;
    const std::string file = temp.Path("Stampwell.ini");
    GetParam().make(file);
    struct stat before {};
    ASSERT_EQ(stat(file.c_str(), &before), 0);
    EXPECT_EQ(InChild([&] {
                  alarm(10);
                  std::string bytes;
                  const SysError error = ReadSettingsFile(file, bytes);
                  return error.Failed() && !error.text.empty() && bytes.empty() ? 0 : 1;
              }),
              0);
    EXPECT_EQ(InChild([&] {
                  alarm(10);
                  return WriteFileAtomically(file, "new").Failed() ? 0 : 1;
              }),
              0);
    struct stat after {};
    ASSERT_EQ(stat(file.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_size, before.st_size);
    EXPECT_EQ(EntryCount(temp.Root()), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, FilesOddFile,
    ::testing::Values(OddFile{"Fifo", [](const std::string& path) { mkfifo(path.c_str(), 0600); }},
                      // The zero device, as a node of its own in the test's folder.
                      OddFile{"ZeroDevice",
                              [](const std::string& path) {
                                  mknod(path.c_str(), S_IFCHR | 0600, makedev(1, 5));
                              }},
                      OddFile{"Folder",
                              [](const std::string& path) { mkdir(path.c_str(), 0700); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FilesPosix, ReadSettingsFileReadsUpToTheLimitThroughALink) {
    TempFolder temp;
    const std::string content(kSettingsFileLimit, 'x');
    WriteBytes(temp.Path("real.ini"), content);
    ASSERT_EQ(symlink("real.ini", (temp.Path("link.ini")).c_str()), 0);
    std::string bytes;
    EXPECT_FALSE(ReadSettingsFile(temp.Path("link.ini"), bytes).Failed());
    EXPECT_EQ(bytes, content);
    EXPECT_TRUE(IsNotFound(ReadSettingsFile(temp.Path("missing"), bytes)));
    WriteBytes(temp.Path("real.ini"), content + "x");
    EXPECT_EQ(ReadSettingsFile(temp.Path("link.ini"), bytes).code, FileTooLarge().code);
    EXPECT_TRUE(bytes.empty());
}

TEST(FilesPosix, LinkThatLeadsNowhereIsRefusedAndKept) {
    TempFolder temp;
    for (const char* target : {"missing.ini", "loop.ini"}) {
        const std::string link = temp.Path("Stampwell.ini");
        unlink(link.c_str());
        ASSERT_EQ(symlink(target, link.c_str()), 0);
        symlink("loop.ini", (temp.Path("loop.ini")).c_str());
        const SysError error = WriteFileAtomically(link, "new");
        EXPECT_TRUE(error.Failed()) << target;
        EXPECT_NE(error.text.find("link"), std::string::npos) << error.text;
        struct stat info {};
        ASSERT_EQ(lstat(link.c_str(), &info), 0);
        EXPECT_TRUE(S_ISLNK(info.st_mode)) << target;
        EXPECT_NE(stat((temp.Path("missing.ini")).c_str(), &info), 0) << target;
    }
}

// A replaced file keeps owner, group and mode whatever the umask, and a new
// one is its owner's alone.
TEST(FilesPosix, ReplacedFileKeepsOwnerGroupAndModeNewFileIsPrivate) {
    TempFolder temp;
    const std::string old = temp.Path("old.ini");
    WriteBytes(old, "old");
    ASSERT_EQ(chown(old.c_str(), 65534, 65534), 0);
    ASSERT_EQ(chmod(old.c_str(), 0604), 0);
    const mode_t umaskBefore = umask(0);
    EXPECT_FALSE(WriteFileAtomically(old, "new").Failed());
    EXPECT_FALSE(WriteFileAtomically(temp.Path("new.ini"), "new").Failed());
    umask(umaskBefore);
    struct stat info {};
    ASSERT_EQ(stat(old.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 65534u);
    EXPECT_EQ(info.st_gid, 65534u);
    EXPECT_EQ(info.st_mode & 07777, 0604u);
    ASSERT_EQ(stat((temp.Path("new.ini")).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_EQ(ReadBytes(old), "new");
}

// A writer killed midway (here by the file-size signal) leaves its temporary
// file behind: it already has the final mode, never a wider one.
TEST(FilesPosix, TemporaryFileHasTheFinalModeFromItsCreation) {
    for (const mode_t oldMode : {mode_t{0}, mode_t{0640}}) {
        TempFolder temp;
        const std::string file = temp.Path("Stampwell.ini");
        if (oldMode != 0) {
            WriteBytes(file, "old");
            chmod(file.c_str(), oldMode);
        }
        InChild([&] {
            umask(0);
            const rlimit noCore{0, 0};
            setrlimit(RLIMIT_CORE, &noCore);
            const rlimit limit{4096, 4096};
            setrlimit(RLIMIT_FSIZE, &limit);
            WriteFileAtomically(file, std::string(100000, 'n'));
            return 0;
        });
        int temporaries = 0;
        for (const auto& entry : std::filesystem::directory_iterator(temp.Root())) {
            if (entry.path().filename().string().find(".tmp-") == std::string::npos)
                continue;
            ++temporaries;
            struct stat info {};
            ASSERT_EQ(stat(entry.path().c_str(), &info), 0);
            EXPECT_EQ(info.st_mode & 07777, oldMode != 0 ? oldMode : 0600u) << oldMode;
        }
        EXPECT_EQ(temporaries, 1) << oldMode;
    }
}
