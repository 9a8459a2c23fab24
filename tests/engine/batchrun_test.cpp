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
    const Recorder recorder = Check({FilesAndFolders, true, "", "*.txt", "done 7 5 0 12", nullptr});
    // A folder's matching files, then its sub-folders (those whose names
    // match first), each with everything below it.
    EXPECT_EQ(InOrder(recorder.inHand), "a.txt h.txt s.txt old.txt/z.txt other/e.txt sub/c.txt "
                                        "sub/deep/d.txt old.txt other sub sub/deep .");
    EXPECT_NE(WordOf(tree_.Path("a.txt")) & kAttrReadOnly, 0u) << "still read-only";
    for (const std::string& chosen : {tree_.Root(), tree_.Root() + platform::kPathSeparator}) {
        FileList found;
        FolderList folders;
        FindFiles(chosen, true, "*.txt", &found, folders);
        std::vector<std::string> paths;
        for (const FileRecord& record : found)
            paths.push_back(record.FullPath());
        EXPECT_EQ(InOrder(paths) + " " + InOrder(folders) + " .", InOrder(recorder.inHand))
            << chosen;
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
        {FilesAndFolders, true, "", "*", "bad-filter 0 0 0 0", ""},
        {FilesAndFolders, true, "", "*.none", "found-nothing 0 0 0 0", ""},
        {FilesAndFolders, true, "gone", "*.*", "found-nothing 0 0 1 0", "", CancelAt::Never, true,
         "gone", FailedStep::ListFolder},
        {FilesOnly, true, "", "*.*", "done 8 0 0 8",
         "a.txt b.dat h.txt old.txt/z.txt other/e.txt s.txt sub/c.txt sub/deep/d.txt"},
        {FoldersOnly, true, "", "*.dat", "done 0 5 0 5", ". old.txt other sub sub/deep"},
        {FoldersOnly, false, "", "*.*", "done 0 1 0 0", "."},
        {FilesAndFolders, false, "", "*.txt", "done 1 1 0 0", ". a.txt"},
        {SingleFile, false, "gone.txt", "*.*", "found-nothing 0 0 0 0", ""},
        {FilesAndFolders, true, "", "*.*", "cancelled 0 0 0 0", "", CancelAt::Search},
        {FilesAndFolders, true, "", "*.*", "cancelled 8 0 0 13", nullptr, CancelAt::File},
        {FilesAndFolders, true, "", "*.*", "done 8 5 0 13", nullptr, CancelAt::Folder},
        {FilesAndFolders, false, "", "*.*", "cancelled 1 1 0 0", ". a.txt", CancelAt::File},
    };
    for (const Case& c : cases)
        Check(c);
}

// A file found by the search and gone before the run reaches it fails; a
// folder gone before the folder phase reaches it is skipped, not counted.
TEST_F(BatchRun, VanishedItemsFailOrAreSkipped) {
    const std::string victim = tree_.File("victim.txt");
    Recorder recorder;
    recorder.also.searchDone = [&](std::uint64_t) { std::filesystem::remove(victim); };
    recorder.also.itemInHand = [&](const std::string&, ItemType type) {
        if (type == ItemType::Folder)
            std::filesystem::remove_all(tree_.Path("sub/deep"));
    };
    Check({Mode::FilesAndFolders, true, "", "*.*", "done 9 4 1 14",
           ". a.txt b.dat h.txt old.txt old.txt/z.txt other other/e.txt s.txt sub sub/c.txt",
           CancelAt::Never, true, "victim.txt"},
          recorder);
}

} // namespace
} // namespace stampwell::engine
