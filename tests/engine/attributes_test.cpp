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

// An action on the checked bits, and the bits of the word before and after.
struct Change {
    std::uint32_t word;
    AttributeAction action;
    std::uint32_t bits, after;
};

// Only the checked attributes change: the directory bit and any other bit
// (here "compressed", 2048) stay as read.
TEST(PlanAttributes, SetsAndClearsOnlyTheCheckedBits) {
    const Change plans[] = {
        {32, Clear, kAttrArchive, 0},     {16, Set, kAttrSystem, 20},
        {2048, Set, kAttrReadOnly, 2049}, {7, None, kUserBits, 7},
        {0, Set, kUserBits, kUserBits},   {kUserBits | 16, Clear, kUserBits, 16},
    };
    for (const auto& [word, action, bits, planned] : plans)
        EXPECT_EQ(PlanAttributes(word, Operation(action, bits)), planned);
}

// A run's step plans from the word read before it and reports a bit the item
// did not keep by itself. Wine keeps Archive on every file and ignores
// Read-only on folders, where Windows and POSIX keep what is written.
TEST(ApplyAttributes, EachBitIsKeptOrReportedOnItsOwn) {
    TempFolder tree;
    const std::string file = tree.File("a.txt");
    const std::string folder = tree.Folder("sub");
    const std::uint32_t kSome = kAttrReadOnly | kAttrSystem;
    const Change cases[] = {// word: 1 for the folder
                            {0, Set, kUserBits, kUserBits},
                            {0, Clear, kUserBits, 0},
                            {1, Set, kSome, kSome},
                            {1, Clear, kSome | kAttrHidden, 0}};
    for (const auto& [isFolder, action, bits, after] : cases) {
        SCOPED_TRACE(isFolder * 10 + bits);
        const std::string& item = isFolder ? folder : file;
        Job job;
        job.attributes = Operation(action, bits);
        const ItemReport report = isFolder ? ProcessFolder(item, job) : ProcessFile(item, job);
        const std::uint32_t lost = !testing::UnderWine() ? 0
                                   : isFolder            ? after & kAttrReadOnly
                                                         : ~after & kAttrArchive;
        EXPECT_EQ(report.attributes.after & bits, after);
        EXPECT_EQ(WordOf(item) & (bits | kAttrDirectory), (after ^ lost) | (isFolder * 16));
        ASSERT_EQ(report.failures.size(), lost != 0 ? 1u : 0u);
        if (lost != 0) {
            EXPECT_EQ(report.failures[0].step, FailedStep::AttributesNotKept);
            EXPECT_EQ(report.failures[0].attributes, lost);
        }
    }
}

} // namespace
} // namespace stampwell::engine
