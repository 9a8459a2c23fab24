#include "platform/item.h"
#include "platform/listing.h"
#include "platform/win32/scratch.h"

#include <gtest/gtest.h>

using namespace stampwell::platform;

namespace {

const FileTime kModified{1721037600, 999'999'900}; // 2024-07-15 10:00

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

} // namespace

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
         {std::tuple{scratch.Root() + "\\sub/a.txt", scratch.Path("sub"), "a.txt"},
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
