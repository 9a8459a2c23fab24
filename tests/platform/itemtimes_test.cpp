#include "platform/itemtimes.h"
#include "testing/links.h"
#include "testing/tempfolder.h"
#include "testing/wine.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace stampwell::platform;
using stampwell::testing::FromPathText;
using stampwell::testing::MakeSymlink;
using stampwell::testing::TempFolder;
using stampwell::testing::UnderWine;

namespace {

// Fractions in whole 100 ns ticks: what every supported file system keeps.
constexpr FileTime kSpring{1'300'000'000, 123'456'700};
constexpr FileTime kAutumn{1'000'000'000, 987'654'300};
constexpr FileTime kWinter{1'600'000'000, 500'000'100};

ItemTimes Read(const std::string& path, ItemType type) {
    ItemTimes times;
    const SysError error = ReadItemTimes(path, type, times);
    EXPECT_FALSE(error.Failed()) << path << ": " << error.text;
    return times;
}

void Write(const std::string& path, ItemType type, const TimesUpdate& update) {
    const SysError error = WriteItemTimes(path, type, update);
    ASSERT_FALSE(error.Failed()) << path << ": " << error.text;
}

} // namespace

TEST(ItemTimes, WrittenTimesReadBackExactly) {
    TempFolder temp;
    const auto file = temp.File("a.txt", "x");
    Write(file, ItemType::File, {std::nullopt, kSpring, kAutumn});
    const auto times = Read(file, ItemType::File);
    EXPECT_EQ(times.modified, kSpring);
    EXPECT_EQ(times.accessed, kAutumn);
}

TEST(ItemTimes, AnUntouchedKindKeepsItsExactValue) {
    TempFolder temp;
    const auto file = temp.File("a.txt", "x");
    Write(file, ItemType::File, {std::nullopt, kSpring, kAutumn});

    Write(file, ItemType::File, {std::nullopt, kWinter, std::nullopt});
    auto times = Read(file, ItemType::File);
    EXPECT_EQ(times.modified, kWinter);
    EXPECT_EQ(times.accessed, kAutumn);

    Write(file, ItemType::File, {std::nullopt, std::nullopt, kSpring});
    times = Read(file, ItemType::File);
    EXPECT_EQ(times.modified, kWinter);
    EXPECT_EQ(times.accessed, kSpring);
}

TEST(ItemTimes, AReadOnlyFileGetsNewTimesAndStaysReadOnly) {
    TempFolder temp;
    const auto file = temp.File("locked.txt", "x");
    namespace fs = std::filesystem;
    fs::permissions(FromPathText(file),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);

    Write(file, ItemType::File, {std::nullopt, kSpring, kAutumn});
    const auto times = Read(file, ItemType::File);
    EXPECT_EQ(times.modified, kSpring);
    EXPECT_EQ(times.accessed, kAutumn);
    EXPECT_EQ(fs::status(FromPathText(file)).permissions() & fs::perms::owner_write,
              fs::perms::none);
}

TEST(ItemTimes, AFolderKeepsItsOwnTimes) {
    TempFolder temp;
    const auto folder = temp.Folder("sub");
    Write(folder, ItemType::Folder, {std::nullopt, kWinter, kSpring});
    const auto times = Read(folder, ItemType::Folder);
    EXPECT_EQ(times.modified, kWinter);
    EXPECT_EQ(times.accessed, kSpring);
}

TEST(ItemTimes, ALinkGetsNewTimesAndItsTargetKeepsItsOwn) {
    TempFolder temp;
    const auto target = temp.File("target.txt", "x");
    Write(target, ItemType::File, {std::nullopt, kAutumn, kAutumn});
    const auto link = temp.Path("link.txt");
    const std::error_code error =
        MakeSymlink(FromPathText(target), FromPathText(link), /*folder=*/false);
    if (UnderWine()) {
        // Wine keeps no symbolic links: there is no link item to change.
        EXPECT_TRUE(error);
        return;
    }
    ASSERT_FALSE(error) << "cannot make a symbolic link here: " << error.message();

    Write(link, ItemType::File, {std::nullopt, kSpring, kWinter});
    const auto linkTimes = Read(link, ItemType::File);
    EXPECT_EQ(linkTimes.modified, kSpring);
    EXPECT_EQ(linkTimes.accessed, kWinter);
    const auto targetTimes = Read(target, ItemType::File);
    EXPECT_EQ(targetTimes.modified, kAutumn);
    EXPECT_EQ(targetTimes.accessed, kAutumn);
}

TEST(ItemTimes, AMissingItemFailsWithNotFound) {
    TempFolder temp;
    const auto missing = temp.Path("gone.txt");
    ItemTimes times;
    times.modified = kSpring;
    const SysError readError = ReadItemTimes(missing, ItemType::File, times);
    EXPECT_EQ(readError.code, 2); // ENOENT, ERROR_FILE_NOT_FOUND
    EXPECT_FALSE(readError.text.empty());
    EXPECT_EQ(times.modified, kSpring) << "a failed read leaves the times as they were";
    EXPECT_EQ(WriteItemTimes(missing, ItemType::File, {std::nullopt, kSpring, std::nullopt}).code,
              2);
}
