#include "engine/items.h"
#include "testing/wine.h"

namespace stampwell::engine {
namespace {

using namespace test;
using enum AttributeAction;

constexpr std::uint32_t kUserBits = kAttrArchive | kAttrReadOnly | kAttrSystem | kAttrHidden;

AttributeOperation Operation(AttributeAction action, std::uint32_t bits) {
    return {action, (bits & kAttrArchive) != 0, (bits & kAttrReadOnly) != 0,
            (bits & kAttrSystem) != 0, (bits & kAttrHidden) != 0};
}

// Only the four attributes count, and only the checked ones change: the
// directory bit and any other bit (here "compressed", 2048) stay as read.
TEST(PlanAttributes, SetsAndClearsOnlyTheCheckedBits) {
    const std::uint32_t plans[][4] = {
        {33, 1, kAttrHidden, 35},     {32, 2, kAttrArchive, 0},           {16, 1, kAttrSystem, 20},
        {48, 2, kAttrArchive, 16},    {2048, 1, kAttrReadOnly, 2049},     {7, 0, kUserBits, 7},
        {0, 1, kUserBits, kUserBits}, {kUserBits | 16, 2, kUserBits, 16},
    };
    for (const auto& [word, action, bits, planned] : plans)
        EXPECT_EQ(PlanAttributes(word, Operation(static_cast<AttributeAction>(action), bits)),
                  planned);
    const std::uint32_t has[][3] = {{33, kAttrReadOnly, 1},  {33, kAttrArchive, 1},
                                    {33, kAttrHidden, 0},    {0xFFFF, 8, 0},
                                    {16, kAttrDirectory, 0}, {16 | kAttrSystem, kAttrSystem, 1}};
    for (const auto& [word, bit, expected] : has) {
        EXPECT_EQ(FileHasAttr(word, bit), expected != 0) << word << " " << bit;
        EXPECT_EQ(FolderHasAttr(word, bit), expected != 0) << word << " " << bit;
    }
}

// Each reads the word afresh and changes one of the four bits; a bit that is
// no attribute changes nothing. Wine ignores Read-only on folders.
TEST(FileAttr, SetThenClearRestoresTheWord) {
    TempFolder tree;
    for (const std::string& item : {tree.File("a.txt"), tree.Folder("sub")}) {
        const bool folder = TypeOf(item) == ItemType::Folder;
        const std::uint32_t before = WordOf(item);
        for (const std::uint32_t bit :
             {kAttrHidden, kAttrSystem, kAttrReadOnly, 8u, kAttrDirectory}) {
            if (folder && bit == kAttrReadOnly && testing::UnderWine())
                continue;
            EXPECT_FALSE(folder ? SetFolderAttr(bit, item) : SetFileAttr(bit, item));
            EXPECT_EQ(FileHasAttr(WordOf(item), bit), bit != 8 && bit != kAttrDirectory) << bit;
            EXPECT_FALSE(folder ? ClearFolderAttr(bit, item) : ClearFileAttr(bit, item));
            EXPECT_EQ(WordOf(item), before) << bit;
        }
    }
    const auto failure = SetFileAttr(kAttrHidden, tree.Path("gone"));
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->step, FailedStep::ReadAttributes);
    EXPECT_EQ(failure->attributes, kAttrHidden);
    EXPECT_TRUE(failure->reason.Failed());
}

struct ApplyCase {
    bool folder;
    AttributeAction action;
    std::uint32_t bits;
    std::uint32_t after; // the concerned bits afterwards
};

// A run's step plans from the word read before it and reports a bit the item
// did not keep by itself. Wine keeps Archive on every file and ignores
// Read-only on folders, where Windows and the POSIX backend keep what is written.
TEST(ApplyAttributes, EachBitIsKeptOrReportedOnItsOwn) {
    TempFolder tree;
    const std::string file = tree.File("a.txt");
    const std::string folder = tree.Folder("sub");
    const ApplyCase cases[] = {
        {false, Set, kUserBits, kUserBits},
        {false, Clear, kUserBits, 0},
        {true, Set, kAttrHidden, kAttrHidden},
        {true, Set, kAttrReadOnly | kAttrSystem, kAttrReadOnly | kAttrSystem},
        {true, Clear, kAttrReadOnly | kAttrSystem | kAttrHidden, 0},
    };
    for (const ApplyCase& c : cases) {
        SCOPED_TRACE(&c - cases);
        const std::string& item = c.folder ? folder : file;
        const std::uint32_t before = WordOf(item);
        Job job;
        job.attributes = Operation(c.action, c.bits);
        const ItemReport report = c.folder ? ProcessFolder(item, job) : ProcessFile(item, job);
        const bool wine = testing::UnderWine();
        const std::uint32_t lost =
            c.folder ? (wine ? c.after & kAttrReadOnly : 0) : (wine ? ~c.after & kAttrArchive : 0);
        EXPECT_EQ(report.attributes.before, before);
        EXPECT_EQ(report.attributes.after & c.bits, c.after);
        EXPECT_EQ(WordOf(item) & (c.bits | kAttrDirectory),
                  (c.after ^ lost) | (c.folder ? kAttrDirectory : 0));
        ASSERT_EQ(report.failures.size(), lost != 0 ? 1u : 0u);
        if (lost != 0) {
            EXPECT_EQ(report.failures[0].step, FailedStep::AttributesNotKept);
            EXPECT_EQ(report.failures[0].attributes, lost);
        }
    }
}

} // namespace
} // namespace stampwell::engine
