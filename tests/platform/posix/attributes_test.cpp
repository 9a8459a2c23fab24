#include "platform/attributes.h"
#include "platform/item.h"
#include "platform/itemtimes.h"
#include "platform/readback.h"
#include "testing/missingpart.h"
#include "testing/tempfolder.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace stampwell::platform;
using stampwell::testing::Times;
using stampwell::testing::Word;

namespace {

constexpr char kDos[] = "user.DOSATTRIB";

// The stored value's bytes, "-" for none.
std::string Dos(const std::string& path) {
    char buffer[512];
    const ssize_t size = lgetxattr(path.c_str(), kDos, buffer, sizeof buffer);
    return size < 0 ? "-" : std::string(buffer, static_cast<std::size_t>(size));
}

void SetDos(const std::string& path, const std::string& bytes) {
    ASSERT_EQ(lsetxattr(path.c_str(), kDos, bytes.data(), bytes.size(), 0), 0);
}

mode_t Mode(const std::string& path) {
    struct stat info {};
    lstat(path.c_str(), &info);
    return info.st_mode & 07777;
}

class PosixAttributes : public ::testing::Test {
protected:
    stampwell::testing::TempFolder temp;
    std::string file = temp.File("a.txt");
};

} // namespace

// Read-only is kept in both places, the word and the mode, and read from
// either. Every hex digit of the text counts; Directory comes from the type.
TEST_F(PosixAttributes, TheWordIsStoredAsTheHexTextWineAndSambaRead) {
    ASSERT_FALSE(WriteAttributes(file, kAttrReadOnly | kAttrArchive).Failed());
    EXPECT_EQ(Dos(file), "0x21");
    SetDos(file, std::string("0X3F", 5));
    EXPECT_EQ(Word(file), 0x2fu);
}

// As Samba writes it when a client sets Read-only and Hidden: an empty text,
// version 5, word (byte 12) and creation time valid. Read-only stays where
// it is when it does not change, and goes from the word when it does.
TEST_F(PosixAttributes, SambasBinaryFormIsRewrittenInItsFormAndReadOnlyIsEitherPlace) {
    const auto samba = [](char word) {
        return std::string("\0\0\5\0\5\0\0\0\x11\0\0\0", 12) + word + std::string(3, '\0') +
               "12345678";
    };
    SetDos(file, samba(3));
    const mode_t mode = Mode(file);
    EXPECT_EQ(Word(file), kAttrReadOnly | kAttrHidden);
    ASSERT_FALSE(WriteAttributes(file, kAttrReadOnly | kAttrHidden | kAttrArchive).Failed());
    EXPECT_EQ(Dos(file), samba(0x23));
    EXPECT_EQ(Mode(file), mode);
    ASSERT_FALSE(WriteAttributes(file, kAttrHidden).Failed());
    EXPECT_EQ(Dos(file), samba(2));
}

TEST_F(PosixAttributes, ADamagedValueIsNeverWrittenOver) {
    const std::string cut("0x2\0\5\0\5\0\x11\0", 10);
    SetDos(file, cut);
    EXPECT_EQ(Word(file), kAttrHidden);
    EXPECT_EQ(WriteAttributes(file, kAttrSystem).code, EBADMSG);
    EXPECT_EQ(WriteItemTimes(file, ItemType::File, {FileTime{1, 0}, {}, {}}).code, EBADMSG);
    EXPECT_EQ(Dos(file), cut);
}

// A stored value of any length is read whole and put back byte for byte,
// the mode with it.
TEST_F(PosixAttributes, RestoreBringsBackTheStoredBytesAndTheMode) {
    std::string value("0x20\0", 5);
    for (int i = 0; i < 300; ++i)
        value += static_cast<char>(i);
    SetDos(file, value);
    OpenFolder folder;
    ASSERT_FALSE(OpenFolder::Open(temp.Path(), folder).Failed());
    ItemState before;
    ASSERT_FALSE(ReadItemState(folder, "a.txt", ItemType::File, true, before).Failed());
    EXPECT_EQ(before.stored, value);
    EXPECT_EQ(before.attributes, kAttrArchive);
    SetDos(file, "0x6");
    chmod(file.c_str(), 0400);
    ASSERT_FALSE(RestoreAttributesAt(folder, "a.txt", ItemType::File, before).Failed());
    EXPECT_EQ(Dos(file), value);
    EXPECT_EQ(Mode(file), before.mode & 07777);
}

// Clearing gives write permission where read permission is, but not what the
// umask forbids, and to the owner at least.
TEST_F(PosixAttributes, ReadOnlyRemovesEveryWriteBitAndClearingFollowsTheUmask) {
    const mode_t oldMask = umask(027);
    for (const auto& [before, cleared] : {std::pair{0666, 0644}, {0, 0200}}) {
        chmod(file.c_str(), before);
        ASSERT_FALSE(WriteAttributes(file, kAttrReadOnly).Failed());
        EXPECT_EQ(Mode(file), before & 0444u);
        ASSERT_FALSE(WriteAttributes(file, 0).Failed());
        EXPECT_EQ(Mode(file), static_cast<mode_t>(cleared));
    }
    umask(oldMask);
}

TEST_F(PosixAttributes, WithoutUserAttributesNoCreationTimeCanBeSet) {
    const auto mountPoint = temp.Folder("ramfs");
    if (mount("none", mountPoint.c_str(), "ramfs", 0, nullptr) != 0)
        STAMPWELL_MISSING_PART(std::string("cannot mount a ramfs here: ") + strerror(errno));
    const std::string onRamfs = mountPoint + "/a.txt";
    close(creat(onRamfs.c_str(), 0644));
    EXPECT_FALSE(CreationTimeSettable(onRamfs, ItemType::File));
    EXPECT_EQ(WriteItemTimes(onRamfs, ItemType::File, {FileTime{1, 0}, {}, {}}).code, ENOTSUP);
    umount(mountPoint.c_str());
}

// Where the file system keeps no settable creation time, it is stored as
// Samba stores it; the birth time itself needs no copy and stays exact, and
// the value made for a creation time alone goes with it.
TEST_F(PosixAttributes, ACreationTimeIsStoredWhereSambaKeepsIt) {
    EXPECT_TRUE(CreationTimeSettable(file, ItemType::File));
    const ItemTimes born = Times(file);
    const FileTime wanted{1'500'000'000, 123'456'700};
    ASSERT_FALSE(WriteItemTimes(file, ItemType::File, {wanted, {}, {}}).Failed());
    EXPECT_EQ(Times(file).created, wanted);
    EXPECT_EQ(Times(file).modified, born.modified);
    EXPECT_EQ(Dos(file),
              std::string("0x0\0\5\0\5\0\x11\0\0\0\0\0\0\0\x87\xd6\xf2\x7c\x4a\xfc\xd2\x01", 24));
    if (!born.created)
        return; // no birth time to go back to
    ASSERT_FALSE(WriteItemTimes(file, ItemType::File, {born.created, {}, {}}).Failed());
    EXPECT_EQ(Times(file).created, born.created);
    EXPECT_EQ(Dos(file), "-");
}
