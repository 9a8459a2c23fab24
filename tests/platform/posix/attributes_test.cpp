#include "platform/attributes.h"
#include "platform/item.h"
#include "platform/itemtimes.h"
#include "platform/posix/itemops.h"
#include "platform/posix/longpath.h"
#include "testing/asnobody.h"
#include "testing/missingpart.h"
#include "testing/tempfolder.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <optional>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace stampwell::platform;
using stampwell::testing::AsNobody;
using stampwell::testing::LongPath;
using stampwell::testing::TempFolder;

namespace {

constexpr char kDos[] = "user.DOSATTRIB";

std::string DosValue(const std::string& path) {
    char buffer[256];
    const ssize_t size = lgetxattr(path.c_str(), kDos, buffer, sizeof buffer);
    return size < 0 ? std::string("<none>") : std::string(buffer, static_cast<std::size_t>(size));
}

mode_t Mode(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(lstat(path.c_str(), &info), 0);
    return info.st_mode & 07777;
}

std::uint32_t Read(const std::string& path) {
    std::uint32_t word = 0;
    const SysError error = ReadAttributes(path, word);
    EXPECT_FALSE(error.Failed()) << error.text;
    return word;
}

// Sets the process umask for one test.
class WithUmask {
public:
    explicit WithUmask(mode_t mask) : old_(umask(mask)) {}
    ~WithUmask() { umask(old_); }

private:
    mode_t old_;
};

} // namespace

TEST(PosixAttributes, TheWordIsStoredAsTheHexTextWineAndSambaRead) {
    TempFolder temp;
    const auto file = temp.File("a.txt");
    EXPECT_EQ(DosValue(file), "<none>");
    ASSERT_FALSE(WriteAttributes(file, kAttrHidden | kAttrSystem | kAttrArchive).Failed());
    EXPECT_EQ(DosValue(file), "0x26");
    // Read-only is kept in both places: the word and the mode.
    ASSERT_FALSE(WriteAttributes(file, kAttrReadOnly | kAttrArchive).Failed());
    EXPECT_EQ(DosValue(file), "0x21");
    EXPECT_EQ(Mode(file) & 0222, 0u);
    // Read from the mode alone, it goes into the word with the next change.
    const auto other = temp.File("b.txt");
    ASSERT_EQ(chmod(other.c_str(), 0444), 0);
    ASSERT_FALSE(WriteAttributes(other, kAttrReadOnly | kAttrHidden).Failed());
    EXPECT_EQ(DosValue(other), "0x3");
}

TEST(PosixAttributes, TextWithAFinalNulOrCapitalsIsReadAndRewritten) {
    TempFolder temp;
    const auto file = temp.File("a.txt");
    ASSERT_EQ(lsetxattr(file.c_str(), kDos, "0X22", 5, 0), 0); // with its NUL
    EXPECT_EQ(Read(file), kAttrHidden | kAttrArchive);
    ASSERT_FALSE(WriteAttributes(file, kAttrHidden).Failed());
    EXPECT_EQ(DosValue(file), "0x2");
}

// Every hex digit counts, in either case; Read-only from the word counts too,
// Directory comes from the type.
TEST(PosixAttributes, EveryHexDigitOfTheTextIsRead) {
    TempFolder temp;
    const auto file = temp.File("a.txt");
    for (const auto& [text, word] : {std::pair{"0x9", 0x9u}, std::pair{"0x0a", 0xau},
                                     std::pair{"0xc4", 0xc4u}, std::pair{"0X3F", 0x2fu}}) {
        ASSERT_EQ(lsetxattr(file.c_str(), kDos, text, std::strlen(text), 0), 0);
        EXPECT_EQ(Read(file), word) << text;
    }
}

