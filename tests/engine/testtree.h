#pragma once

#include "engine/modFileTime.h"

#include <filesystem>
#include <string>

namespace stampwell::test {

// A folder of its own under the temporary directory, removed with everything
// in it when the test ends.
class TestTree {
public:
    TestTree();
    // Under another folder than the temporary directory.
    explicit TestTree(const std::filesystem::path& base);
    ~TestTree();
    TestTree(const TestTree&) = delete;
    TestTree& operator=(const TestTree&) = delete;

    // The folder's path, as the program writes paths (no trailing separator).
    const std::string& Root() const { return root_; }

    // Root() + separator + relative ('/' in `relative` becomes the separator).
    std::string Path(const std::string& relative) const;

    // Creates a file (and the folders above it) with some content.
    std::string File(const std::string& relative, const std::string& content = "x") const;
    std::string Folder(const std::string& relative) const;

private:
    std::string root_;
};

// Reads an item's times; fails the test when they cannot be read.
engine::ItemTimes TimesOf(const std::string& path, engine::ItemType type);

// Sets modified and accessed to distinct values with sub-second parts
// (base + 0.123456700 s, base + 1000 s + 0.765432100 s).
void SetDistinctTimes(const std::string& path, engine::ItemType type, std::int64_t base);

// Whether this file system keeps a creation time that a program sets (NTFS on
// Windows does; Linux file systems other than NTFS, and Wine, do not).
bool CreationTimeSettable(const std::string& folder);

} // namespace stampwell::test
