#include "engine/testtree.h"

#include "platform/files.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <gtest/gtest.h>

namespace stampwell::test {

namespace fs = std::filesystem;

namespace {

std::string Native(std::string text) {
    for (char& c : text)
        if (c == '/')
            c = platform::kPathSeparator;
    return text;
}

// Makes every folder writable again, so that removing the tree cannot fail
// on what a test left read-only.
void MakeRemovable(const fs::path& root) {
    std::error_code error;
    fs::permissions(root, fs::perms::owner_all, fs::perm_options::add, error);
    for (auto it = fs::recursive_directory_iterator(root, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (!it->is_symlink())
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
    }
}

} // namespace

TestTree::TestTree() : TestTree(fs::temp_directory_path()) {}

TestTree::TestTree(const fs::path& base) {
    static std::atomic<int> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const fs::path root =
        base / ("stampwell-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    fs::create_directories(root);
    root_ = root.string();
    while (root_.size() > 1 && platform::IsPathSeparator(root_.back()))
        root_.pop_back();
}

TestTree::~TestTree() {
    std::error_code error;
    MakeRemovable(root_);
    fs::remove_all(root_, error);
}

std::string TestTree::Path(const std::string& relative) const {
    return root_ + platform::kPathSeparator + Native(relative);
}

std::string TestTree::File(const std::string& relative, const std::string& content) const {
    const std::string path = Path(relative);
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

std::string TestTree::Folder(const std::string& relative) const {
    const std::string path = Path(relative);
    fs::create_directories(path);
    return path;
}

engine::ItemTimes TimesOf(const std::string& path, engine::ItemType type) {
    engine::ItemTimes times;
    const auto error = platform::ReadItemTimes(path, type, times);
    EXPECT_FALSE(error.Failed()) << path << ": " << error.text;
    return times;
}

void SetDistinctTimes(const std::string& path, engine::ItemType type, std::int64_t base) {
    engine::TimesUpdate update;
    update.modified = engine::FileTime{base, 123'456'700};
    update.accessed = engine::FileTime{base + 1000, 765'432'100};
    const auto error = platform::WriteItemTimes(path, type, update);
    ASSERT_FALSE(error.Failed()) << path << ": " << error.text;
}

bool CreationTimeSettable(const std::string& folder) {
    const std::string probe = folder + platform::kPathSeparator + "creation-probe";
    std::ofstream(probe) << "x";
    engine::TimesUpdate update;
    update.created = engine::FileTime{1'000'000'000, 500'000'000};
    const bool written = !platform::WriteItemTimes(probe, engine::ItemType::File, update).Failed();
    engine::ItemTimes times;
    const bool kept = written &&
                      !platform::ReadItemTimes(probe, engine::ItemType::File, times).Failed() &&
                      times.created == update.created;
    std::error_code error;
    fs::remove(probe, error);
    return kept;
}

} // namespace stampwell::test