// As Samba writes it when a client sets Read-only and Hidden: an empty text,
// version 5, attribute word and creation time valid.
TEST(PosixAttributes, SambasBinaryFormIsRewrittenInItsFormAndReadOnlyIsEitherPlace) {
    TempFolder temp;
    const auto file = temp.File("a.txt");
    const std::string samba("\0\0\5\0\5\0\0\0\x11\0\0\0\3\0\0\0"
                            "12345678",
                            24);
    ASSERT_EQ(lsetxattr(file.c_str(), kDos, samba.data(), samba.size(), 0), 0);
    ASSERT_EQ(Mode(file) & 0200, 0200u);
    EXPECT_EQ(Read(file), kAttrReadOnly | kAttrHidden);

    // Read-only stays where it is when it does not change, and changes in
    // both places when it does.
    const mode_t mode = Mode(file);
    ASSERT_FALSE(WriteAttributes(file, kAttrReadOnly | kAttrHidden | kAttrArchive).Failed());
    EXPECT_EQ(DosValue(file), std::string(samba).replace(12, 1, "\x23"));
    EXPECT_EQ(Mode(file), mode);
    ASSERT_FALSE(WriteAttributes(file, kAttrHidden).Failed());
    EXPECT_EQ(DosValue(file), std::string(samba).replace(12, 1, "\2"));
    EXPECT_EQ(Read(file), kAttrHidden);
    ASSERT_FALSE(WriteAttributes(file, kAttrReadOnly).Failed());
    EXPECT_EQ(DosValue(file), std::string(samba).replace(12, 1, "\1"));
    EXPECT_EQ(Mode(file), mode & ~0222);
    ASSERT_EQ(chmod(file.c_str(), mode), 0);
    ASSERT_FALSE(WriteAttributes(file, 0).Failed());
    EXPECT_EQ(Read(file), 0u) << "the word's Read-only goes too";
}

TEST(PosixAttributes, ADamagedValueIsNeverWrittenOver) {
    TempFolder temp;
    const auto file = temp.File("a.txt");
    const std::string cut("0x2\0\5\0\5\0\x11\0", 10);
    ASSERT_EQ(lsetxattr(file.c_str(), kDos, cut.data(), cut.size(), 0), 0);
    EXPECT_EQ(Read(file), kAttrHidden);
    EXPECT_EQ(WriteAttributes(file, kAttrSystem).code, EBADMSG);
    EXPECT_EQ(WriteItemTimes(file, ItemType::File, {FileTime{1, 0}, {}, {}}).code, EBADMSG);
    EXPECT_EQ(DosValue(file), cut);
}

// A stored value of any length is read whole, and put back byte for byte
// after the run changed it (or removed when the run added it).
TEST(PosixAttributes, TheStoredBytesOfAnyLengthComeBackExactly) {
    TempFolder temp;
    const auto file = temp.File("a.txt");
    const auto plain = temp.File("b.txt");
    std::string long_value("0x20\0", 5);
    for (int i = 0; i < 300; ++i)
        long_value += static_cast<char>(i);
    ASSERT_EQ(lsetxattr(file.c_str(), kDos, long_value.data(), long_value.size(), 0), 0);
    OpenFolder folder;
    ASSERT_FALSE(OpenFolder::Open(temp.Path(""), folder).Failed());
    for (const auto& [name, stored] :
         {std::pair<std::string, std::optional<std::string>>{"a.txt", long_value},
          std::pair<std::string, std::optional<std::string>>{"b.txt", std::nullopt}}) {
        ItemState before;
        ASSERT_FALSE(ReadItemState(folder, name, ItemType::File, true, before).Failed());
        EXPECT_EQ(before.stored, stored) << name;
        EXPECT_EQ(before.attributes & kAttrArchive, stored ? kAttrArchive : 0u) << name;
        ASSERT_EQ(lsetxattr(temp.Path(name).c_str(), kDos, "0x6", 3, 0), 0);
        ASSERT_EQ(chmod(temp.Path(name).c_str(), 0400), 0);
        ASSERT_FALSE(RestoreAttributesAt(folder, name, ItemType::File, before).Failed());
        ItemState after;
        ASSERT_FALSE(ReadItemState(folder, name, ItemType::File, true, after).Failed());
        EXPECT_EQ(after.stored, stored) << name;
        EXPECT_EQ(after.mode, before.mode) << name;
    }
    EXPECT_EQ(DosValue(plain), "<none>");
}

