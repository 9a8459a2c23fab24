#include "engine/batchrun.h"
#include "engine/modFindFiles.h"
#include "engine/times.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace stampwell::engine {
namespace {

using stampwell::testing::TempFolder;
using test::TimesOf;

constexpr FileTime kOld{1'000'000'000, 123'456'700};
constexpr FileTime kNew{1'234'567'890, 987'654'300};

// A run's callbacks, recorded.
struct Recorder {
    std::vector<std::string> inHand;
    std::vector<Failure> failures;
    std::vector<ItemReport> done;
    std::vector<std::string> searched;

    RunCallbacks Callbacks() {
        RunCallbacks callbacks;
        callbacks.searching = [this](const std::string& folder) { searched.push_back(folder); };
        callbacks.itemInHand = [this](const std::string& path, ItemType) {
            inHand.push_back(path);
        };
        callbacks.failure = [this](const Failure& failure) { failures.push_back(failure); };
        callbacks.itemDone = [this](const ItemReport& report) { done.push_back(report); };
        return callbacks;
    }
};

class BatchRun : public ::testing::Test {
protected:
    void SetUp() override {
        ClearCancel();
        PrepareAll();
    }
    void PrepareAll() {
        for (const char* file : {"a.txt", "b.dat", "sub/c.txt", "sub/deep/d.txt", "other/e.txt"})
            Prepare(tree_.File(file), ItemType::File);
        for (const char* folder : {"sub", "sub/deep", "other"})
            Prepare(tree_.Path(folder), ItemType::Folder);
        Prepare(tree_.Root(), ItemType::Folder);
    }
    void TearDown() override { ClearCancel(); }

    static void Prepare(const std::string& path, ItemType type) {
        TimesUpdate update;
        update.modified = kOld;
        update.accessed = kOld;
        ASSERT_FALSE(platform::WriteItemTimes(path, type, update).Failed()) << path;
    }

    Job SetModified(Mode mode, bool recursive) const {
        Job job;
        job.path = tree_.Root();
        job.mode = mode;
        job.recursive = recursive;
        job.times = {TimeOperation::Type::Set, TimeKind::Modified, TimeKind::Modified, false, kNew};
        return job;
    }

    bool Changed(const std::string& path, ItemType type) const {
        const ItemTimes times = TimesOf(path, type);
        // Listing a folder may update its access time; a file is never read.
        if (type == ItemType::File) {
            EXPECT_EQ(times.accessed, kOld) << path << ": the untouched kind keeps its exact value";
        }
        return times.modified == kNew;
    }

    // The files and folders of the tree whose times the run changed.
    std::vector<std::string> ChangedItems() const {
        std::vector<std::string> changed;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(tree_.Root())) {
            const std::string path = entry.path().string();
            if (Changed(path, entry.is_directory() ? ItemType::Folder : ItemType::File))
                changed.push_back(path);
        }
        if (Changed(tree_.Root(), ItemType::Folder))
            changed.push_back(tree_.Root());
        std::sort(changed.begin(), changed.end());
        return changed;
    }

    std::vector<std::string> Sorted(std::vector<std::string> paths) const {
        std::sort(paths.begin(), paths.end());
        return paths;
    }

    TempFolder tree_;
};

TEST_F(BatchRun, FilesThenFoldersInSearchOrderWithTheChosenFolderLast) {
    Recorder recorder;
    const Outcome outcome =
        RunBatch(SetModified(Mode::FilesAndFolders, true), recorder.Callbacks());
    EXPECT_EQ(outcome.ending, Ending::Done);
    EXPECT_EQ(outcome.files, 5u);
    EXPECT_EQ(outcome.folders, 4u);
    EXPECT_EQ(outcome.failed, 0u);

    FileList files;
    FolderList folders;
    FindFiles(tree_.Root(), true, "*.*", &files, folders);
    std::vector<std::string> expected;
    for (const FileRecord& record : files)
        expected.push_back(record.FullPath());
    expected.insert(expected.end(), folders.begin(), folders.end());
    expected.push_back(tree_.Root());
    EXPECT_EQ(recorder.inHand, expected);
    ASSERT_EQ(recorder.done.size(), expected.size());
    EXPECT_EQ(recorder.done.back().type, ItemType::Folder);
    EXPECT_EQ(KindsOf(recorder.done.front().times.update), KindBit(TimeKind::Modified));
    EXPECT_EQ(ChangedItems(), Sorted(expected));
}

struct Scope {
    Mode mode;
    bool recursive;
    const char* path; // "" is the tree itself
    const char* filter;
    Ending ending;
    std::uint64_t files;
    std::uint64_t folders;
    std::vector<std::string> changed;
};

// The filter limits the files, never the folders; a run that finds no file
// touches no folder either.
TEST_F(BatchRun, ModeFilterAndRecursionChooseTheItems) {
    const Scope cases[] = {
        {Mode::FilesAndFolders,
         true,
         "",
         "*.txt",
         Ending::Done,
         4,
         4,
         {"", "a.txt", "other", "other/e.txt", "sub", "sub/c.txt", "sub/deep", "sub/deep/d.txt"}},
        {Mode::FilesAndFolders, true, "", "*", Ending::BadFilter, 0, 0, {}},
        {Mode::FilesAndFolders, true, "", "*.none", Ending::FoundNothing, 0, 0, {}},
        {Mode::FilesOnly,
         true,
         "",
         "*.*",
         Ending::Done,
         5,
         0,
         {"a.txt", "b.dat", "other/e.txt", "sub/c.txt", "sub/deep/d.txt"}},
        {Mode::FoldersOnly,
         true,
         "",
         "*.txt",
         Ending::Done,
         0,
         4,
         {"", "other", "sub", "sub/deep"}},
        {Mode::FoldersOnly, true, "sub/deep", "*.*", Ending::Done, 0, 1, {"sub/deep"}},
        {Mode::FoldersOnly, false, "", "*.*", Ending::Done, 0, 1, {""}},
    };
    for (const Scope& c : cases) {
        PrepareAll();
        Job job = SetModified(c.mode, c.recursive);
        job.path = *c.path ? tree_.Path(c.path) : tree_.Root();
        job.filter = c.filter;
        const Outcome outcome = RunBatch(job, {});
        EXPECT_EQ(outcome.ending, c.ending) << c.path << " " << c.filter;
        EXPECT_EQ(outcome.files, c.files) << c.path << " " << c.filter;
        EXPECT_EQ(outcome.folders, c.folders) << c.path << " " << c.filter;
        std::vector<std::string> changed;
        for (const std::string& item : c.changed)
            changed.push_back(item.empty() ? tree_.Root() : tree_.Path(item));
        EXPECT_EQ(ChangedItems(), Sorted(changed)) << c.path << " " << c.filter;
    }
}

TEST_F(BatchRun, WithoutSubfoldersHiddenAndSystemFilesAreLeftOut) {
    const std::string hidden = tree_.File("hidden.txt");
    const std::string system = tree_.File("system.txt");
    Prepare(hidden, ItemType::File);
    Prepare(system, ItemType::File);
    ASSERT_FALSE(platform::WriteAttributes(hidden, kAttrHidden).Failed());
    ASSERT_FALSE(platform::WriteAttributes(system, kAttrSystem).Failed());
    Job job = SetModified(Mode::FilesAndFolders, false);
    job.filter = "*.txt";
    Recorder recorder;
    const Outcome outcome = RunBatch(job, recorder.Callbacks());
    EXPECT_EQ(outcome.files, 1u);
    EXPECT_EQ(outcome.folders, 1u);
    EXPECT_EQ(recorder.inHand, (std::vector<std::string>{tree_.Path("a.txt"), tree_.Root()}));
    EXPECT_EQ(ChangedItems(), Sorted({tree_.Path("a.txt"), tree_.Root()}));
}

TEST_F(BatchRun, CancelDuringTheFilesStopsBeforeTheNextBatchAndTheFolders) {
    for (int i = 0; i < 300; ++i)
        Prepare(tree_.File("many/f" + std::to_string(i) + ".txt"), ItemType::File);
    Prepare(tree_.Path("many"), ItemType::Folder);
    Recorder recorder;
    RunCallbacks callbacks = recorder.Callbacks();
    callbacks.itemInHand = [&](const std::string& path, ItemType) {
        recorder.inHand.push_back(path);
        RequestCancel();
    };
    const Outcome outcome = RunBatch(SetModified(Mode::FilesAndFolders, true), callbacks);
    EXPECT_EQ(outcome.ending, Ending::Cancelled);
    EXPECT_EQ(outcome.files, 305u) << "the files found";
    EXPECT_EQ(outcome.folders, 0u);
    ASSERT_LT(recorder.inHand.size(), 305u);
    // Exactly the items reported were changed: none after the cancel.
    EXPECT_EQ(ChangedItems(), Sorted(recorder.inHand));
}

TEST_F(BatchRun, CancelDuringTheSearchTouchesNothing) {
    Recorder recorder;
    RunCallbacks callbacks = recorder.Callbacks();
    callbacks.searching = [&](const std::string& folder) {
        if (folder != tree_.Root())
            RequestCancel();
    };
    const Outcome outcome = RunBatch(SetModified(Mode::FilesAndFolders, true), callbacks);
    EXPECT_EQ(outcome.ending, Ending::Cancelled);
    EXPECT_TRUE(recorder.inHand.empty());
    EXPECT_TRUE(ChangedItems().empty());

    // The next run, flags cleared, on one sub-folder touches only that tree.
    ClearCancel();
    Job job = SetModified(Mode::FilesAndFolders, true);
    job.path = tree_.Path("other");
    EXPECT_EQ(RunBatch(job, {}).ending, Ending::Done);
    EXPECT_EQ(ChangedItems(), Sorted({tree_.Path("other"), tree_.Path("other/e.txt")}));
}

TEST_F(BatchRun, CancelDuringTheFolderPhaseDoesNotStopIt) {
    Recorder recorder;
    RunCallbacks callbacks = recorder.Callbacks();
    callbacks.itemInHand = [&](const std::string& path, ItemType type) {
        recorder.inHand.push_back(path);
        if (type == ItemType::Folder)
            RequestCancel();
    };
    const Outcome outcome = RunBatch(SetModified(Mode::FilesAndFolders, true), callbacks);
    EXPECT_EQ(outcome.ending, Ending::Done);
    EXPECT_EQ(outcome.folders, 4u);
}

TEST_F(BatchRun, CancelWithoutSubfoldersStillTouchesTheChosenFolder) {
    RunCallbacks callbacks;
    callbacks.itemInHand = [](const std::string&, ItemType) { RequestCancel(); };
    const Outcome outcome = RunBatch(SetModified(Mode::FilesAndFolders, false), callbacks);
    EXPECT_EQ(outcome.ending, Ending::Cancelled);
    EXPECT_EQ(outcome.files, 1u);
    EXPECT_TRUE(Changed(tree_.Root(), ItemType::Folder));
}

TEST_F(BatchRun, VanishedItemsFailOrAreSkipped) {
    const std::string victim = tree_.File("victim.txt");
    Recorder recorder;
    RunCallbacks callbacks = recorder.Callbacks();
    int listed = 0;
    // Found when the chosen folder is listed, gone before the run reaches it.
    callbacks.searching = [&](const std::string&) {
        if (++listed == 2)
            std::filesystem::remove(victim);
    };
    // Found by the search, gone before the folder phase reaches it (the
    // files may still be in the works when the first of them is in hand).
    callbacks.itemInHand = [&](const std::string& path, ItemType type) {
        recorder.inHand.push_back(path);
        if (type == ItemType::Folder)
            std::filesystem::remove_all(tree_.Path("sub/deep"));
    };
    const Outcome outcome = RunBatch(SetModified(Mode::FilesAndFolders, true), callbacks);
    EXPECT_EQ(outcome.ending, Ending::Done);
    EXPECT_EQ(outcome.files, 6u) << "every file found counts";
    EXPECT_EQ(outcome.failed, 1u);
    ASSERT_EQ(recorder.failures.size(), 1u);
    EXPECT_EQ(recorder.failures[0].item, victim);
    EXPECT_EQ(recorder.failures[0].step, FailedStep::ReadTimes);
    EXPECT_TRUE(recorder.failures[0].reason.Failed());
    EXPECT_EQ(outcome.folders, 3u) << "the vanished folder is skipped, not counted";
}

TEST_F(BatchRun, VanishedChosenFolder) {
    Job job = SetModified(Mode::FilesAndFolders, true);
    job.path = tree_.Path("gone");
    EXPECT_EQ(RunBatch(job, {}).ending, Ending::FoundNothing);
    job.mode = Mode::FoldersOnly;
    EXPECT_EQ(RunBatch(job, {}).folders, 0u);
    job.recursive = false;
    job.mode = Mode::FilesOnly;
    const Outcome outcome = RunBatch(job, {});
    EXPECT_EQ(outcome.files, 0u);
    EXPECT_EQ(outcome.failed, 1u) << "the folder could not be listed";
}

TEST_F(BatchRun, ReadOnlyFileGetsItsTimesAndStaysReadOnly) {
    const std::string file = tree_.Path("a.txt");
    ASSERT_FALSE(platform::WriteAttributes(file, kAttrReadOnly).Failed());
    for (const bool single : {false, true}) {
        Prepare(file, ItemType::File);
        Job job = SetModified(Mode::FilesOnly, false);
        job.filter = "a.*";
        if (single) {
            job.path = file;
            job.isFolder = false;
        }
        const Outcome outcome = RunBatch(job, {});
        EXPECT_EQ(outcome.mode, single ? Mode::SingleFile : Mode::FilesOnly);
        EXPECT_EQ(outcome.files, 1u);
        EXPECT_EQ(outcome.failed, 0u);
        EXPECT_TRUE(Changed(file, ItemType::File));
        std::uint32_t word = 0;
        ASSERT_FALSE(platform::ReadAttributes(file, word).Failed());
        EXPECT_NE(word & kAttrReadOnly, 0u);
    }
    ASSERT_FALSE(platform::WriteAttributes(file, 0).Failed());
}

TEST_F(BatchRun, SingleFileGetsTimesThenAttributes) {
    Job job = SetModified(Mode::FilesAndFolders, true);
    job.path = tree_.Path("b.dat");
    job.isFolder = false;
    job.attributes = {AttributeAction::Set, false, false, false, true};
    Recorder recorder;
    const Outcome outcome = RunBatch(job, recorder.Callbacks());
    EXPECT_EQ(outcome.ending, Ending::Done);
    ASSERT_EQ(recorder.done.size(), 1u);
    EXPECT_EQ(recorder.done[0].attributes.after & kAttrHidden, kAttrHidden);
    EXPECT_EQ(ChangedItems(), Sorted({tree_.Path("b.dat")}));

    job.path = tree_.Path("missing.dat");
    EXPECT_EQ(RunBatch(job, {}).ending, Ending::FoundNothing);
}

// Where the creation time cannot be set, every item's change fails, is counted
// and reported, and the found-file count stays.
TEST_F(BatchRun, ChangesNotKeptAreCountedAsFailed) {
    const bool settable = test::CreationTimeSettable(tree_.Path("other"));
    Job job = SetModified(Mode::FilesOnly, true);
    job.times = {TimeOperation::Type::Set, TimeKind::Created, TimeKind::Created, false, kNew};
    Recorder recorder;
    const Outcome outcome = RunBatch(job, recorder.Callbacks());
    EXPECT_EQ(outcome.files, 5u);
    EXPECT_EQ(outcome.failed, settable ? 0u : 5u);
    EXPECT_EQ(recorder.failures.size(), settable ? 0u : 5u);
    for (const Failure& failure : recorder.failures)
        EXPECT_EQ(failure.kinds, KindBit(TimeKind::Created));
}

TEST(BatchRunNames, LongPathsAreProcessed) {
    TempFolder tree;
    std::string relative;
    for (int i = 0; i < 3; ++i)
        relative += std::string(100, static_cast<char>('a' + i)) + "/";
    const std::string file = tree.File(relative + std::string(120, 'f') + ".txt");
    ASSERT_GT(file.size(), 400u);
    Job job;
    job.path = tree.Root();
    job.recursive = true;
    job.times = {TimeOperation::Type::Set, TimeKind::Modified, TimeKind::Modified, false, kNew};
    const Outcome outcome = RunBatch(job, {});
    EXPECT_EQ(outcome.files, 1u);
    EXPECT_EQ(outcome.folders, 4u);
    EXPECT_EQ(outcome.failed, 0u);
    EXPECT_EQ(TimesOf(file, ItemType::File).modified, kNew);
}

} // namespace
} // namespace stampwell::engine
