#pragma once

#include "engine/batchrun.h"
#include "engine/journalledrun.h"
#include "engine/modFileTime.h"
#include "platform/attributes.h"
#include "platform/files.h"
#include "testing/tempfolder.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

// The items of a test tree: their values, read and given; a run whose
// callbacks are recorded; and a tree that runs are checked on, case by case.
namespace stampwell::test {

using namespace engine;
using stampwell::testing::TempFolder;

inline constexpr FileTime kOld{1'000'000'000, 123'456'700};
inline constexpr FileTime kNew{1'234'567'890, 987'654'300};

inline ItemType TypeOf(const std::string& path) {
    std::error_code error;
    const auto status = std::filesystem::symlink_status(testing::FromPathText(path), error);
    return std::filesystem::is_directory(status) ? ItemType::Folder : ItemType::File;
}

// An item's times (a link's own); fails the test when they cannot be read.
inline ItemTimes TimesOf(const std::string& path) {
    ItemTimes times;
    const auto error = platform::ReadItemTimes(path, TypeOf(path), times);
    EXPECT_FALSE(error.Failed()) << path << ": " << error.text;
    return times;
}

inline std::uint32_t WordOf(const std::string& path) {
    std::uint32_t word = 0;
    const auto error = platform::ReadAttributes(path, word);
    EXPECT_FALSE(error.Failed()) << path << ": " << error.text;
    return word;
}

// Gives an item (a link itself) its modified and accessed times.
inline void Prepare(const std::string& path, FileTime modified = kOld, FileTime accessed = kOld) {
    const auto error =
        platform::WriteItemTimes(path, TypeOf(path), {std::nullopt, modified, accessed});
    ASSERT_FALSE(error.Failed()) << path << ": " << error.text;
}

// Modified and accessed set apart, with sub-second parts.
inline void SetDistinctTimes(const std::string& path, std::int64_t base) {
    Prepare(path, {base, 123'456'700}, {base + 1000, 765'432'100});
}

inline TimeOperation SetTime(TimeKind kind, FileTime when) {
    return {TimeOperation::Type::Set, kind, kind, false, when};
}

inline TimeOperation Copy(TimeKind target, TimeKind source, bool exchange = false) {
    return {TimeOperation::Type::Copy, target, source, exchange, {}};
}

// A run that sets the modified time of the item and those below it to kNew.
inline Job SetModified(const std::string& path, Mode mode = Mode::FilesAndFolders,
                       bool recursive = true) {
    Job job;
    job.path = path;
    job.isFolder = mode != Mode::SingleFile;
    job.mode = mode;
    job.recursive = recursive;
    job.times = SetTime(TimeKind::Modified, kNew);
    return job;
}

// A run that keeps its journal in `journals`.
inline Outcome RunJournalled(const Job& job, const std::string& journals,
                             const RunCallbacks& callbacks = {}) {
    std::unique_ptr<JournalWriter> journal;
    EXPECT_FALSE(StartJournal(journals, "test", job, journal).Failed());
    platform::SysError error;
    ClearCancel();
    const Outcome outcome = RunWithJournal(job, callbacks, journal.get(), error);
    EXPECT_FALSE(error.Failed()) << error.text;
    return outcome;
}

inline Journal Read(const std::string& file) {
    Journal journal;
    EXPECT_FALSE(ReadJournal(file, journal).Failed()) << file;
    return journal;
}

// The newest run in `journals`, undone.
inline UndoOutcome UndoNewest(const std::string& journals) {
    const Journal journal = Read(ListJournals(journals).front().file);
    std::unique_ptr<JournalWriter> undo;
    EXPECT_FALSE(StartUndoJournal(journals, "test", journal, undo).Failed());
    platform::SysError error;
    ClearCancel();
    return UndoWithJournal(journal, false, {}, undo.get(), error);
}

// When a run is cancelled: as the search lists a sub-folder, or as the first
// file or folder is in hand.
enum class CancelAt { Never, Search, File, Folder };

// A run's callbacks, recorded; those in `also` act after the recording.
struct Recorder {
    std::vector<std::string> inHand;
    std::vector<Failure> failures;
    std::uint64_t announced = 0;
    CancelAt cancel = CancelAt::Never;
    RunCallbacks also;

    // The outcome, as "ending files folders failed announced".
    std::string Run(const Job& job) {
        ClearCancel();
        RunCallbacks callbacks = also;
        callbacks.searching = [&](const std::string& folder) {
            if (cancel == CancelAt::Search && folder != job.path)
                RequestCancel();
            if (also.searching)
                also.searching(folder);
        };
        callbacks.searchDone = [this](std::uint64_t items) {
            announced = items;
            if (also.searchDone)
                also.searchDone(items);
        };
        callbacks.itemInHand = [this](const std::string& path, ItemType type) {
            inHand.push_back(path);
            if (cancel == (type == ItemType::File ? CancelAt::File : CancelAt::Folder))
                RequestCancel();
            if (also.itemInHand)
                also.itemInHand(path, type);
        };
        callbacks.failure = [this](const Failure& failure) { failures.push_back(failure); };
        const Outcome outcome = RunBatch(job, callbacks);
        ClearCancel();
        return EndingWord(outcome.ending) + " " + std::to_string(outcome.files) + " " +
               std::to_string(outcome.folders) + " " + std::to_string(outcome.failed) + " " +
               std::to_string(announced);
    }
};

// A tree whose items all have kOld times: a.txt read-only, h.txt hidden,
// s.txt system, and old.txt a folder.
class RunTree : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* file : {"a.txt", "b.dat", "h.txt", "s.txt", "old.txt/z.txt", "sub/c.txt",
                                 "sub/deep/d.txt", "other/e.txt"})
            tree_.File(file);
        for (const auto& [file, word] :
             {std::pair{"a.txt", kAttrReadOnly}, {"h.txt", kAttrHidden}, {"s.txt", kAttrSystem}})
            ASSERT_FALSE(platform::WriteAttributes(tree_.Path(file), word).Failed());
    }

