#include "platform/attributes.h"
#include "platform/readback.h"
#include "platform/win32/scratch.h"
#include "testing/wine.h"

#include <gtest/gtest.h>

using namespace stampwell::platform;
using stampwell::testing::Word;

// Compressed, Sparse and Reparse point come back in a word read; writing
// such a word back changes only the four a user sets. An empty word leaves
// Windows' "none", Normal (Wine sets Archive on every file). A folder's word
// is written without its Directory bit.
TEST(Attributes, WritesOnlyTheBitsAProgramMaySet) {
    Scratch scratch;
    const std::string file = scratch.File("a.txt");
    constexpr std::uint32_t kFour = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;
    const std::uint32_t kept =
        FILE_ATTRIBUTE_COMPRESSED | FILE_ATTRIBUTE_SPARSE_FILE | FILE_ATTRIBUTE_REPARSE_POINT;
    ASSERT_FALSE(WriteAttributes(file, kFour | kept).Failed());
    EXPECT_EQ(Word(file), kFour);
    ASSERT_FALSE(WriteAttributes(file, 0).Failed());
    EXPECT_EQ(Word(file), stampwell::testing::UnderWine() ? kAttrArchive
                                                          : std::uint32_t{FILE_ATTRIBUTE_NORMAL});
    const std::string folder = scratch.Folder("sub");
    ASSERT_FALSE(WriteAttributes(folder, kAttrDirectory | kAttrHidden | kAttrSystem).Failed());
    EXPECT_EQ(Word(folder), kAttrDirectory | kAttrHidden | kAttrSystem);
}
