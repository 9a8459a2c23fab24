#include "platform/files.h"
#include "platform/recordfile.h"
#include "testing/asnobody.h"
#include "testing/tempfolder.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

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