TEST(PosixAttributes, ReadOnlyRemovesEveryWriteBitAndClearingFollowsTheUmask) {
    TempFolder temp;
    const WithUmask mask(027);
    const auto file = temp.File("a.txt");
    ASSERT_EQ(chmod(file.c_str(), 0666), 0);
    EXPECT_EQ(Read(file), 0u);
    ASSERT_FALSE(WriteAttributes(file, kAttrReadOnly).Failed());
    EXPECT_EQ(Mode(file), 0444u);
    ASSERT_FALSE(WriteAttributes(file, 0).Failed());
    EXPECT_EQ(Mode(file), 0644u) << "write where read is, but not what the umask forbids";

    ASSERT_EQ(chmod(file.c_str(), 0), 0);
    EXPECT_EQ(Read(file), kAttrReadOnly);
    ASSERT_FALSE(WriteAttributes(file, 0).Failed());
    EXPECT_EQ(Mode(file), 0200u) << "the owner may write at least";
}

TEST(PosixAttributes, TheOwnerMayHideAReadOnlyFile) {
    TempFolder temp;
    const auto file = temp.File("a.txt");
    ASSERT_EQ(chown(file.c_str(), 65534, 65534), 0);
    ASSERT_EQ(chmod(file.c_str(), 0444), 0);
    const int code =
        AsNobody([&] { return WriteAttributes(file, kAttrReadOnly | kAttrHidden).code; });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(Read(file), kAttrReadOnly | kAttrHidden);
    EXPECT_EQ(Mode(file), 0444u);
}

TEST(PosixAttributes, ALinkIsNeverTouchedThroughAndSaysWhyItCannotChange) {
    TempFolder temp;
    const auto target = temp.File("target.txt");
    const auto link = temp.Path("link");
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    const mode_t targetMode = Mode(target);
    EXPECT_EQ(Read(link), 0u);

    EXPECT_EQ(WriteAttributes(link, kAttrHidden).code, EPERM);
    EXPECT_EQ(WriteAttributes(link, kAttrReadOnly).code, EOPNOTSUPP);
    EXPECT_EQ(DosValue(target), "<none>");
    EXPECT_EQ(Mode(target), targetMode);
    EXPECT_EQ(Read(target), 0u);
}

TEST(PosixAttributes, WithoutUserAttributesOnlyReadOnlyCanChangeAndNoCreationTime) {
    TempFolder temp;
    const auto mountPoint = temp.Folder("ramfs");
    if (mount("none", mountPoint.c_str(), "ramfs", 0, nullptr) != 0)
        STAMPWELL_MISSING_PART(
            std::string("cannot mount a ramfs (no user attributes there) here: ") +
            strerror(errno));
    const struct Unmount {
        const std::string& at;
        ~Unmount() { umount(at.c_str()); }
    } unmount{mountPoint};
    const std::string file = mountPoint + "/a.txt";
    {
        const int fd = creat(file.c_str(), 0644);
        EXPECT_GE(fd, 0);
        close(fd);
    }
    std::uint32_t word = 99;
    EXPECT_FALSE(ReadAttributes(file, word).Failed());
    EXPECT_EQ(word, 0u);
    EXPECT_EQ(WriteAttributes(file, kAttrHidden).code, ENOTSUP);
    EXPECT_FALSE(WriteAttributes(file, kAttrReadOnly).Failed());
    EXPECT_EQ(Read(file), kAttrReadOnly);
    EXPECT_FALSE(CreationTimeSettable(file, ItemType::File));
    EXPECT_EQ(WriteItemTimes(file, ItemType::File, {FileTime{1, 0}, {}, {}}).code, ENOTSUP);
}

TEST(PosixAttributes, WorkOnAFileWhosePathIsLongerThanPathMax) {
    TempFolder temp;
    const LongPath deep(temp.Path());
    const std::string file = deep.MakeFile(LongPath::Name('f'));
    ASSERT_GT(file.size(), std::size_t{PATH_MAX});
    const SysError error = WriteAttributes(file, kAttrHidden | kAttrReadOnly);
    ASSERT_FALSE(error.Failed()) << error.text;
    EXPECT_EQ(Read(file), kAttrHidden | kAttrReadOnly);
    EXPECT_EQ(Read(deep.Folder()), kAttrDirectory);
}
