#include "engine/times.h"

#include "platform/files.h"

#include <fstream>
#include <gtest/gtest.h>

namespace stampwell::test {

namespace fs = std::filesystem;

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
