#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

namespace stampwell::testing {

// The program's path text (UTF-8, any bytes on POSIX) of a path and back.
inline std::string PathText(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

inline std::filesystem::path FromPathText(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

// A fresh folder under the system's temporary folder; removed, with
// everything in it, when the test ends.
class TempFolder {
public:
    TempFolder() {
        static std::atomic<unsigned> serial{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        const auto base = std::filesystem::temp_directory_path();
        for (;;) {
            root_ =
                base / ("stampwell-test-" + std::to_string(stamp) + "-" + std::to_string(serial++));
            if (std::filesystem::create_directory(root_))
                break;
        }
    }

    ~TempFolder() {
        std::error_code ignored;
        // Read-only items would refuse removal on Windows.
        for (auto it = std::filesystem::recursive_directory_iterator(root_, ignored);
             it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
            if (!it->is_symlink(ignored))
                std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                             std::filesystem::perm_options::add, ignored);
        }
        std::filesystem::remove_all(root_, ignored);
    }

    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Root() const { return root_; }

    // The path text of a name inside the folder (the folder itself for "").
    std::string Path(std::string_view relative = {}) const {
        return relative.empty() ? PathText(root_) : PathText(root_ / FromPathText(relative));
    }

    std::string MakeFile(std::string_view relative, std::string_view content = {}) const {
        std::ofstream out(root_ / FromPathText(relative), std::ios::binary);
        out << content;
        return Path(relative);
    }

    std::string MakeFolder(std::string_view relative) const {
        std::filesystem::create_directories(root_ / FromPathText(relative));
        return Path(relative);
    }

private:
    std::filesystem::path root_;
};

} // namespace stampwell::testing
