#include "platform/files.h"
#include "platform/folders.h"

#include <gtest/gtest.h>

using namespace stampwell::platform;

TEST(Folders, ProgramFolderHoldsTheRunningProgram) {
    const std::string folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_FALSE(IsPathSeparator(folder.back()));
    EXPECT_TRUE(IsFolder(folder));
    EXPECT_TRUE(PathExists(folder + kPathSeparator + "platform_tests") ||
                PathExists(folder + kPathSeparator + "platform_tests.exe"));
}
