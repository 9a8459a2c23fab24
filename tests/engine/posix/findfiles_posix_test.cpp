#include "engine/modFindFiles.h"
#include "engine/times.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace stampwell::engine {
namespace {

using stampwell::testing::TempFolder;

// Memory-backed, where tens of thousands of folders come and go quickly.
std::filesystem::path FastBase() {
    std::error_code error;
    return std::filesystem::is_directory("/dev/shm", error)
               ? "/dev/shm"
               : std::filesystem::temp_directory_path();
}

// A folder with more sub-folders than a 16-bit index can count: all searched.
TEST(FindFilesWide, EverySubfolderIsSearched) {
    TempFolder tree(FastBase());
    constexpr int kFolders = 33'000;
    for (int i = 0; i < kFolders; ++i)
        tree.Folder("f" + std::to_string(i));
    tree.File("f32999/last.txt");
    FileList files;
    FolderList folders;
    FindFiles(tree.Root(), true, "*.txt", &files, folders);
    EXPECT_EQ(folders.size(), static_cast<std::size_t>(kFolders));
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].Name, "last.txt");
}

} // namespace
} // namespace stampwell::engine
