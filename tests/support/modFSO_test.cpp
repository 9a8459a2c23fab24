#include "platform/files.h"
#include "support/modFSO.h"
#include "testing/tempfolder.h"

#include <gtest/gtest.h>

using namespace stampwell::support;
using stampwell::platform::kPathSeparator;
using stampwell::testing::TempFolder;
using stampwell::testing::WriteBytes;

namespace {

// A path built from parts with the native separator.
std::string Native(std::initializer_list<std::string> parts) {
    std::string path;
    for (const auto& part : parts)
        path += (path.empty() ? "" : std::string(1, kPathSeparator)) + part;
    return path;
}

const std::string S(1, kPathSeparator);

} // namespace

TEST(ModFSO, ExistenceOfFilesAndFolders) {
    TempFolder temp;
    WriteBytes(temp.Path("file.txt"), "x");
    EXPECT_TRUE(FileExists(temp.Path("file.txt")));
    EXPECT_TRUE(FileExists(temp.Root())) << "a folder exists too";
    EXPECT_TRUE(FolderExists(temp.Root()));
    EXPECT_FALSE(FolderExists(temp.Path("file.txt")));
    EXPECT_FALSE(FileExists(temp.Path("missing")));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FolderExists(""));
}

TEST(ModFSO, CreateFolderMakesTheWholePathAndIgnoresBlanksAndTheFinalSeparator) {
    TempFolder temp;
    EXPECT_EQ(CreateFolder(Native({temp.Root(), "A", "B"})), "");
    EXPECT_TRUE(FolderExists(Native({temp.Root(), "A", "B"})));
    EXPECT_EQ(CreateFolder(Native({temp.Root(), "A", "B"})), "") << "existing path";

    const std::string padded =
        std::string(" ").append(Native({temp.Root(), "C", "D"})).append(S + " ");
    EXPECT_EQ(CreateFolder(padded), "");
    EXPECT_TRUE(FolderExists(Native({temp.Root(), "C", "D"})));
}

TEST(ModFSO, CreateFolderFailureGivesTheDiagnosticText) {
    TempFolder temp;
    WriteBytes(temp.Path("file"), "x");
    const std::string target = Native({temp.Root(), "file", "sub"}) + " ";
    const std::string text = CreateFolder(target);
    EXPECT_EQ(text.rfind("CreateFolder Error(", 0), 0u) << text;
    EXPECT_NE(text.find("): "), std::string::npos);
    EXPECT_TRUE(text.ends_with(" NewPath: " + target)) << "the path as given, untrimmed";
}

TEST(ModFSO, GetFileNameIsThePartAfterTheLastSeparator) {
    EXPECT_EQ(GetFileName(Native({"", "dir", "file.txt"})), "file.txt");
    EXPECT_EQ(GetFileName("file.txt"), "file.txt");
    EXPECT_EQ(GetFileName(Native({"", "dir", ""})), "");
    EXPECT_EQ(GetFileName(""), "");
}

TEST(ModFSO, GetExtensionNameComesFromTheExistingFilesOwnName) {
    TempFolder temp;
    WriteBytes(temp.Path("archive.tar.gz"), "x");
    WriteBytes(temp.Path("README"), "x");
    WriteBytes(temp.Path("trailing."), "x");
    WriteBytes(temp.Path("Francais.LNG"), "x");
    EXPECT_EQ(GetExtensionName(temp.Path("archive.tar.gz")), "gz");
    EXPECT_EQ(GetExtensionName(temp.Path("README")), "");
    EXPECT_EQ(GetExtensionName(temp.Path("Francais.LNG")), "LNG") << "case is kept";
    EXPECT_EQ(GetExtensionName(temp.Path("missing.txt")), "");
    EXPECT_EQ(GetExtensionName(""), "");
}

TEST(ModFSO, BuildPathPutsExactlyOneSeparatorAtTheSeam) {
    const std::string data = Native({"", "Data"});
    EXPECT_EQ(BuildPath(data, "sub"), data + S + "sub");
    EXPECT_EQ(BuildPath(data + S, "sub"), data + S + "sub");
    EXPECT_EQ(BuildPath(data, S + "sub"), data + S + "sub");
    EXPECT_EQ(BuildPath(data + S, S + S + "sub"), data + S + S + "sub") << "only one is stripped";
    EXPECT_EQ(BuildPath("", "x"), S + "x");
}

TEST(ModFSO, AddAndStripSeparators) {
    EXPECT_EQ(AddBackslash(""), S);
    EXPECT_EQ(AddBackslash("a"), "a" + S);
    EXPECT_EQ(AddBackslash("a" + S), "a" + S);
    EXPECT_EQ(StripLeadingBackslash(S + S + "x"), S + "x");
    EXPECT_EQ(StripLeadingBackslash("x"), "x");
    EXPECT_EQ(StripLeadingBackslash(""), "");
}
