#include "engine/batchrun.h"
#include "engine/times.h"
#include "testing/asnobody.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace stampwell::engine {
namespace {

namespace fs = std::filesystem;
using stampwell::testing::AsNobody;
using stampwell::testing::TempFolder;
using test::TimesOf;

constexpr FileTime kOld{1'000'000'000, 123'456'700};
constexpr FileTime kNew{1'234'567'890, 987'654'300};

Job SetModified(const std::string& path) {
    Job job;
    job.path = path;
    job.recursive = true;
    job.times = {TimeOperation::Type::Set, TimeKind::Modified, TimeKind::Modified, false, kNew};
    return job;
}

void Prepare(const std::string& path, ItemType type) {
    TimesUpdate update;
    update.modified = kOld;
    update.accessed = kOld;
    ASSERT_FALSE(platform::WriteItemTimes(path, type, update).Failed()) << path;
}

class BatchRunPosix : public ::testing::Test {
protected:
    void SetUp() override { ClearCancel(); }
    void TearDown() override { ClearCancel(); }
    TempFolder tree_;
};

// A link is an item of its own: its own times change, what it points to is
// never entered nor touched, and a loop cannot trap the walk.
TEST_F(BatchRunPosix, LinksAreItemsAndNeverFollowed) {
    TempFolder outside;
    const std::string target = outside.File("target.txt");
    Prepare(target, ItemType::File);
    Prepare(outside.Root(), ItemType::Folder);
    tree_.File("a/file.txt");
    fs::create_directory_symlink("..", tree_.Path("a/loop"));
    fs::create_directory_symlink(outside.Root(), tree_.Path("a/away"));
    fs::create_symlink(target, tree_.Path("a/link.txt"));

    std::vector<std::string> items;
    RunCallbacks callbacks;
    callbacks.itemInHand = [&](const std::string& path, ItemType) { items.push_back(path); };
    const Outcome outcome = RunBatch(SetModified(tree_.Root()), callbacks);
    EXPECT_EQ(outcome.ending, Ending::Done);
    EXPECT_EQ(outcome.files, 4u) << "file.txt and the three links";
    EXPECT_EQ(outcome.folders, 2u);
    EXPECT_EQ(outcome.failed, 0u);
    EXPECT_EQ(items.size(), 6u);
    for (const char* link : {"a/loop", "a/away", "a/link.txt"})
        EXPECT_EQ(TimesOf(tree_.Path(link), ItemType::File).modified, kNew) << link;
    EXPECT_EQ(TimesOf(target, ItemType::File).modified, kOld);
    EXPECT_EQ(TimesOf(outside.Root(), ItemType::Folder).modified, kOld);
}

TEST_F(BatchRunPosix, NamesInAnyEncodingAndOfFullLengthAreProcessed) {
    const std::string latin1 = "caf\xe9-\xff\xfe.txt";
    const std::string longest = std::string(251, 'n') + ".txt";
    for (const std::string& name : {latin1, longest,
                                    std::string("stra\xc3\x9f"
                                                "e.txt")}) {
        std::ofstream(tree_.Path(name)) << "x";
        Prepare(tree_.Path(name), ItemType::File);
    }
    std::vector<std::string> items;
    RunCallbacks callbacks;
    callbacks.itemInHand = [&](const std::string& path, ItemType) { items.push_back(path); };
    Job job = SetModified(tree_.Root());
    job.mode = Mode::FilesOnly;
    const Outcome outcome = RunBatch(job, callbacks);
    EXPECT_EQ(outcome.files, 3u);
    EXPECT_EQ(outcome.failed, 0u);
    EXPECT_NE(std::find(items.begin(), items.end(), tree_.Path(latin1)), items.end())
        << "the bytes of the name are kept as they are";
    EXPECT_EQ(TimesOf(tree_.Path(latin1), ItemType::File).modified, kNew);
    EXPECT_EQ(TimesOf(tree_.Path(longest), ItemType::File).modified, kNew);
}

// A folder the user may not read: reported and counted, and everything else
// (the folder's own times included, as its owner) is done.
TEST_F(BatchRunPosix, UnreadableFolderIsReportedAndTheRunGoesOn) {
    tree_.File("open/a.txt");
    tree_.File("locked/hidden-inside.txt");
    tree_.File("b.txt");
    for (const auto& entry : fs::recursive_directory_iterator(tree_.Root()))
        ASSERT_EQ(lchown(entry.path().c_str(), 65534, 65534), 0);
    ASSERT_EQ(lchown(tree_.Root().c_str(), 65534, 65534), 0);
    fs::permissions(tree_.Path("locked"), fs::perms::none);

    const int failures = AsNobody([&] {
        std::vector<Failure> reported;
        RunCallbacks callbacks;
        callbacks.failure = [&](const Failure& failure) { reported.push_back(failure); };
        const Outcome outcome = RunBatch(SetModified(tree_.Root()), callbacks);
        int failed = 0;
        failed += outcome.files != 2;
        failed += outcome.folders != 3;
        failed += outcome.failed != 1;
        failed += reported.size() != 1;
        if (!reported.empty()) {
            failed += reported[0].item != tree_.Path("locked");
            failed += reported[0].step != FailedStep::ListFolder;
            failed += reported[0].reason.code == 0;
        }
        return failed;
    });
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(TimesOf(tree_.Path("locked"), ItemType::Folder).modified, kNew);
    EXPECT_EQ(TimesOf(tree_.Path("b.txt"), ItemType::File).modified, kNew);
    EXPECT_NE(TimesOf(tree_.Path("locked/hidden-inside.txt"), ItemType::File).modified, kNew);
}

// A file of another user: its times cannot be written, and that is counted.
TEST_F(BatchRunPosix, FailedTimeWriteOfAnotherUsersFileIsCounted) {
    const std::string file = tree_.File("root-owned.txt");
    Prepare(file, ItemType::File);
    ASSERT_EQ(lchown(tree_.Root().c_str(), 65534, 65534), 0);
    const int failures = AsNobody([&] {
        std::vector<Failure> reported;
        RunCallbacks callbacks;
        callbacks.failure = [&](const Failure& failure) { reported.push_back(failure); };
        const Outcome outcome = RunBatch(SetModified(tree_.Root()), callbacks);
        int failed = 0;
        failed += outcome.files != 1;
        failed += outcome.failed != 1;
        failed += reported.size() != 1 || reported[0].step != FailedStep::WriteTimes ||
                  reported[0].item != file;
        return failed;
    });
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(TimesOf(file, ItemType::File).modified, kOld);
}

// A tree thousands of levels deep, far past PATH_MAX: walked without
// recursion, every level treated.
TEST(BatchRunDeep, ThousandsOfLevels) {
    constexpr int kDepth = 3000;
    TempFolder tree;
    const fs::path start = fs::current_path();
    fs::current_path(tree.Root());
    for (int i = 0; i < kDepth; ++i) {
        fs::create_directory("d");
        fs::current_path("d");
    }
    std::ofstream("bottom.txt") << "x";
    fs::current_path(start);

    ClearCancel();
    Job job = SetModified(tree.Root());
    const Outcome outcome = RunBatch(job, {});
    EXPECT_EQ(outcome.ending, Ending::Done);
    EXPECT_EQ(outcome.files, 1u);
    EXPECT_EQ(outcome.folders, static_cast<std::uint64_t>(kDepth) + 1);
    EXPECT_EQ(outcome.failed, 0u);

    std::string bottom = tree.Root();
    for (int i = 0; i < kDepth; ++i)
        bottom += "/d";
    EXPECT_EQ(TimesOf(bottom + "/bottom.txt", ItemType::File).modified, kNew);

    // Removed from the bottom up: each step's path is short.
    fs::current_path(tree.Root());
    for (int i = 0; i < kDepth; ++i)
        fs::current_path("d");
    for (int i = 0; i < kDepth; ++i) {
        fs::current_path("..");
        fs::remove_all("d");
    }
    fs::current_path(start);
}

} // namespace
} // namespace stampwell::engine
