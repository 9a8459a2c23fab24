#include "platform/itemtimes.h"
#include "platform/posix/ntfs.h"
#include "platform/posix/ntfsvolume.h"
#include "platform/readback.h"
#include "testing/missingpart.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace stampwell::platform;
using stampwell::testing::Times;

// NTFS keeps 100 ns ticks since 1601: a finer fraction is cut, and the read
// back shows it. Each time changes alone.
TEST(Ntfs, TimesRoundTripTo100NanosecondsAndEachChangesAlone) {
    const stampwell::testing::NtfsVolume volume;
    if (!volume.Mounted())
        STAMPWELL_MISSING_PART("no NTFS volume for this test: " + volume.Why());
    const std::string file = volume.Path("file.txt");
    std::ofstream(file) << "text";
    const FileTime fine{1'300'000'000, 999'999'999};
    const FileTime cut{1'300'000'000, 999'999'900};
    const FileTime later{1'700'000'000, 500};
    EXPECT_TRUE(CreationTimeSettable(file, ItemType::File));
    ASSERT_FALSE(WriteItemTimes(file, ItemType::File, {fine, fine, later}).Failed());
    EXPECT_EQ(Times(file).created, cut);
    EXPECT_EQ(Times(file).accessed, later);
    ASSERT_FALSE(WriteItemTimes(file, ItemType::File, {later, {}, {}}).Failed());
    EXPECT_EQ(Times(file).created, later);
    EXPECT_EQ(Times(file).modified, cut);
    ASSERT_FALSE(WriteItemTimes(file, ItemType::File, {{}, later, cut}).Failed());
    EXPECT_EQ(Times(file).created, later);
    EXPECT_EQ(Times(file).accessed, cut);
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
