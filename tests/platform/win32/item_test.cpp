#include "platform/attributes.h"
#include "platform/item.h"
#include "platform/win32/scratch.h"
#include "testing/links.h"
#include "testing/wine.h"

#include <gtest/gtest.h>

using namespace stampwell::platform;
using stampwell::testing::FromPathText;
using stampwell::testing::MakeSymlink;
using stampwell::testing::UnderWine;

namespace {

constexpr int kStoppedOnLink = 681; // ERROR_STOPPED_ON_SYMLINK

const FileTime kCreated{-2208988800 + 17, 123'456'700}; // 1900-01-01 00:00:17
const FileTime kModified{1721037600, 999'999'900};      // 2024-07-15 10:00
const FileTime kAccessed{1000000000, 100};              // 2001-09-09 01:46:40

OpenFolder OpenOrFail(const std::string& path) {
    OpenFolder folder;
    const SysError error = OpenFolder::Open(path, folder);
    EXPECT_FALSE(error.Failed()) << path << ": " << error.text;
    return folder;
}

ItemState State(const OpenFolder& folder, const std::string& name) {
    ItemState state;
    const SysError error = ReadItemState(folder, name, ItemType::File, true, state);
    EXPECT_FALSE(error.Failed()) << name << ": " << error.text;
    return state;
}

} // namespace

struct ItemCase {
    const char* name; // in the scratch folder; "" is the folder itself
    ItemType type;
    ItemKind kind;
};

class ItemAt : public testing::TestWithParam<ItemCase> {};

// Windows keeps every time to the tick; Wine keeps no creation time.
TEST_P(ItemAt, WritesTimesAndAttributesThroughTheOpenFolder) {
    Scratch scratch;
    scratch.File("file.txt");
    scratch.Folder("sub");
    const OpenFolder folder = OpenOrFail(scratch.Root());
    const ItemCase& item = GetParam();
    ASSERT_FALSE(
        WriteItemTimesAt(folder, item.name, item.type, {kCreated, kModified, kAccessed}).Failed());
    ASSERT_FALSE(WriteAttributesAt(folder, item.name, item.type, kAttrHidden).Failed());
    const ItemState state = State(folder, item.name);
    EXPECT_EQ(state.kind, item.kind);
    EXPECT_EQ(state.times.modified, kModified);
    EXPECT_EQ(state.times.accessed, kAccessed);
    if (!UnderWine()) {
        EXPECT_EQ(state.times.created, kCreated);
    }
    const std::uint32_t folderBit = item.kind == ItemKind::Folder ? kAttrDirectory : 0;
    const std::uint32_t archive = UnderWine() && !folderBit ? kAttrArchive : 0;
    EXPECT_EQ(state.attributes, kAttrHidden | folderBit | archive);
    EXPECT_EQ(state.mode, 0u);
    ASSERT_FALSE(WriteAttributesAt(folder, item.name, item.type, 0).Failed());
}

INSTANTIATE_TEST_SUITE_P(FileFolderAndTheFolderItself, ItemAt,
                         testing::Values(ItemCase{"file.txt", ItemType::File, ItemKind::File},
                                         ItemCase{"sub", ItemType::Folder, ItemKind::Folder},
                                         ItemCase{"", ItemType::Folder, ItemKind::Folder}));

