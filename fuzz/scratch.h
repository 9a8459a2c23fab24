#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

// A folder of the fuzzer's own under the system's temporary folder, for the
// readers that take a file; removed when the fuzzer ends.
namespace stampwell::fuzz {

class ScratchFolder {
public:
    ScratchFolder() {
        std::random_device random;
        const auto base = std::filesystem::temp_directory_path();
        do
            root_ = base / ("stampwell-fuzz-" + std::to_string(random()));
        while (!std::filesystem::create_directory(root_));
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return root_; }

private:
    std::filesystem::path root_;
};

inline void WriteFile(const std::filesystem::path& path, const std::uint8_t* data,
                      std::size_t size) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// A failed expectation ends the run as a crash, so libFuzzer keeps the input.
inline void Expect(bool holds) {
    if (!holds)
        std::abort();
}

} // namespace stampwell::fuzz
