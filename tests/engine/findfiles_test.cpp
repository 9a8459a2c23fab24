#include "engine/modFindFiles.h"
#include "engine/runflags.h"
#include "engine/times.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace stampwell::engine {
namespace {

using stampwell::testing::TempFolder;

// The names the listing delivers, in its order.
std::vector<std::string> Listed(const std::string& folder, const std::string& pattern,
                                bool folders) {
    std::vector<std::string> names;
    platform::FolderListing listing(folder, pattern);
    platform::ListedEntry entry;
    while (listing.Next(entry))
        if (entry.isFolder == folders)
            names.push_back(entry.name);
    return names;
}

std::vector<std::string> Paths(const FileList& files) {
    std::vector<std::string> paths;
    for (const FileRecord& record : files)
        paths.push_back(record.FullPath());
    return paths;
}

class FindFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearCancel();
        tree_.File("a.txt");
        tree_.File("b.txt");
        tree_.File("c.dat");
        tree_.File("notes/x.txt");
        tree_.File("notes/y.dat");
        tree_.File("old.txt/z.txt");
        tree_.File("old.txt/deeper/w.txt");
        tree_.Folder("zeta");
    }
    void TearDown() override { ClearCancel(); }

    TempFolder tree_;
};

TEST_F(FindFilesTest, PatternSearchTakesHiddenSubfoldersInASecondPass) {
    FileList files;
    FolderList folders;
    FindFiles(tree_.Root(), true, "*.txt", &files, folders);

    std::vector<std::string> expectedFiles;
    for (const std::string& name : Listed(tree_.Root(), "*.txt", false))
        expectedFiles.push_back(tree_.Path(name));
    expectedFiles.push_back(tree_.Path("old.txt/z.txt"));
    expectedFiles.push_back(tree_.Path("old.txt/deeper/w.txt"));
    // notes and zeta follow old.txt in the second pass's order; only notes
    // holds a matching file.
    expectedFiles.push_back(tree_.Path("notes/x.txt"));
    EXPECT_EQ(Paths(files), expectedFiles);

    // old.txt matches the pattern: first pass, taken once.
    std::vector<std::string> expectedFolders{tree_.Path("old.txt")};
    for (const std::string& name : Listed(tree_.Root(), "*.*", true))
        if (name != "old.txt")
            expectedFolders.push_back(tree_.Path(name));
    expectedFolders.push_back(tree_.Path("old.txt/deeper"));
    EXPECT_EQ(folders, expectedFolders);
}

TEST_F(FindFilesTest, EveryNamePatternTakesEveryFileInOnePass) {
    FileList files;
    FolderList folders;
    FindFiles(tree_.Root(), true, "*.*", &files, folders);
    EXPECT_EQ(files.size(), 7u);
    EXPECT_EQ(folders.size(), 4u);
}

TEST_F(FindFilesTest, WithoutRecursionOnlyTheFolderOwnFilesAndNoFolders) {
    FileList files;
    FolderList folders;
    FindFiles(tree_.Root(), false, "*.txt", &files, folders);
    std::vector<std::string> names;
    for (const FileRecord& record : files)
        names.push_back(record.Name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_TRUE(folders.empty());
}

TEST_F(FindFilesTest, TrailingSeparatorIsIgnoredAndRecordsShareOneFolderPath) {
    FileList files;
    FolderList folders;
    FindFiles(tree_.Path("notes/"), false, "*.*", &files, folders);
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(*files[0].Path, tree_.Path("notes/"));
    EXPECT_EQ(files[0].Path, files[1].Path) << "one shared folder path";
    EXPECT_EQ(files[0].ShortName(), files[0].Name);
}

TEST_F(FindFilesTest, CancelBeforeTheSearchFindsNothing) {
    RequestCancel();
    FileList files;
    FolderList folders;
    FindFiles(tree_.Root(), true, "*.*", &files, folders);
    EXPECT_TRUE(files.empty());
    EXPECT_TRUE(folders.empty());
}

TEST_F(FindFilesTest, CancelDuringTheSearchKeepsWhatWasFound) {
    FileList all;
    FolderList allFolders;
    FindFiles(tree_.Root(), true, "*.*", &all, allFolders);

    FileList files;
    FolderList folders;
    SearchCallbacks callbacks;
    int listed = 0;
    callbacks.listing = [&](const std::string&) {
        if (++listed == 2)
            RequestCancel();
    };
    FindFiles(tree_.Root(), true, "*.*", &files, folders, callbacks);
    EXPECT_EQ(listed, 2);
    // What was found is the start of what a whole search finds.
    ASSERT_LT(files.size(), all.size());
    for (std::size_t i = 0; i < files.size(); ++i)
        EXPECT_EQ(files[i].FullPath(), all[i].FullPath());
    EXPECT_EQ(folders, FolderList(allFolders.begin(), allFolders.begin() + 3));
}

TEST_F(FindFilesTest, FolderThatCannotBeListedIsReportedAndTheSearchGoesOn) {
    FileList files;
    FolderList folders;
    std::vector<Failure> failures;
    SearchCallbacks callbacks;
    callbacks.failure = [&](const Failure& failure) { failures.push_back(failure); };
    FindFiles(tree_.Path("missing"), true, "*.txt", &files, folders, callbacks);
    EXPECT_TRUE(files.empty());
    ASSERT_EQ(failures.size(), 1u) << "reported once, not once per pass";
    EXPECT_EQ(failures[0].step, FailedStep::ListFolder);
    EXPECT_EQ(failures[0].item, tree_.Path("missing"));
    EXPECT_TRUE(failures[0].reason.Failed());
}

} // namespace
} // namespace stampwell::engine