    // Paths of the tree by their names in it, between blanks.
    std::string InOrder(const std::vector<std::string>& paths) const {
        std::string names;
        for (const std::string& path : paths)
            names += (names.empty() ? "" : " ") +
                     std::filesystem::path(path).lexically_relative(tree_.Root()).generic_string();
        return names;
    }

    std::string Names(std::vector<std::string> paths) const {
        std::sort(paths.begin(), paths.end());
        return InOrder(paths);
    }

    std::vector<std::string> Items() const {
        std::vector<std::string> items{tree_.Root()};
        for (const auto& entry : std::filesystem::recursive_directory_iterator(tree_.Root()))
            items.push_back(testing::PathText(entry.path()));
        return items;
    }

    // The items whose times the run changed; a file's other times are never
    // touched (listing a folder, or following a link, may update its access
    // time).
    std::string Changed() const {
        std::vector<std::string> changed;
        for (const std::string& item : Items()) {
            const ItemTimes times = TimesOf(item);
            const auto status = std::filesystem::symlink_status(testing::FromPathText(item));
            EXPECT_TRUE(!std::filesystem::is_regular_file(status) || times.accessed == kOld)
                << item;
            if (times.modified == kNew)
                changed.push_back(item);
        }
        return Names(changed);
    }

    // A run on `path` in the tree ("" the tree itself; with SingleFile a
    // file) with `filter` (and `attributes`) has `outcome`, changes the
    // `changed` items (nullptr: exactly those in hand), and fails the
    // `failed` ones at `step`, with the system's reason (an item found
    // replaced by the step itself has none).
    struct Case {
        Mode mode;
        bool recursive;
        const char* path;
        const char* filter;
        const char* outcome;
        const char* changed;
        CancelAt cancel = CancelAt::Never;
        bool followLink = true;
        const char* failed = "";
        FailedStep step = FailedStep::ReadTimes;
        AttributeOperation attributes = {};
    };

    Recorder Check(const Case& c, Recorder recorder = {}) {
        SCOPED_TRACE(std::string(c.path) + " " + c.filter);
        for (const std::string& item : Items())
            Prepare(item);
        Job job = SetModified(tree_.Path(c.path), c.mode, c.recursive);
        job.filter = c.filter;
        job.followLink = c.followLink;
        job.attributes = c.attributes;
        recorder.cancel = c.cancel;
        EXPECT_EQ(recorder.Run(job), c.outcome);
        EXPECT_EQ(Changed(), c.changed ? c.changed : Names(recorder.inHand));
        std::vector<std::string> failed;
        for (const Failure& failure : recorder.failures) {
            failed.push_back(failure.item);
            EXPECT_EQ(failure.step, c.step) << failure.item;
            EXPECT_TRUE(failure.reason.Failed() || c.step == FailedStep::Replaced) << failure.item;
        }
        EXPECT_EQ(Names(failed), c.failed);
        return recorder;
    }

    TempFolder tree_;
};

} // namespace stampwell::test
