#include "support/modFSO.h"
#include "testing/tempfolder.h"

#include <gtest/gtest.h>

using namespace stampwell::support;
using stampwell::testing::TempFolder;

// A backslash or a colon is part of a name here; "/" is a folder that exists.
TEST(ModFSOPosix, NamesAreAnyBytesButTheSlash) {
    EXPECT_EQ(GetFileName("/dir/a\\b.txt"), "a\\b.txt");
    TempFolder temp;
    EXPECT_EQ(GetExtensionName(temp.File("a.b:c")), "") << "a colon ends the extension";
    EXPECT_EQ(CreateFolder("/"), "");
}