TEST(Item, LeavesTheTimesOfAFileHeldOpenByAnotherProgram) {
    Scratch scratch;
    const std::string file = scratch.File("held.txt");
    const OpenFolder folder = OpenOrFail(scratch.Root());
    const ItemState before = State(folder, "held.txt");
    const HANDLE other = CreateFileW(Scratch::Extended(file).c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    const SysError written =
        WriteItemTimesAt(folder, "held.txt", ItemType::File, {std::nullopt, kModified, kAccessed});
    const ItemState during = State(folder, "held.txt");
    // Attributes alone are taken meanwhile, as SetFileAttributesW takes them.
    const SysError attributes = WriteAttributesAt(folder, "held.txt", ItemType::File, kAttrHidden);
    CloseHandle(other);
    EXPECT_EQ(written.code, ERROR_SHARING_VIOLATION);
    EXPECT_EQ(during.times.modified, before.times.modified);
    EXPECT_EQ(during.times.accessed, before.times.accessed);
    EXPECT_FALSE(attributes.Failed()) << attributes.text;
}

TEST(Item, IdentityNamesTheItemWhicheverWayItIsReached) {
    Scratch scratch;
    scratch.File("a.txt");
    scratch.File("b.txt");
    const std::string sub = scratch.Folder("sub");
    const OpenFolder folder = OpenOrFail(scratch.Root());
    OpenFolder child;
    ASSERT_FALSE(folder.OpenChild("sub", child).Failed());
    const ItemIdentity viaPath = OpenOrFail(sub).Identity();
    EXPECT_EQ(child.Identity(), viaPath);
    EXPECT_EQ(State(folder, "sub").identity, viaPath);
    EXPECT_EQ(State(child, "").identity, viaPath);
    EXPECT_EQ(State(folder, "").identity, folder.Identity());
    EXPECT_EQ(State(folder, "A.TXT").identity, State(folder, "a.txt").identity);
    EXPECT_NE(State(folder, "a.txt").identity, State(folder, "b.txt").identity);
    EXPECT_NE(child.Identity(), folder.Identity());
}

TEST(Item, AFolderRenamedMeanwhileIsStillTheOneReached) {
    Scratch scratch;
    const std::string sub = scratch.Folder("sub");
    scratch.File("sub\\a.txt");
    const OpenFolder folder = OpenOrFail(sub);
    // The folder moves away and another one takes its name.
    ASSERT_TRUE(MoveFileW(Scratch::Extended(sub).c_str(),
                          Scratch::Extended(scratch.Path("moved")).c_str()));
    scratch.Folder("sub");
    scratch.File("sub\\a.txt");
    ASSERT_FALSE(
        WriteItemTimesAt(folder, "a.txt", ItemType::File, {std::nullopt, kModified, std::nullopt})
            .Failed());
    const OpenFolder moved = OpenOrFail(scratch.Path("moved"));
    EXPECT_EQ(moved.Identity(), folder.Identity());
    EXPECT_EQ(State(moved, "a.txt").times.modified, kModified);
    EXPECT_NE(State(OpenOrFail(sub), "a.txt").times.modified, kModified);
}

struct RefusedName {
    const char* name;
    int code;
};

class OpenChildRefuses : public testing::TestWithParam<RefusedName> {};

TEST_P(OpenChildRefuses, ANameThatIsNoSingleFolder) {
    Scratch scratch;
    scratch.File("file.txt");
    scratch.Folder("sub");
    scratch.Folder("sub\\deeper");
    const OpenFolder folder = OpenOrFail(scratch.Root());
    OpenFolder child;
    EXPECT_EQ(folder.OpenChild(GetParam().name, child).code, GetParam().code);
    EXPECT_FALSE(child.IsOpen());
    ItemState state;
    if (GetParam().code == ERROR_INVALID_NAME && *GetParam().name) {
        EXPECT_EQ(ReadItemState(folder, GetParam().name, ItemType::File, false, state).code,
                  ERROR_INVALID_NAME);
    }
}

INSTANTIATE_TEST_SUITE_P(Names, OpenChildRefuses,
                         testing::Values(RefusedName{"file.txt", ERROR_DIRECTORY},
                                         RefusedName{"gone", ERROR_FILE_NOT_FOUND},
                                         RefusedName{"", ERROR_INVALID_NAME},
                                         RefusedName{"sub\\deeper", ERROR_INVALID_NAME},
                                         RefusedName{"sub/deeper", ERROR_INVALID_NAME},
                                         RefusedName{"..", ERROR_INVALID_NAME},
                                         RefusedName{"file.txt:stream", ERROR_INVALID_NAME}));

TEST(Item, OpenChildRefusesAJunctionAndReadsItAsALink) {
    Scratch scratch;
    const std::string target = scratch.Folder("target");
    const std::string link = scratch.Folder("junction");
    const bool made = Scratch::MakeJunction(link, target);
    const OpenFolder folder = OpenOrFail(scratch.Root());
    OpenFolder child;
    const SysError opened = folder.OpenChild("junction", child);
    const ItemState state = State(folder, "junction");
    if (UnderWine()) {
        // Wine keeps no reparse points: the junction stays a plain folder.
        EXPECT_FALSE(made);
        EXPECT_FALSE(opened.Failed());
        EXPECT_EQ(state.kind, ItemKind::Folder);
        return;
    }
    ASSERT_TRUE(made) << GetLastError();
    EXPECT_EQ(opened.code, kStoppedOnLink);
    EXPECT_EQ(state.kind, ItemKind::Link);
    EXPECT_NE(state.identity, OpenOrFail(target).Identity());
    // Named last, the junction is followed only when asked to.
    std::string name;
    OpenFolder parent;
    ASSERT_FALSE(OpenFolder::OpenParent(link, true, parent, name).Failed());
    EXPECT_EQ(name, "target");
    EXPECT_EQ(parent.Identity(), folder.Identity());
    ASSERT_FALSE(OpenFolder::OpenParent(link, false, parent, name).Failed());
    EXPECT_EQ(name, "junction");
}

TEST(Item, OpenChildRefusesASymbolicLink) {
    Scratch scratch;
    const std::string target = scratch.Folder("target");
    const std::error_code refused =
        MakeSymlink(FromPathText(target), FromPathText(scratch.Path("link")), /*folder=*/true);
    const OpenFolder folder = OpenOrFail(scratch.Root());
    OpenFolder child;
    const SysError opened = folder.OpenChild("link", child);
    if (UnderWine()) {
        // Wine reports the link made and keeps nothing: there is no "link".
        EXPECT_TRUE(refused);
        EXPECT_EQ(opened.code, ERROR_FILE_NOT_FOUND);
        return;
    }
    ASSERT_FALSE(refused) << "cannot make a symbolic link here: " << refused.message();
    EXPECT_EQ(opened.code, kStoppedOnLink);
    EXPECT_EQ(State(folder, "link").kind, ItemKind::Link);
}

struct ParentCase {
    const char* path; // below the scratch folder
    const char* folder;
    const char* name;
};

class OpenParent : public testing::TestWithParam<ParentCase> {};

TEST_P(OpenParent, GivesTheFolderAndTheLastName) {
    Scratch scratch;
    scratch.Folder("sub");
    scratch.File("sub\\a.txt");
    OpenFolder parent;
    std::string name;
    const SysError error =
        OpenFolder::OpenParent(scratch.Path(GetParam().path), false, parent, name);
    ASSERT_FALSE(error.Failed()) << error.text;
    EXPECT_EQ(name, GetParam().name);
    EXPECT_EQ(parent.Identity(), OpenOrFail(scratch.Path(GetParam().folder)).Identity());
}

INSTANTIATE_TEST_SUITE_P(Paths, OpenParent,
                         testing::Values(ParentCase{"sub\\a.txt", "sub", "a.txt"},
                                         ParentCase{"sub/a.txt", "sub", "a.txt"},
                                         ParentCase{"sub\\", "", "sub"},
                                         ParentCase{"sub\\..\\sub\\.\\a.txt", "sub", "a.txt"}));

TEST(Item, OpenParentOfARootGivesTheRootAndNoName) {
    Scratch scratch;
    const std::string drive = scratch.Root().substr(0, 3); // "C:\"
    for (const std::string& root : {drive, drive.substr(0, 2) + "/", "\\\\?\\" + drive}) {
        OpenFolder folder;
        std::string name = "x";
        ASSERT_FALSE(OpenFolder::OpenParent(root, false, folder, name).Failed()) << root;
        EXPECT_EQ(name, "") << root;
        EXPECT_EQ(folder.Identity(), OpenOrFail(drive).Identity()) << root;
    }
}

TEST(Item, OpenReportsAMissingFolderAndAFile) {
    Scratch scratch;
    scratch.File("a.txt");
    OpenFolder folder;
    EXPECT_EQ(OpenFolder::Open(scratch.Path("gone"), folder).code, ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(OpenFolder::Open(scratch.Path("a.txt"), folder).code, ERROR_DIRECTORY);
    EXPECT_FALSE(folder.IsOpen());
}
