#include "platform/attributes.h"
#include "platform/readback.h"
#include "platform/win32/scratch.h"
#include "testing/wine.h"

#include <gtest/gtest.h>

using namespace stampwell::platform;
using stampwell::testing::UnderWine;
using stampwell::testing::Word;

namespace {

constexpr std::uint32_t kFour = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;

} // namespace

// Wine sets Archive on every file. Compressed, Sparse and Reparse point come
// back in a word read; writing such a word back changes only the four. An
// empty word leaves Windows' "none", Normal. A folder's word is written
// without its Directory bit; Windows keeps Read-only on a folder (Explorer
// reads it as "customised"), Wine ignores it.
TEST(Attributes, SetsAndClearsEachOfTheFourOnAFileAndAFolder) {
    Scratch scratch;
    const std::string file = scratch.File("a.txt");
    const std::uint32_t archive = UnderWine() ? kAttrArchive : 0;
    for (const std::uint32_t bit : {kAttrArchive, kAttrReadOnly, kAttrSystem, kAttrHidden}) {
        const std::uint32_t before = Word(file) & kFour;
        ASSERT_FALSE(WriteAttributes(file, before | bit).Failed());
        EXPECT_EQ(Word(file) & kFour, before | bit) << bit;
        ASSERT_FALSE(WriteAttributes(file, before & ~bit).Failed());
        EXPECT_EQ(Word(file) & kFour, (before & ~bit) | (bit == kAttrArchive ? archive : 0)) << bit;
    }
    const std::uint32_t kept =
        FILE_ATTRIBUTE_COMPRESSED | FILE_ATTRIBUTE_SPARSE_FILE | FILE_ATTRIBUTE_REPARSE_POINT;
    ASSERT_FALSE(WriteAttributes(file, kFour | kept).Failed());
    EXPECT_EQ(Word(file), kFour);
    ASSERT_FALSE(WriteAttributes(file, 0).Failed());
    EXPECT_EQ(Word(file), UnderWine() ? kAttrArchive : std::uint32_t{FILE_ATTRIBUTE_NORMAL});
    const std::string folder = scratch.Folder("sub");
    ASSERT_FALSE(WriteAttributes(folder, kAttrDirectory | kAttrHidden | kAttrSystem).Failed());
    EXPECT_EQ(Word(folder), kAttrDirectory | kAttrHidden | kAttrSystem);
    ASSERT_FALSE(WriteAttributes(folder, kAttrDirectory | kAttrReadOnly).Failed());
    EXPECT_EQ(Word(folder), UnderWine() ? kAttrDirectory : kAttrDirectory | kAttrReadOnly);
}
