#include "platform/attributes.h"
#include "platform/itemtimes.h"
#include "platform/listing.h"
#include "platform/posix/ntfs.h"
#include "platform/posix/ntfsvolume.h"
#include "platform/readback.h"
#include "testing/missingpart.h"

#include <cerrno>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

using namespace stampwell::platform;
using stampwell::testing::Times;
using stampwell::testing::Word;

namespace {

constexpr std::uint32_t kShown =
    kAttrArchive | kAttrReadOnly | kAttrSystem | kAttrHidden | kAttrDirectory;

class Ntfs : public ::testing::Test {
protected:
    void SetUp() override {
        if (!volume_.Mounted())
            STAMPWELL_MISSING_PART("no NTFS volume for this test: " + volume_.Why());
        std::ofstream(file_) << "A file with some text in it, as files with attributes have.\n";
        ASSERT_EQ(mkdir(folder_.c_str(), 0755), 0);
    }

    stampwell::testing::NtfsVolume volume_;
    std::string file_ = volume_.Path("file.txt");
    std::string folder_ = volume_.Path("folder");
};

} // namespace

// NTFS keeps 100 ns ticks since 1601: a finer fraction is cut, and the read
// back shows it; a time before 1601 cannot be stored. Each time changes alone.
TEST_F(Ntfs, TimesRoundTripTo100NanosecondsAndEachChangesAlone) {
    const FileTime fine{1'300'000'000, 999'999'999};
    const FileTime cut{1'300'000'000, 999'999'900};
    const FileTime later{1'700'000'000, 500};
    for (const auto& [path, type] :
         {std::pair{file_, ItemType::File}, {folder_, ItemType::Folder}}) {
        EXPECT_TRUE(CreationTimeSettable(path, type));
        const SysError error = WriteItemTimes(path, type, {fine, fine, later});
        ASSERT_FALSE(error.Failed()) << path << ": " << error.text;
        EXPECT_EQ(Times(path).created, cut) << path;
        EXPECT_EQ(Times(path).modified, cut) << path;
        EXPECT_EQ(Times(path).accessed, later) << path;
    }
    ASSERT_FALSE(WriteItemTimes(file_, ItemType::File, {later, {}, {}}).Failed());
    EXPECT_EQ(Times(file_).created, later);
    EXPECT_EQ(Times(file_).modified, cut);
    ASSERT_FALSE(WriteItemTimes(file_, ItemType::File, {{}, later, cut}).Failed());
    EXPECT_EQ(Times(file_).created, later);
    EXPECT_EQ(Times(file_).accessed, cut);
    EXPECT_EQ(WriteItemTimes(file_, ItemType::File, {FileTime{-12'000'000'000, 0}, {}, {}}).code,
              EINVAL);
}

// Each of the four alone and all together, on a file and a folder, over the
// bits NTFS adds (Normal on a file without attributes); a read-only file
// still gets new times and stays read-only.
TEST_F(Ntfs, AllFourAttributesRoundTripOnFilesAndFolders) {
    for (const auto& path : {file_, folder_}) {
        const std::uint32_t directory = path == folder_ ? kAttrDirectory : 0;
        for (const std::uint32_t bit : {kAttrArchive, kAttrReadOnly, kAttrSystem, kAttrHidden}) {
            const std::uint32_t before = Word(path);
            ASSERT_FALSE(WriteAttributes(path, (before ^ bit) & ~kAttrDirectory).Failed());
            EXPECT_EQ(Word(path) & kShown, (before ^ bit) & kShown) << path << " bit " << bit;
            ASSERT_FALSE(WriteAttributes(path, before).Failed());
            EXPECT_EQ(Word(path), before) << path << " bit " << bit;
        }
        ASSERT_FALSE(WriteAttributes(path, kShown).Failed());
        EXPECT_EQ(Word(path) & kShown, (kShown & ~kAttrDirectory) | directory) << path;
    }
    const FileTime when{1'300'000'000, 0};
    ASSERT_FALSE(WriteItemTimes(file_, ItemType::File, {when, when, when}).Failed());
    EXPECT_EQ(Times(file_).created, when);
    EXPECT_EQ(Word(file_) & kShown, kShown & ~kAttrDirectory);
}

TEST_F(Ntfs, TheListingTellsFilesFoldersAndLinksApart) {
    ASSERT_EQ(symlink("file.txt", volume_.Path("link.txt").c_str()), 0);
    for (const char* pattern : {"*.*", "*.TXT"}) {
        std::map<std::string, std::pair<bool, bool>> entries;
        FolderListing listing(volume_.Path(""), pattern);
        for (ListedEntry entry; listing.Next(entry);)
            entries[entry.name] = {entry.isFolder, entry.isLink};
        std::map<std::string, std::pair<bool, bool>> wanted = {{"file.txt", {false, false}},
                                                               {"link.txt", {false, true}}};
        if (pattern[2] == '*')
            wanted["folder"] = {true, false};
        EXPECT_EQ(entries, wanted) << pattern << ": " << listing.Error().text;
    }
}

// NTFS counts 100 ns ticks from 1601 in a signed 64-bit number: the first
// and last second it holds, and none beyond.
TEST(NtfsTicks, HoldTheFirstAndLastSecondAndNoneBeyond) {
    EXPECT_EQ(posix::ToNtfsTicks({-11'644'473'600, 0}), 0u);
    EXPECT_EQ(posix::ToNtfsTicks({910'692'730'084, 999'999'900}), 9'223'372'036'849'999'999u);
    EXPECT_FALSE(posix::ToNtfsTicks({-11'644'473'601, 999'999'999}));
    EXPECT_FALSE(posix::ToNtfsTicks({910'692'730'085, 0}));
    EXPECT_FALSE(posix::ToNtfsTicks({0, 1'000'000'000}));
    EXPECT_EQ(posix::FromNtfsTicks(9'223'372'036'849'999'999u),
              (FileTime{910'692'730'084, 999'999'900}));
}
