#include "engine/items.h"
#include "engine/modFindFiles.h"

namespace stampwell::engine {
namespace {

using namespace test;
using enum Mode;
using BatchRun = RunTree;

// The files in search order (two threads work on them), then the folders as
// found, the chosen folder last; FindFiles finds the same, whether the
// chosen folder ends in a separator or not.
TEST_F(BatchRun, FilesThenFoldersInSearchOrderWithTheChosenFolderLast) {
    // A folder's matching files, then its sub-folders (those whose names
    // match first), each with everything below it.
    const auto under = [&](std::initializer_list<const char*> names) {
        std::vector<std::string> paths;
        for (const char* name : names)
            paths.push_back(tree_.Path(name));
        return paths;
    };
    const std::vector<std::string> files = under(
        {"a.txt", "h.txt", "s.txt", "old.txt/z.txt", "other/e.txt", "sub/c.txt", "sub/deep/d.txt"});
    const std::vector<std::string> folders = under({"old.txt", "other", "sub", "sub/deep"});
    Job job = SetModified(tree_.Root());
    job.filter = "*.txt";
    Recorder recorder;
    recorder.Run(job);
    std::vector<std::string> expected = files;
    expected.insert(expected.end(), folders.begin(), folders.end());
    expected.push_back(tree_.Root());
    EXPECT_EQ(recorder.inHand, expected);
    ASSERT_EQ(recorder.done.size(), expected.size());
    EXPECT_EQ(KindsOf(recorder.done.front().times.update), KindBit(TimeKind::Modified));
    EXPECT_NE(WordOf(tree_.Path("a.txt")) & kAttrReadOnly, 0u) << "read-only, and changed";

    for (const std::string& chosen : {tree_.Root(), tree_.Root() + platform::kPathSeparator}) {
        FileList found;
        FolderList foundFolders;
        FindFiles(chosen, true, "*.txt", &found, foundFolders);
        std::vector<std::string> paths;
        for (const FileRecord& record : found)
            paths.push_back(record.FullPath());
        EXPECT_EQ(paths, files) << chosen;
        EXPECT_EQ(foundFolders, folders) << chosen;
        ASSERT_GE(found.size(), 2u);
        EXPECT_EQ(found[0].Path, found[1].Path) << "one shared folder path";
    }
}

// The filter limits the files, never the folders; a run that finds no file
// touches no folder either; without sub-folders hidden and system files are
// left out; a chosen folder that cannot be opened fails. A cancel stops the
// search and the files: exactly the items in hand are changed, the folder
// phase once begun and the chosen folder of a run without sub-folders all
// the same.
TEST_F(BatchRun, ModeFilterRecursionAndCancelChooseTheItems) {
    const Case cases[] = {
        {FilesAndFolders, true, "", "*.txt", "done 7 5 0 12",
         ". a.txt h.txt old.txt old.txt/z.txt other other/e.txt s.txt sub sub/c.txt sub/deep "
         "sub/deep/d.txt"},
        {FilesAndFolders, true, "", "*", "bad-filter 0 0 0 0", ""},
        {FilesAndFolders, true, "", "*.none", "found-nothing 0 0 0 0", ""},
        {FilesAndFolders, true, "gone", "*.*", "found-nothing 0 0 1 0", "", CancelAt::Never, true,
         "gone", FailedStep::ListFolder},
        {FilesOnly, true, "", "*.*", "done 8 0 0 8",
         "a.txt b.dat h.txt old.txt/z.txt other/e.txt s.txt sub/c.txt sub/deep/d.txt"},
        {FoldersOnly, true, "", "*.dat", "done 0 5 0 5", ". old.txt other sub sub/deep"},
        {FoldersOnly, true, "sub/deep", "*.*", "done 0 1 0 1", "sub/deep"},
        {FoldersOnly, false, "", "*.*", "done 0 1 0 0", "."},
        {FilesAndFolders, false, "", "*.txt", "done 1 1 0 0", ". a.txt"},
        {FilesOnly, false, "gone", "*.*", "found-nothing 0 0 1 0", "", CancelAt::Never, true,
         "gone", FailedStep::ListFolder},
        {SingleFile, false, "a.txt", "a.*", "done 1 0 0 0", "a.txt"},
        {SingleFile, false, "gone.txt", "*.*", "found-nothing 0 0 0 0", ""},
        {FilesAndFolders, true, "", "*.*", "cancelled 0 0 0 0", "", CancelAt::Search},
        {FilesAndFolders, true, "", "*.*", "cancelled 8 0 0 13", nullptr, CancelAt::File},
        {FilesAndFolders, true, "", "*.*", "done 8 5 0 13", nullptr, CancelAt::Folder},
        {FilesAndFolders, false, "", "*.*", "cancelled 1 1 0 0", ". a.txt", CancelAt::File},
    };
    for (const Case& c : cases)
        Check(c);
}

// A file found when the chosen folder is listed and gone before the run
// reaches it fails; a folder gone before the folder phase reaches it is
// skipped, not counted.
TEST_F(BatchRun, VanishedItemsFailOrAreSkipped) {
    const std::string victim = tree_.File("victim.txt");
    Recorder recorder;
    int listed = 0;
    recorder.also.searching = [&](const std::string&) {
        if (++listed == 2)
            std::filesystem::remove(victim);
    };
    recorder.also.itemInHand = [&](const std::string&, ItemType type) {
        if (type == ItemType::Folder)
            std::filesystem::remove_all(tree_.Path("sub/deep"));
    };
    Check({Mode::FilesAndFolders, true, "", "*.*", "done 9 4 1 14",
           ". a.txt b.dat h.txt old.txt old.txt/z.txt other other/e.txt s.txt sub sub/c.txt",
           CancelAt::Never, true, "victim.txt"},
          recorder);
}

// A single read-only file gets its times before the attributes take its
// write access away (Windows).
TEST_F(BatchRun, SingleFileGetsItsTimesAndAttributes) {
    PrepareAll();
    Job job = SetModified(tree_.Path("b.dat"), Mode::SingleFile);
    job.attributes = {AttributeAction::Set, false, true, false, true};
    EXPECT_EQ(Recorder().Run(job), "done 1 0 0 0");
    EXPECT_EQ(Changed(), "b.dat");
    EXPECT_EQ(WordOf(tree_.Path("b.dat")) & (kAttrReadOnly | kAttrHidden),
              kAttrReadOnly | kAttrHidden);
}

} // namespace
} // namespace stampwell::engine
