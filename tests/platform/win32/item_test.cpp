#include "platform/attributes.h"
#include "platform/item.h"
#include "platform/listing.h"
#include "platform/win32/scratch.h"
#include "testing/wine.h"

#include <gtest/gtest.h>

using namespace stampwell::platform;
using stampwell::testing::UnderWine;

namespace {

const FileTime kCreated{-2208988800 + 17, 123'456'700}; // 1900-01-01 00:00:17
const FileTime kModified{1721037600, 999'999'900};      // 2024-07-15 10:00

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

class ItemAt : public testing::TestWithParam<const char*> {};

} // namespace

// A file, a folder and the folder itself (""). Windows keeps every time to
// the tick; Wine keeps no creation time and sets Archive on every file.
TEST_P(ItemAt, WritesTimesAndAttributesThroughTheOpenFolder) {
    Scratch scratch;
    scratch.File("file.txt");
    scratch.Folder("sub");
    const OpenFolder folder = Open(scratch.Root());
    const std::string name = GetParam();
    const ItemType type = name == "file.txt" ? ItemType::File : ItemType::Folder;
    ASSERT_FALSE(WriteItemTimesAt(folder, name, type, {kCreated, kModified, {}}).Failed());
    ASSERT_FALSE(WriteAttributesAt(folder, name, type, kAttrHidden).Failed());
    const ItemState state = State(folder, name);
    EXPECT_EQ(state.kind, type == ItemType::File ? ItemKind::File : ItemKind::Folder);
    EXPECT_EQ(state.times.modified, kModified);
    if (!UnderWine()) {
        EXPECT_EQ(state.times.created, kCreated);
    }
    const std::uint32_t archive = UnderWine() && type == ItemType::File ? kAttrArchive : 0;
    EXPECT_EQ(state.attributes,
              kAttrHidden | archive | (type == ItemType::File ? 0 : kAttrDirectory));
    ASSERT_FALSE(WriteAttributesAt(folder, name, type, 0).Failed());
}

INSTANTIATE_TEST_SUITE_P(FileFolderAndTheFolderItself, ItemAt,
                         testing::Values("file.txt", "sub", ""));

// Whichever way a folder is reached it is the same item; moved away, with
// another one in its place, it is still the one a step or a listing reaches.
TEST(Item, AFolderIsTheOneOpenedWhicheverWayAndWhereverItWent) {
    Scratch scratch;
    scratch.File("a.txt");
    scratch.File("sub\\a.txt");
    const OpenFolder folder = Open(scratch.Root());
    OpenFolder sub;
    ASSERT_FALSE(folder.OpenChild("sub", sub).Failed());
    EXPECT_EQ(sub.Identity(), Open(scratch.Path("sub")).Identity());
    EXPECT_EQ(State(folder, "sub").identity, State(sub, "").identity);
    EXPECT_EQ(State(folder, "A.TXT").identity, State(folder, "a.txt").identity);
    EXPECT_NE(State(folder, "a.txt").identity, State(sub, "a.txt").identity);
    ASSERT_TRUE(MoveFileW(Scratch::Extended(scratch.Path("sub")).c_str(),
                          Scratch::Extended(scratch.Path("moved")).c_str()));
    scratch.File("sub\\other.txt");
    ASSERT_FALSE(WriteItemTimesAt(sub, "a.txt", ItemType::File, {{}, kModified, {}}).Failed());
    EXPECT_EQ(State(Open(scratch.Path("moved")), "a.txt").times.modified, kModified);
    ListedEntry entry;
    FolderListing listing(sub, "*");
    EXPECT_TRUE(listing.Next(entry) && entry.name == "a.txt" && !listing.Next(entry));
}

// OpenChild takes a single folder's name; OpenParent gives the folder and the
// last name, and for a root the root and no name.
TEST(Item, OpenChildAndOpenParentTakeNamesAsWindowsDoes) {
    Scratch scratch;
    scratch.File("a.txt");
    scratch.File("sub\\a.txt");
    const OpenFolder folder = Open(scratch.Root());
    for (const auto& [name, code] : {std::pair{"a.txt", ERROR_DIRECTORY},
                                     {"sub\\a", ERROR_INVALID_NAME},
                                     {"gone", ERROR_FILE_NOT_FOUND},
                                     {"", ERROR_INVALID_NAME},
                                     {"sub/a.txt", ERROR_INVALID_NAME},
                                     {"..", ERROR_INVALID_NAME},
                                     {"a.txt:stream", ERROR_INVALID_NAME}}) {
        OpenFolder child;
        EXPECT_EQ(folder.OpenChild(name, child).code, code) << name;
        EXPECT_FALSE(child.IsOpen()) << name;
    }
    const std::string drive = scratch.Root().substr(0, 3); // "C:\"
    for (const auto& [path, parent, name] :
         {std::tuple{scratch.Path("sub/a.txt"), scratch.Path("sub"), "a.txt"},
          {scratch.Path("sub\\"), scratch.Root(), "sub"},
          {scratch.Path("sub\\..\\sub\\.\\a.txt"), scratch.Path("sub"), "a.txt"},
          {drive.substr(0, 2) + "/", drive, ""},
          {"\\\\?\\" + drive, drive, ""}}) {
        OpenFolder opened;
        std::string last = "x";
        ASSERT_FALSE(OpenFolder::OpenParent(path, false, opened, last).Failed()) << path;
        EXPECT_EQ(last, name) << path;
        EXPECT_EQ(opened.Identity(), Open(parent).Identity()) << path;
    }
}

// A junction is a link: never opened as a folder nor changed through, listed
// as a link, followed by OpenParent only when asked to. Wine keeps no reparse
// points and makes none.
TEST(Item, AJunctionIsALinkItself) {
    Scratch scratch;
    const std::string target = scratch.Folder("target");
    const std::string link = scratch.Path("junction");
    const bool made = Scratch::MakeJunction(link, target);
    if (UnderWine()) {
        EXPECT_FALSE(made);
        return;
    }
    ASSERT_TRUE(made);
    const OpenFolder folder = Open(scratch.Root());
    OpenFolder child;
    EXPECT_EQ(folder.OpenChild("junction", child).code, 681); // ERROR_STOPPED_ON_SYMLINK
    EXPECT_EQ(State(folder, "junction").kind, ItemKind::Link);
    ListedEntry entry;
    EXPECT_TRUE(FolderListing(folder, "junction").Next(entry) && entry.isLink && !entry.isFolder);
    const ItemState targetBefore = State(folder, "target");
    ASSERT_FALSE(WriteItemTimes(link, ItemType::File, {{}, kModified, {}}).Failed());
    EXPECT_EQ(State(folder, "junction").times.modified, kModified);
    EXPECT_EQ(State(folder, "target").times.modified, targetBefore.times.modified);
    std::string name;
    OpenFolder parent;
    ASSERT_FALSE(OpenFolder::OpenParent(link, true, parent, name).Failed());
    EXPECT_EQ(name, "target");
}
