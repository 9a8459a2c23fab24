#include "platform/attributes.h"
#include "platform/item.h"
#include "platform/listing.h"
#include "platform/win32/scratch.h"
#include "testing/wine.h"

#include <gtest/gtest.h>

using namespace stampwell::platform;
using stampwell::testing::UnderWine;

namespace {

constexpr int kStoppedOnLink = 681; // ERROR_STOPPED_ON_SYMLINK

const FileTime kCreated{-2208988800 + 17, 123'456'700}; // 1900-01-01 00:00:17
const FileTime kModified{1721037600, 999'999'900};      // 2024-07-15 10:00
const FileTime kAccessed{1000000000, 100};              // 2001-09-09 01:46:40

OpenFolder Open(const std::string& path) {
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

struct ItemCase {
    const char* name; // in the scratch folder; "" is the folder itself
    ItemType type;
    std::uint32_t directory;
};

class ItemAt : public testing::TestWithParam<ItemCase> {};

} // namespace

// Windows keeps every time to the tick; Wine keeps no creation time and sets
// Archive on every file.
TEST_P(ItemAt, WritesTimesAndAttributesThroughTheOpenFolder) {
    Scratch scratch;
    scratch.File("file.txt");
    scratch.Folder("sub");
    const OpenFolder folder = Open(scratch.Root());
    const ItemCase& item = GetParam();
    ASSERT_FALSE(
        WriteItemTimesAt(folder, item.name, item.type, {kCreated, kModified, kAccessed}).Failed());
    ASSERT_FALSE(WriteAttributesAt(folder, item.name, item.type, kAttrHidden).Failed());
    const ItemState state = State(folder, item.name);
    EXPECT_EQ(state.kind, item.directory ? ItemKind::Folder : ItemKind::File);
    EXPECT_EQ(state.times.modified, kModified);
    EXPECT_EQ(state.times.accessed, kAccessed);
    if (!UnderWine()) {
        EXPECT_EQ(state.times.created, kCreated);
    }
    const std::uint32_t archive = UnderWine() && !item.directory ? kAttrArchive : 0;
    EXPECT_EQ(state.attributes, kAttrHidden | item.directory | archive);
    EXPECT_EQ(state.mode, 0u);
    ASSERT_FALSE(WriteAttributesAt(folder, item.name, item.type, 0).Failed());
}

INSTANTIATE_TEST_SUITE_P(FileFolderAndTheFolderItself, ItemAt,
                         testing::Values(ItemCase{"file.txt", ItemType::File, 0},
                                         ItemCase{"sub", ItemType::Folder, kAttrDirectory},
                                         ItemCase{"", ItemType::Folder, kAttrDirectory}));

TEST(Item, IdentityNamesTheItemWhicheverWayItIsReached) {
    Scratch scratch;
    scratch.File("a.txt");
    scratch.File("b.txt");
    scratch.Folder("sub");
    const OpenFolder folder = Open(scratch.Root());
    OpenFolder child;
    ASSERT_FALSE(folder.OpenChild("sub", child).Failed());
    const ItemIdentity viaPath = Open(scratch.Path("sub")).Identity();
    EXPECT_EQ(child.Identity(), viaPath);
    EXPECT_EQ(State(folder, "sub").identity, viaPath);
    EXPECT_EQ(State(child, "").identity, viaPath);
    EXPECT_EQ(State(folder, "").identity, folder.Identity());
    EXPECT_EQ(State(folder, "A.TXT").identity, State(folder, "a.txt").identity);
    EXPECT_NE(State(folder, "a.txt").identity, State(folder, "b.txt").identity);
    EXPECT_NE(child.Identity(), folder.Identity());
}

// The folder moves away and another one takes its name: a step and a listing
// through the open folder still reach the one opened.
TEST(Item, AFolderRenamedMeanwhileIsStillTheOneReached) {
    Scratch scratch;
    const std::string sub = scratch.Folder("sub");
    scratch.File("sub\\a.txt");
    const OpenFolder folder = Open(sub);
    ASSERT_TRUE(MoveFileW(Scratch::Extended(sub).c_str(),
                          Scratch::Extended(scratch.Path("moved")).c_str()));
    scratch.File("sub\\a.txt");
    scratch.File("sub\\other.txt");
    ASSERT_FALSE(WriteItemTimesAt(folder, "a.txt", ItemType::File, {{}, kModified, {}}).Failed());
    const OpenFolder moved = Open(scratch.Path("moved"));
    EXPECT_EQ(moved.Identity(), folder.Identity());
    EXPECT_EQ(State(moved, "a.txt").times.modified, kModified);
    EXPECT_NE(State(Open(sub), "a.txt").times.modified, kModified);
    FolderListing listing(folder, "*");
    ListedEntry entry;
    ASSERT_TRUE(listing.Next(entry));
    EXPECT_EQ(entry.name, "a.txt");
    EXPECT_FALSE(listing.Next(entry));
}

TEST(Item, OpenChildRefusesANameThatIsNoSingleFolder) {
    Scratch scratch;
    scratch.File("file.txt");
    scratch.Folder("sub\\deeper");
    const OpenFolder folder = Open(scratch.Root());
    const std::pair<const char*, int> names[] = {{"file.txt", ERROR_DIRECTORY},
                                                 {"gone", ERROR_FILE_NOT_FOUND},
                                                 {"", ERROR_INVALID_NAME},
                                                 {"sub\\deeper", ERROR_INVALID_NAME},
                                                 {"sub/deeper", ERROR_INVALID_NAME},
                                                 {"..", ERROR_INVALID_NAME},
                                                 {"file.txt:stream", ERROR_INVALID_NAME}};
    for (const auto& [name, code] : names) {
        OpenFolder child;
        EXPECT_EQ(folder.OpenChild(name, child).code, code) << name;
        EXPECT_FALSE(child.IsOpen()) << name;
    }
    ItemState state;
    EXPECT_EQ(ReadItemState(folder, "sub\\deeper", ItemType::File, false, state).code,
              ERROR_INVALID_NAME);
    OpenFolder opened;
    EXPECT_EQ(OpenFolder::Open(scratch.Path("gone"), opened).code, ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(OpenFolder::Open(scratch.Path("file.txt"), opened).code, ERROR_DIRECTORY);
}

// A path that names a root gives the root and no name.
TEST(Item, OpenParentGivesTheFolderAndTheLastName) {
    Scratch scratch;
    scratch.File("sub\\a.txt");
    const std::string drive = scratch.Root().substr(0, 3); // "C:\"
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {scratch.Path("sub\\a.txt"), scratch.Path("sub"), "a.txt"},
        {scratch.Path("sub/a.txt"), scratch.Path("sub"), "a.txt"},
        {scratch.Path("sub\\"), scratch.Root(), "sub"},
        {scratch.Path("sub\\..\\sub\\.\\a.txt"), scratch.Path("sub"), "a.txt"},
        {drive, drive, ""},
        {drive.substr(0, 2) + "/", drive, ""},
        {"\\\\?\\" + drive, drive, ""}};
    for (const auto& [path, folder, name] : cases) {
        OpenFolder parent;
        std::string last = "x";
        ASSERT_FALSE(OpenFolder::OpenParent(path, false, parent, last).Failed()) << path;
        EXPECT_EQ(last, name) << path;
        EXPECT_EQ(parent.Identity(), Open(folder).Identity()) << path;
    }
}

// A junction is a link: never opened as a folder nor changed through, listed
// as a link, followed by OpenParent only when asked to. Wine keeps no reparse
// points: there the junction stays a plain folder.
TEST(Item, AJunctionIsALinkItself) {
    Scratch scratch;
    const std::string target = scratch.Folder("target");
    const std::string link = scratch.Folder("junction");
    const bool made = Scratch::MakeJunction(link, target);
    const OpenFolder folder = Open(scratch.Root());
    OpenFolder child;
    const SysError opened = folder.OpenChild("junction", child);
    const ItemState state = State(folder, "junction");
    FolderListing listing(folder, "junction");
    ListedEntry entry;
    ASSERT_TRUE(listing.Next(entry));
    if (UnderWine()) {
        EXPECT_FALSE(made);
        EXPECT_FALSE(opened.Failed());
        EXPECT_EQ(state.kind, ItemKind::Folder);
        EXPECT_TRUE(entry.isFolder && !entry.isLink);
        return;
    }
    ASSERT_TRUE(made) << GetLastError();
    EXPECT_EQ(opened.code, kStoppedOnLink);
    EXPECT_EQ(state.kind, ItemKind::Link);
    EXPECT_NE(state.identity, Open(target).Identity());
    EXPECT_TRUE(entry.isLink && !entry.isFolder);
    EXPECT_TRUE(entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    const ItemState targetBefore = State(folder, "target");
    ASSERT_FALSE(WriteItemTimes(link, ItemType::File, {{}, kModified, {}}).Failed());
    EXPECT_EQ(State(folder, "junction").times.modified, kModified);
    EXPECT_EQ(State(folder, "target").times.modified, targetBefore.times.modified);
    std::string name;
    OpenFolder parent;
    ASSERT_FALSE(OpenFolder::OpenParent(link, false, parent, name).Failed());
    EXPECT_EQ(name, "junction");
    ASSERT_FALSE(OpenFolder::OpenParent(link, true, parent, name).Failed());
    EXPECT_EQ(name, "target");
    EXPECT_EQ(parent.Identity(), folder.Identity());
}
