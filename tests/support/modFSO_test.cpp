#include "platform/files.h"
#include "support/modFSO.h"
#include "testing/tempfolder.h"

#include <gtest/gtest.h>

using namespace stampwell::support;
using stampwell::testing::TempFolder;
using stampwell::testing::WriteBytes;

namespace {

const std::string S(1, stampwell::platform::kPathSeparator);

// The whole path is made; blanks around it and a final separator do not count.
TEST(ModFSO, CreateFolderMakesTheWholePath) {
    TempFolder temp;
    EXPECT_EQ(CreateFolder(" " + temp.Path("A/B") + S + S + " "), "");
    EXPECT_TRUE(FolderExists(temp.Path("A/B")));
    EXPECT_EQ(CreateFolder(temp.Path("A/B")), "") << "existing path";
    WriteBytes(temp.Path("file"), "x");
    const std::string target = temp.Path("file/sub") + " ";
    const std::string text = CreateFolder(target);
    EXPECT_TRUE(text.starts_with("CreateFolder Error(") && text.ends_with(" NewPath: " + target))
        << text << ": the path as given, untrimmed";
}

// Case is kept.
TEST(ModFSO, GetExtensionNameComesFromTheExistingFilesOwnName) {
    TempFolder temp;
    for (const auto& [name, extension] : {std::pair{"archive.tar.gz", "gz"},
                                          {"README", ""},
                                          {"Francais.LNG", "LNG"},
                                          {"dot.d/x", ""}})
        EXPECT_EQ(GetExtensionName(temp.File(name)), extension) << name;
    EXPECT_EQ(GetExtensionName(temp.Path("missing.txt")), "");
}

// Separators at the seams: S is the native one.
TEST(ModFSO, PathPartsAndSeams) {
    const std::string data = S + "Data";
    for (const auto& [name, expected] : {std::pair{data + S + "file.txt", "file.txt"},
                                         std::pair{std::string("file.txt"), "file.txt"},
                                         std::pair{data + S, ""}, std::pair{std::string(), ""}})
        EXPECT_EQ(GetFileName(name), expected) << name;
    EXPECT_EQ(BuildPath(data, "sub"), data + S + "sub");
    EXPECT_EQ(BuildPath(data + S, "sub"), data + S + "sub");
    EXPECT_EQ(BuildPath(data, S + "sub"), data + S + "sub");
    EXPECT_EQ(BuildPath(data + S, S + S + "sub"), data + S + S + "sub") << "only one is stripped";
    EXPECT_EQ(BuildPath("", "x"), S + "x");
    EXPECT_EQ(AddBackslash(""), S);
    EXPECT_EQ(StripLeadingBackslash(""), "");
}

} // namespace
