#include "engine/items.h"
#include "testing/wine.h"

namespace stampwell::engine {
namespace {

using namespace test;

constexpr auto C = TimeKind::Created;
constexpr auto M = TimeKind::Modified;
constexpr auto A = TimeKind::Accessed;
constexpr FileTime kCreated{900'000'000, 111'111'100};
constexpr FileTime kModified{1'000'000'000, 222'222'289};
constexpr FileTime kModifiedIn100ns{1'000'000'000, 222'222'200};
constexpr FileTime kAccessed{1'100'000'000, 333'333'300};

struct PlanCase {
    TimeOperation operation;
    std::optional<FileTime> created; // the item's creation time
    TimesUpdate expected;
    TimeKindSet unknown;
};

// Only the kinds the rule changes are planned, and only when they differ; an
// exchange takes the old value of each; a value copied onto the creation time
// is cut to 100 ns steps; a rule that takes a missing creation time fails.
TEST(PlanTimes, PlansOnlyTheKindsThatChange) {
    const std::nullopt_t none = std::nullopt;
    const PlanCase cases[] = {
        {Copy(C, M), kCreated, {kModifiedIn100ns, none, none}, 0},
        {Copy(C, M, true), kCreated, {kModifiedIn100ns, kCreated, none}, 0},
        {Copy(A, M), kCreated, {none, none, kModified}, 0},
        {{}, kCreated, {}, 0},
        {SetTime(M, kModified), kCreated, {}, 0},
        {SetTime(A, kCreated), kCreated, {none, none, kCreated}, 0},
        {SetTime(C, kModified), none, {kModified, none, none}, 0},
        {Copy(M, C), none, {}, KindBit(C)},
        {Copy(C, A, true), none, {}, KindBit(C)},
    };
    for (const PlanCase& c : cases) {
        SCOPED_TRACE(&c - cases);
        const ItemTimes current{c.created, kModified, kAccessed};
        TimesUpdate update{kNew, kNew, kNew};
        const auto failure = PlanTimes(c.operation, current, update);
        EXPECT_EQ(failure ? failure->kinds : 0, c.unknown);
        EXPECT_TRUE(!failure || failure->step == FailedStep::TimeUnknown);
        EXPECT_EQ(update.created, c.expected.created);
        EXPECT_EQ(update.modified, c.expected.modified);
        EXPECT_EQ(update.accessed, c.expected.accessed);
    }
}

// On a file and on a folder the kinds the rule leaves alone keep their exact
// values, and the values read before are reported. A time the file system
// cannot keep (before 1901 on ext4, a fraction finer than 100 ns on Windows,
// a creation time on Linux outside NTFS) is kept exactly or fails, refused or
// not kept, and then the item keeps the times it had.
// Wine shows the last write time as the creation time: a copy onto it reads
// back as kept.
TEST(ApplyTimes, UntouchedKindsKeepTheirValuesAndUnkeptTimesAreTakenBack) {
    constexpr FileTime kWhen{1'300'000'000, 100}; // whole 100 ns ticks, as NTFS keeps them
    const TimeOperation cases[] = {Copy(M, A, true), SetTime(A, kWhen),
                                   SetTime(M, {-11'676'096'000, 0}),
                                   SetTime(M, {1'300'000'000, 123'456'789}), Copy(C, M)};
    TempFolder tree;
    for (const std::string& item : {tree.File("item.txt"), tree.Folder("folder")}) {
        for (const TimeOperation& operation : cases) {
            SCOPED_TRACE(item + " " + std::to_string(&operation - cases));
            SetDistinctTimes(item, 1'500'000'000);
            const ItemTimes before = TimesOf(item);
            TimesChange change;
            const auto failure = TypeOf(item) == ItemType::File
                                     ? ApplyFileTimes(item, operation, change)
                                     : ApplyFolderTimes(item, operation, change);
            const ItemTimes after = TimesOf(item);
            for (const TimeKind kind : {C, M, A}) {
                const auto wanted = TimeOf(change.update, kind);
                if (kind == C && testing::UnderWine())
                    continue;
                EXPECT_EQ(TimeOf(after, kind), failure || !wanted ? TimeOf(before, kind) : wanted);
            }
            ASSERT_TRUE(change.before);
            EXPECT_EQ(change.before->modified, before.modified);
            EXPECT_EQ(change.before->accessed, before.accessed);
            if (failure) {
                EXPECT_TRUE(failure->step == FailedStep::WriteTimes ||
                            failure->step == FailedStep::TimesNotKept);
                EXPECT_EQ(failure->reason.Failed(), failure->step == FailedStep::WriteTimes);
                EXPECT_EQ(failure->kinds & ~KindsOf(change.update), 0);
                EXPECT_NE(failure->kinds, 0);
            }
        }
    }
}

} // namespace
} // namespace stampwell::engine
