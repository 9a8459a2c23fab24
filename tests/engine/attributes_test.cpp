#include "engine/batchrun.h"
#include "engine/modAttributes.h"
#include "engine/times.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace stampwell::engine {
namespace {

using stampwell::testing::TempFolder;

constexpr std::uint32_t kUserBits = kAttrArchive | kAttrReadOnly | kAttrSystem | kAttrHidden;

std::uint32_t WordOf(const std::string& path) {
    std::uint32_t word = 0;
    const auto error = platform::ReadAttributes(path, word);
    EXPECT_FALSE(error.Failed()) << path << ": " << error.text;
    return word;
}

AttributeOperation Operation(AttributeAction action, std::uint32_t bits) {
    return {action, (bits & kAttrArchive) != 0, (bits & kAttrReadOnly) != 0,
            (bits & kAttrSystem) != 0, (bits & kAttrHidden) != 0};
}

// Wine keeps Archive on every file whatever is written; Windows and the
// POSIX backend clear it.
bool ArchiveClearable(const TempFolder& tree) {
    const std::string probe = tree.File("archive-probe");
    platform::WriteAttributes(probe, 0);
    return (WordOf(probe) & kAttrArchive) == 0;
}

// Wine ignores Read-only on folders; Windows and the POSIX backend keep it.
bool FolderReadOnlyKept(const TempFolder& tree) {
    const std::string probe = tree.Folder("readonly-probe");
    platform::WriteAttributes(probe, kAttrReadOnly);
    const bool kept = (WordOf(probe) & kAttrReadOnly) != 0;
    platform::WriteAttributes(probe, 0);
    return kept;
}

TEST(HasAttr, TestsOnlyTheFourAttributes) {
    EXPECT_TRUE(FileHasAttr(33, kAttrReadOnly));
    EXPECT_TRUE(FileHasAttr(33, kAttrArchive));
    EXPECT_FALSE(FileHasAttr(33, kAttrHidden));
    EXPECT_FALSE(FileHasAttr(0xFFFF, 8)) << "8 is not an attribute";
    EXPECT_FALSE(FolderHasAttr(16, kAttrDirectory)) << "the directory bit is not an attribute";
    EXPECT_TRUE(FolderHasAttr(16 | kAttrSystem, kAttrSystem));
}

TEST(PlanAttributes, SetsAndClearsOnlyTheCheckedBits) {
    EXPECT_EQ(PlanAttributes(33, Operation(AttributeAction::Set, kAttrHidden)), 35u);
    EXPECT_EQ(PlanAttributes(32, Operation(AttributeAction::Clear, kAttrArchive)), 0u);
    EXPECT_EQ(PlanAttributes(16, Operation(AttributeAction::Set, kAttrSystem)), 20u);
    EXPECT_EQ(PlanAttributes(48, Operation(AttributeAction::Clear, kAttrArchive)), 16u);
    // Bits beyond the four (here "compressed", 2048) stay as read.
    EXPECT_EQ(PlanAttributes(2048, Operation(AttributeAction::Set, kAttrReadOnly)), 2049u);
    EXPECT_EQ(PlanAttributes(7, Operation(AttributeAction::None, kUserBits)), 7u);
    EXPECT_EQ(PlanAttributes(0, Operation(AttributeAction::Set, kUserBits)), kUserBits);
    EXPECT_EQ(PlanAttributes(kUserBits | 16, Operation(AttributeAction::Clear, kUserBits)), 16u);
}

TEST(FileAttr, SetThenClearRestoresTheWord) {
    TempFolder tree;
    const std::string file = tree.File("a.txt");
    const std::uint32_t before = WordOf(file);
    for (const std::uint32_t bit : {kAttrHidden, kAttrSystem, kAttrReadOnly}) {
        EXPECT_FALSE(SetFileAttr(bit, file));
        EXPECT_TRUE(FileHasAttr(WordOf(file), bit));
        EXPECT_FALSE(SetFileAttr(bit, file)) << "a bit already set is not written again";
        EXPECT_FALSE(ClearFileAttr(bit, file));
        EXPECT_EQ(WordOf(file) & kUserBits, before & kUserBits);
    }
}

TEST(FileAttr, InvalidBitChangesNothing) {
    TempFolder tree;
    const std::string file = tree.File("a.txt");
    const std::uint32_t before = WordOf(file);
    EXPECT_FALSE(SetFileAttr(8, file));
    EXPECT_FALSE(ClearFileAttr(kAttrDirectory, file));
    EXPECT_EQ(WordOf(file), before);
}

TEST(FileAttr, MissingFileFailsToRead) {
    TempFolder tree;
    const auto failure = SetFileAttr(kAttrHidden, tree.Path("gone"));
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->step, FailedStep::ReadAttributes);
    EXPECT_EQ(failure->attributes, kAttrHidden);
    EXPECT_TRUE(failure->reason.Failed());
}

