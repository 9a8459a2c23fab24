#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
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

// A fresh folder under the system's temporary folder (or `base`); removed,
// with everything in it, when the test ends.
class TempFolder {
public:
    explicit TempFolder(
        const std::filesystem::path& base = std::filesystem::temp_directory_path()) {
        static std::atomic<unsigned> serial{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        for (;;) {
            root_ =
                base / ("stampwell-test-" + std::to_string(stamp) + "-" + std::to_string(serial++));
            if (std::filesystem::create_directories(root_))
                break;
        }
    }

    ~TempFolder() {
        std::error_code ignored;
        // Folders a test made read-only must become writable again to be
        // removed, and read-only files too on Windows.
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

    // The folder's path text, without a trailing separator.
    std::string Root() const { return PathText(root_); }

    // The path text of a name inside the folder ('/' in it becomes the native
    // separator, any other byte stays as it is); the folder itself for "".
    std::string Path(std::string_view relative = {}) const {
        constexpr auto kSeparator = static_cast<char>(std::filesystem::path::preferred_separator);
        std::string path = Root();
        if (!relative.empty())
            path += kSeparator;
        for (const char c : relative)
            path += c == '/' ? kSeparator : c;
        return path;
    }

    // Creates a file, and the folders above it, with the given content.
    std::string File(std::string_view relative, std::string_view content = "x") const {
        const std::string path = Path(relative);
        std::filesystem::create_directories(FromPathText(path).parent_path());
        std::ofstream(FromPathText(path), std::ios::binary) << content;
        return path;
    }

    std::string Folder(std::string_view relative) const {
        const std::string path = Path(relative);
        std::filesystem::create_directories(FromPathText(path));
        return path;
    }

private:
    std::filesystem::path root_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(FromPathText(path), std::ios::binary | std::ios::trunc) << bytes;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(FromPathText(path), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The names in a folder, for checks that nothing was left behind.
inline std::size_t EntryCount(const std::string& folder) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator(FromPathText(folder)))
        ++count;
    return count;
}

} // namespace stampwell::testing
