#include "platform/files.h"
#include "support/modFSO.h"
#include "testing/tempfolder.h"

#include <gtest/gtest.h>

using namespace stampwell::support;
using stampwell::testing::TempFolder;

namespace {

const std::string S(1, stampwell::platform::kPathSeparator);

// The whole path is made; blanks around it and a final separator do not count.
TEST(ModFSO, CreateFolderMakesTheWholePath) {
    TempFolder temp;
    EXPECT_EQ(CreateFolder(" " + temp.Path("A/B") + S + S + " "), "");
    EXPECT_TRUE(FolderExists(temp.Path("A/B")));
}

TEST(ModFSO, GetExtensionNameComesFromTheExistingFilesOwnName) {
    TempFolder temp;
    for (const auto& [name, extension] :
         {std::pair{"archive.tar.gz", "gz"}, {"README", ""}, {"dot.d/x", ""}})
        EXPECT_EQ(GetExtensionName(temp.File(name)), extension) << name;
    EXPECT_EQ(GetExtensionName(temp.Path("missing.txt")), "");
}

// Separators at the seams: S is the native one.
TEST(ModFSO, PathPartsAndSeams) {
    const std::string data = S + "Data";
    EXPECT_EQ(GetFileName(data + S + "file.txt"), "file.txt");
    EXPECT_EQ(GetFileName(data + S), "");
    EXPECT_EQ(BuildPath(data, "sub"), data + S + "sub");
    EXPECT_EQ(BuildPath(data + S, S + S + "sub"), data + S + S + "sub") << "only one is stripped";
    EXPECT_EQ(BuildPath("", "x"), S + "x");
}

} // namespace
