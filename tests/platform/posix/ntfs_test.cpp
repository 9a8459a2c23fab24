#include "platform/attributes.h"
#include "platform/itemtimes.h"
#include "platform/listing.h"
#include "platform/posix/ntfs.h"
#include "platform/posix/ntfsvolume.h"
#include "testing/missingpart.h"

#include <cerrno>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

using namespace stampwell::platform;
using stampwell::testing::NtfsVolume;

namespace {

// NTFS keeps 100 ns ticks since 1601.
constexpr FileTime kCreated{1'234'567'890, 123'456'700};
constexpr FileTime kModified{1'300'000'000, 999'999'900};
constexpr FileTime kAccessed{1'000'000'000, 100};
constexpr std::uint32_t kShown =
    kAttrArchive | kAttrReadOnly | kAttrSystem | kAttrHidden | kAttrDirectory;

class Ntfs : public ::testing::Test {
protected:
    void SetUp() override {
        if (!volume_.Mounted())
            STAMPWELL_MISSING_PART("no NTFS volume for this test: " + volume_.Why());
        file_ = volume_.Path("file.txt");
        std::ofstream(file_) << "A file with some text in it, as files with attributes have.\n";
        folder_ = volume_.Path("folder");
        ASSERT_EQ(mkdir(folder_.c_str(), 0755), 0);
    }

    static ItemTimes Read(const std::string& path) {
        ItemTimes times;
        const SysError error = ReadItemTimes(path, ItemType::File, times);
        EXPECT_FALSE(error.Failed()) << error.text;
        return times;
    }

    // The four attributes and Directory; NTFS adds bits of its own, such as
    // Normal on a file without attributes.
    static std::uint32_t Attributes(const std::string& path) {
        std::uint32_t word = 0;
        const SysError error = ReadAttributes(path, word);
        EXPECT_FALSE(error.Failed()) << error.text;
        return word & kShown;
    }

    static std::uint32_t WholeWord(const std::string& path) {
        std::uint32_t word = 0;
        EXPECT_FALSE(ReadAttributes(path, word).Failed());
        return word;
    }

    NtfsVolume volume_;
    std::string file_;
    std::string folder_;
};

} // namespace

TEST_F(Ntfs, ACreationTimeIsSettableOnFilesAndFolders) {
    EXPECT_TRUE(CreationTimeSettable(file_, ItemType::File));
    EXPECT_TRUE(CreationTimeSettable(folder_, ItemType::Folder));
}

TEST_F(Ntfs, AllThreeTimesRoundTripTo100Nanoseconds) {
    for (const auto& [path, type] :
         {std::pair{file_, ItemType::File}, {folder_, ItemType::Folder}}) {
        const SysError error = WriteItemTimes(path, type, {kCreated, kModified, kAccessed});
        ASSERT_FALSE(error.Failed()) << path << ": " << error.text;
        const ItemTimes times = Read(path);
        ASSERT_TRUE(times.created) << path;
        EXPECT_EQ(*times.created, kCreated) << path;
        EXPECT_EQ(times.modified, kModified) << path;
        EXPECT_EQ(times.accessed, kAccessed) << path;
    }
}

TEST_F(Ntfs, EachKindChangesAloneAndTheOthersKeepTheirExactValues) {
    ASSERT_FALSE(WriteItemTimes(file_, ItemType::File, {kCreated, kModified, kAccessed}).Failed());
    const FileTime later{1'700'000'000, 500};
    ASSERT_FALSE(
        WriteItemTimes(file_, ItemType::File, {later, std::nullopt, std::nullopt}).Failed());
    EXPECT_EQ(Read(file_).created, later);
    EXPECT_EQ(Read(file_).modified, kModified);
    EXPECT_EQ(Read(file_).accessed, kAccessed);
    ASSERT_FALSE(
        WriteItemTimes(file_, ItemType::File, {std::nullopt, later, std::nullopt}).Failed());
    EXPECT_EQ(Read(file_).created, later);
    EXPECT_EQ(Read(file_).modified, later);
    EXPECT_EQ(Read(file_).accessed, kAccessed);
    ASSERT_FALSE(
        WriteItemTimes(file_, ItemType::File, {std::nullopt, std::nullopt, later}).Failed());
    EXPECT_EQ(Read(file_).modified, later);
    EXPECT_EQ(Read(file_).accessed, later);
}

TEST_F(Ntfs, AFractionFinerThan100NanosecondsIsCutAndTheReadBackShowsIt) {
    const FileTime fine{1'300'000'000, 123'456'789};
    ASSERT_FALSE(WriteItemTimes(file_, ItemType::File, {fine, fine, std::nullopt}).Failed());
    const ItemTimes times = Read(file_);
    EXPECT_EQ(times.created, (FileTime{1'300'000'000, 123'456'700}));
    EXPECT_EQ(times.modified, (FileTime{1'300'000'000, 123'456'700}));
}

TEST_F(Ntfs, ACreationTimeBefore1601CannotBeStored) {
    const FileTime ancient{-12'000'000'000, 0};
    EXPECT_EQ(WriteItemTimes(file_, ItemType::File, {ancient, std::nullopt, std::nullopt}).code,
              EINVAL);
}

TEST_F(Ntfs, AllFourAttributesRoundTripOnFilesAndFolders) {
    for (const auto& path : {file_, folder_}) {
        const std::uint32_t start = Attributes(path);
        const std::uint32_t directory = path == folder_ ? kAttrDirectory : 0;
        EXPECT_EQ(start & kAttrDirectory, directory) << path;
        for (const std::uint32_t bit : {kAttrArchive, kAttrReadOnly, kAttrSystem, kAttrHidden}) {
            const std::uint32_t before = WholeWord(path);
            const std::uint32_t wanted = before ^ bit;
            const SysError error = WriteAttributes(path, wanted & ~kAttrDirectory);
            ASSERT_FALSE(error.Failed()) << path << ": " << error.text;
            EXPECT_EQ(Attributes(path), wanted & kShown) << path << " bit " << bit;
            ASSERT_FALSE(WriteAttributes(path, before).Failed());
            EXPECT_EQ(WholeWord(path), before) << path << " bit " << bit;
        }
        const std::uint32_t all = kAttrArchive | kAttrReadOnly | kAttrSystem | kAttrHidden;
        ASSERT_FALSE(WriteAttributes(path, all).Failed());
        EXPECT_EQ(Attributes(path), all | directory) << path;
        ASSERT_FALSE(WriteAttributes(path, directory).Failed());
        EXPECT_EQ(Attributes(path), directory) << path;
    }
}

TEST_F(Ntfs, AReadOnlyFileGetsNewTimesAndStaysReadOnly) {
    ASSERT_FALSE(WriteAttributes(file_, kAttrReadOnly | kAttrArchive).Failed());
    ASSERT_FALSE(WriteItemTimes(file_, ItemType::File, {kCreated, kModified, kAccessed}).Failed());
    const ItemTimes times = Read(file_);
    EXPECT_EQ(times.created, kCreated);
    EXPECT_EQ(times.modified, kModified);
    EXPECT_EQ(Attributes(file_), kAttrReadOnly | kAttrArchive);
}

TEST_F(Ntfs, TheListingTellsFilesFoldersAndLinksApart) {
    ASSERT_EQ(symlink("file.txt", volume_.Path("link.txt").c_str()), 0);
    std::map<std::string, std::pair<bool, bool>> entries;
    FolderListing listing(volume_.Path(""), "*.*");
    ASSERT_FALSE(listing.Error().Failed()) << listing.Error().text;
    ListedEntry entry;
    while (listing.Next(entry))
        entries[entry.name] = {entry.isFolder, entry.isLink};
    EXPECT_EQ(entries.at("file.txt"), std::pair(false, false));
    EXPECT_EQ(entries.at("folder"), std::pair(true, false));
    EXPECT_EQ(entries.at("link.txt"), std::pair(false, true));

    FolderListing matching(volume_.Path(""), "*.TXT");
    std::set<std::string> names;
    while (matching.Next(entry))
        names.insert(entry.name);
    EXPECT_EQ(names, (std::set<std::string>{"file.txt", "link.txt"}));
}

// NTFS counts 100 ns ticks from 1601 in a signed 64-bit number: the first
// and last second it holds, and none beyond.
TEST(NtfsTicks, HoldTheFirstAndLastSecondAndNoneBeyond) {
    EXPECT_EQ(posix::ToNtfsTicks({-11'644'473'600, 0}), 0u);
    EXPECT_EQ(posix::ToNtfsTicks({910'692'730'084, 999'999'900}), 9'223'372'036'849'999'999u);
    EXPECT_FALSE(posix::ToNtfsTicks({-11'644'473'601, 999'999'999}));
    EXPECT_FALSE(posix::ToNtfsTicks({910'692'730'085, 0}));
    EXPECT_EQ(posix::FromNtfsTicks(9'223'372'036'849'999'999u),
              (FileTime{910'692'730'084, 999'999'900}));
}
