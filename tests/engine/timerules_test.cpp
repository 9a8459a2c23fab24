#include "engine/timerules.h"
#include "engine/times.h"
#include "testing/wine.h"

#include <gtest/gtest.h>

namespace stampwell::engine {
namespace {

using stampwell::testing::TempFolder;
using test::TimesOf;
using Type = TimeOperation::Type;

constexpr FileTime kCreated{900'000'000, 111'111'100};
constexpr FileTime kModified{1'000'000'000, 222'222'200};
constexpr FileTime kAccessed{1'100'000'000, 333'333'300};

ItemTimes Sample() {
    return ItemTimes{kCreated, kModified, kAccessed};
}

struct PlanCase {
    TimeOperation operation;
    TimesUpdate expected;
};

TEST(PlanTimes, ACreationTimeTakesACopiedValueIn100NanosecondSteps) {
    ItemTimes times = Sample();
    times.modified.nanoseconds = 123'456'789;
    TimesUpdate update;
    EXPECT_FALSE(
        PlanTimes({Type::Copy, TimeKind::Created, TimeKind::Modified, true, {}}, times, update));
    EXPECT_EQ(update.created, (FileTime{kModified.seconds, 123'456'700}));
    EXPECT_EQ(update.modified, kCreated);
}

// Only the kinds the rule changes are written, with exact values, and only
// when they differ from what the item has.
TEST(PlanTimes, WritesOnlyTheKindsThatChange) {
    const PlanCase cases[] = {
        {{Type::Copy, TimeKind::Created, TimeKind::Modified, false, {}},
         {kModified, std::nullopt, std::nullopt}},
        {{Type::Copy, TimeKind::Modified, TimeKind::Accessed, true, {}},
         {std::nullopt, kAccessed, kModified}},
        {{Type::Copy, TimeKind::Accessed, TimeKind::Accessed, true, {}}, {}},
        {{Type::None, TimeKind::Created, TimeKind::Modified, false, {}}, {}},
        {{Type::Set, TimeKind::Modified, TimeKind::Modified, false, kModified}, {}},
        {{Type::Set, TimeKind::Accessed, TimeKind::Accessed, false, kCreated},
         {std::nullopt, std::nullopt, kCreated}},
    };
    for (const PlanCase& c : cases) {
        TimesUpdate update;
        EXPECT_FALSE(PlanTimes(c.operation, Sample(), update));
        EXPECT_EQ(update.created, c.expected.created);
        EXPECT_EQ(update.modified, c.expected.modified);
        EXPECT_EQ(update.accessed, c.expected.accessed);
    }
}

TEST(PlanTimes, CopyFromAMissingCreationTimeFails) {
    ItemTimes times = Sample();
    times.created.reset();
    TimesUpdate update;
    const auto failure =
        PlanTimes({Type::Copy, TimeKind::Modified, TimeKind::Created, false, {}}, times, update);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->step, FailedStep::TimeUnknown);
    EXPECT_EQ(failure->kinds, KindBit(TimeKind::Created));
    EXPECT_EQ(KindsOf(update), 0);
}

using stampwell::testing::UnderWine;

// After a change that leaves the creation time alone: Windows (and Linux)
// keep it exactly; Wine keeps none and shows the last write time instead
// (the earlier of the last write and the host's status-change time).
void ExpectCreationKept(const ItemTimes& after, const ItemTimes& before) {
    if (UnderWine())
        EXPECT_EQ(after.created, after.modified);
    else
        EXPECT_EQ(after.created, before.created);
}

// Real files: the untouched kinds keep their exact values.
class TimeRulesOnFiles : public ::testing::Test {
protected:
    void SetUp() override {
        file_ = tree_.File("item.txt");
        test::SetDistinctTimes(file_, ItemType::File, 1'500'000'000);
        before_ = TimesOf(file_, ItemType::File);
    }

    TempFolder tree_;
    std::string file_;
    ItemTimes before_;
};

TEST_F(TimeRulesOnFiles, CopyModifiedOntoAccessedKeepsTheOthersExact) {
    TimesChange change;
    const auto failure = ApplyFileTimes(
        file_, {Type::Copy, TimeKind::Accessed, TimeKind::Modified, false, {}}, change);
    EXPECT_FALSE(failure);
    const ItemTimes after = TimesOf(file_, ItemType::File);
    EXPECT_EQ(after.accessed, before_.modified);
    EXPECT_EQ(after.modified, before_.modified);
    EXPECT_EQ(after.created, before_.created);
    ASSERT_TRUE(change.before);
    EXPECT_EQ(change.before->accessed, before_.accessed);
}

TEST_F(TimeRulesOnFiles, ExchangeTwiceRestoresEveryTimeExactly) {
    const TimeOperation exchange{Type::Copy, TimeKind::Modified, TimeKind::Accessed, true, {}};
    TimesChange change;
    EXPECT_FALSE(ApplyFileTimes(file_, exchange, change));
    const ItemTimes once = TimesOf(file_, ItemType::File);
    EXPECT_EQ(once.modified, before_.accessed);
    EXPECT_EQ(once.accessed, before_.modified);
    ExpectCreationKept(once, before_);
    EXPECT_FALSE(ApplyFileTimes(file_, exchange, change));
    const ItemTimes twice = TimesOf(file_, ItemType::File);
    EXPECT_EQ(twice.modified, before_.modified);
    EXPECT_EQ(twice.accessed, before_.accessed);
    ExpectCreationKept(twice, before_);
}

TEST_F(TimeRulesOnFiles, SetChangesOnlyTheChosenKind) {
    const FileTime when{1'234'567'890, 987'654'300};
    TimesChange change;
    EXPECT_FALSE(ApplyFileTimes(
        file_, {Type::Set, TimeKind::Modified, TimeKind::Modified, false, when}, change));
    const ItemTimes after = TimesOf(file_, ItemType::File);
    EXPECT_EQ(after.modified, when);
    EXPECT_EQ(after.accessed, before_.accessed);
    ExpectCreationKept(after, before_);
}

TEST_F(TimeRulesOnFiles, CopyOntoCreationIsExactOrReportedAsFailed) {
    const bool settable = test::CreationTimeSettable(tree_.Root());
    TimesChange change;
    const auto failure = ApplyFileTimes(
        file_, {Type::Copy, TimeKind::Created, TimeKind::Modified, false, {}}, change);
    const ItemTimes after = TimesOf(file_, ItemType::File);
    if (UnderWine()) {
        // Wine shows the last write time as the creation time, which is the
        // value copied: the read-back cannot tell that none was kept.
        EXPECT_FALSE(failure);
        EXPECT_EQ(after.created, before_.modified);
    } else if (settable) {
        EXPECT_FALSE(failure);
        EXPECT_EQ(after.created, before_.modified);
    } else {
        ASSERT_TRUE(failure);
        EXPECT_TRUE(failure->step == FailedStep::WriteTimes ||
                    failure->step == FailedStep::TimesNotKept);
        EXPECT_EQ(failure->kinds, KindBit(TimeKind::Created));
        EXPECT_EQ(failure->item, file_);
    }
    EXPECT_EQ(after.modified, before_.modified);
    EXPECT_EQ(after.accessed, before_.accessed);
}

TEST_F(TimeRulesOnFiles, ExchangeWithCreationIsExactOrReportedAsFailed) {
    const bool settable = test::CreationTimeSettable(tree_.Root());
    const TimeOperation exchange{Type::Copy, TimeKind::Created, TimeKind::Modified, true, {}};
    TimesChange change;
    const auto failure = ApplyFileTimes(file_, exchange, change);
    const ItemTimes after = TimesOf(file_, ItemType::File);
    if (UnderWine()) {
        // Wine shows the last write time as the creation time: the two are
        // equal, so the exchange has nothing to change.
        EXPECT_FALSE(failure);
        EXPECT_EQ(KindsOf(change.update), 0);
        EXPECT_EQ(after.modified, before_.modified);
    } else if (settable) {
        EXPECT_FALSE(failure);
        EXPECT_EQ(after.created, before_.modified);
        EXPECT_EQ(after.modified, before_.created);
        EXPECT_FALSE(ApplyFileTimes(file_, exchange, change));
        const ItemTimes twice = TimesOf(file_, ItemType::File);
        // The creation time is kept in 100 ns steps.
        FileTime created = *before_.created;
        created.nanoseconds -= created.nanoseconds % 100;
        EXPECT_EQ(twice.created, created);
        EXPECT_EQ(twice.modified, before_.modified);
    } else {
        ASSERT_TRUE(failure);
        EXPECT_NE(failure->kinds & KindBit(TimeKind::Created), 0);
        // The item is left as it was: the creation time is refused before
        // anything else is written.
        if (failure->step == FailedStep::WriteTimes) {
            EXPECT_EQ(after.modified, before_.modified);
        }
    }
    EXPECT_EQ(after.accessed, before_.accessed);
}

TEST(TimeRulesOnFolders, SetOnAFolderKeepsTheOtherKindsExact) {
    TempFolder tree;
    const std::string folder = tree.Folder("sub");
    test::SetDistinctTimes(folder, ItemType::Folder, 1'400'000'000);
    const ItemTimes before = TimesOf(folder, ItemType::Folder);
    const FileTime when{1'300'000'000, 100}; // whole 100 ns ticks, as NTFS keeps them
    TimesChange change;
    EXPECT_FALSE(ApplyFolderTimes(
        folder, {Type::Set, TimeKind::Accessed, TimeKind::Accessed, false, when}, change));
    const ItemTimes after = TimesOf(folder, ItemType::Folder);
    EXPECT_EQ(after.accessed, when);
    EXPECT_EQ(after.modified, before.modified);
    EXPECT_EQ(after.created, before.created);
}

// Windows keeps 100 ns ticks, Linux nanoseconds: on Windows a finer fraction
// is refused before anything is written, so the item keeps its time.
TEST(TimeRulesFractions, FractionTheFileSystemCannotKeepIsReported) {
    TempFolder tree;
    const std::string file = tree.File("a.txt");
    const FileTime when{1'300'000'000, 123'456'789};
    TimesChange change;
    const auto failure = ApplyFileTimes(
        file, {Type::Set, TimeKind::Modified, TimeKind::Modified, false, when}, change);
    const FileTime kept = TimesOf(file, ItemType::File).modified;
    if (kept == when) {
        EXPECT_FALSE(failure);
    } else {
        EXPECT_NE(kept.seconds, when.seconds);
        ASSERT_TRUE(failure);
        EXPECT_EQ(failure->step, FailedStep::WriteTimes);
        EXPECT_EQ(failure->kinds, KindBit(TimeKind::Modified));
    }
}

TEST(TimeRulesOnMissingItems, CopyFailsToReadAndSetFailsToWrite) {
    TempFolder tree;
    TimesChange change;
    const auto copyFailure =
        ApplyFileTimes(tree.Path("gone.txt"),
                       {Type::Copy, TimeKind::Modified, TimeKind::Accessed, false, {}}, change);
    ASSERT_TRUE(copyFailure);
    EXPECT_EQ(copyFailure->step, FailedStep::ReadTimes);
    EXPECT_TRUE(copyFailure->reason.Failed());
    EXPECT_EQ(KindsOf(change.update), 0);

    // A Set too reads the item before it writes: the old values are kept.
    const auto setFailure =
        ApplyFileTimes(tree.Path("gone.txt"),
                       {Type::Set, TimeKind::Modified, TimeKind::Modified, false, {}}, change);
    ASSERT_TRUE(setFailure);
    EXPECT_EQ(setFailure->step, FailedStep::ReadTimes);
    EXPECT_FALSE(change.before);
}

} // namespace
} // namespace stampwell::engine
