#include "platform/folders.h"
#include "support/clsSysInfo.h"
#include "support/modFSO.h"

#include <gtest/gtest.h>

using namespace stampwell::support;

TEST(ClsSysInfo, AppDataIsTheUsersFolderWithoutTrailingSeparator) {
    const clsSysInfo info;
    const std::string folder = info.GetSpecialFolder(kCsidlAppData);
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder, stampwell::platform::AppDataFolder());
    EXPECT_NE(folder.back(), '/');
    EXPECT_NE(folder.back(), '\\');
}

TEST(ClsSysInfo, UnknownIdentifiersGiveNothing) {
    const clsSysInfo info;
    for (const int id : {-1, 0, 5, 27, 9999})
        EXPECT_EQ(info.GetSpecialFolder(id), "") << id;
}