// The attribute operation of a run on one item: the item's first failure.
std::optional<Failure> ApplyAttributes(const std::string& path, const AttributeOperation& operation,
                                       AttributeChange& change) {
    Job job;
    job.attributes = operation;
    const ItemReport report =
        std::filesystem::is_directory(path) ? ProcessFolder(path, job) : ProcessFile(path, job);
    change = report.attributes;
    if (report.failures.empty())
        return std::nullopt;
    return report.failures.front();
}

TEST(ApplyAttributes, SetsAllFourOnAFileAndClearsThemAgain) {
    TempFolder tree;
    const bool archiveClearable = ArchiveClearable(tree);
    const std::string file = tree.File("a.txt");
    AttributeChange change;
    EXPECT_FALSE(ApplyAttributes(file, Operation(AttributeAction::Set, kUserBits), change));
    EXPECT_EQ(change.after & kUserBits, kUserBits);
    EXPECT_EQ(WordOf(file) & kUserBits, kUserBits);

    const auto failure =
        ApplyAttributes(file, Operation(AttributeAction::Clear, kUserBits), change);
    EXPECT_EQ(change.before & kUserBits, kUserBits);
    EXPECT_EQ(change.after & kUserBits, 0u);
    if (archiveClearable) {
        EXPECT_FALSE(failure);
        EXPECT_EQ(WordOf(file) & kUserBits, 0u);
    } else {
        // Wine: Archive stays; that change was not kept and is reported.
        ASSERT_TRUE(failure);
        EXPECT_EQ(failure->step, FailedStep::AttributesNotKept);
        EXPECT_EQ(failure->attributes, kAttrArchive);
        EXPECT_EQ(WordOf(file) & kUserBits, kAttrArchive);
    }
}

TEST(ApplyAttributes, FolderKeepsItsDirectoryBit) {
    TempFolder tree;
    const bool readOnlyKept = FolderReadOnlyKept(tree);
    const std::string folder = tree.Folder("sub");
    AttributeChange change;
    EXPECT_FALSE(ApplyAttributes(folder, Operation(AttributeAction::Set, kAttrHidden), change));
    EXPECT_EQ(WordOf(folder) & (kAttrHidden | kAttrDirectory), kAttrHidden | kAttrDirectory);

    const auto failure =
        ApplyAttributes(folder, Operation(AttributeAction::Set, kAttrReadOnly), change);
    if (readOnlyKept) {
        EXPECT_FALSE(failure);
        EXPECT_TRUE(FolderHasAttr(WordOf(folder), kAttrReadOnly));
        EXPECT_FALSE(ClearFolderAttr(kAttrReadOnly, folder));
    } else {
        // Wine: Read-only on a folder is ignored, and that is reported.
        ASSERT_TRUE(failure);
        EXPECT_EQ(failure->step, FailedStep::AttributesNotKept);
        EXPECT_EQ(failure->attributes, kAttrReadOnly);
    }
    EXPECT_FALSE(FolderHasAttr(WordOf(folder), kAttrReadOnly));
    EXPECT_FALSE(ClearFolderAttr(kAttrHidden, folder));
    EXPECT_FALSE(FolderHasAttr(WordOf(folder), kAttrHidden));
}

} // namespace
} // namespace stampwell::engine
