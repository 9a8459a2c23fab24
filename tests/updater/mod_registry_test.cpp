#include "scratch_record.h"
#include "updater/modRegistry.h"
#include "updater/record_file.h"

#include <gtest/gtest.h>

using namespace stampupdate;
using namespace std::string_literals;

namespace {

// Text whole; two to four binary bytes as their first word, signed; anything
// longer, or another type, as nothing.
TEST(ModRegistry, TextFollowsTheValuesType) {
    for (const auto& [type, data, text] :
         std::vector<std::tuple<std::uint32_t, std::string, const char*>>{
             {kRegSz, "3.01.00", "3.01.00"},
             {kRegSz, "", ""},
             {kRegSz, "C:\\P\\\"Gr\u00fc\u00dfe\"", "C:\\P\\\"Gr\u00fc\u00dfe\""},
             {kRegBinary, "\x34\x12", "4660"},
             {kRegBinary, "\xFE\xFF", "-2"},
             {kRegBinary, "\x01\x00\xAA\xBB"s, "1"},
             {kRegBinary, "\x05", "5"},
             {kRegBinary, "", "0"},
             {kRegBinary, "\x07\x00\x00\x00\x00"s, ""},
             {kRegDword, "\x07\x00\x00\x00"s, ""}}) {
        ScratchRecord record;
        record.Put("Value", type, data);
        EXPECT_EQ(ReadRegistryText(RootKey::CurrentUser, record.SubKey(), "VALUE"), text)
            << type << ": " << text;
    }
}

// A missing key or value gives empty text; nothing is read past the buffer
// the caller gives.
TEST(ModRegistry, MissingValuesAndValuesLargerThanTheBufferGiveNothing) {
    ScratchRecord record;
    record.Put("Version", kRegSz, "3.01.00");
    record.Put("Eight", kRegBinary, "\x01\x00\x00\x00\x00\x00\x00\x00"s);
    EXPECT_EQ(ReadRegistryText(RootKey::CurrentUser, record.SubKey(), "Language"), "");
    EXPECT_EQ(ReadRegistryText(RootKey::CurrentUser, record.SubKey() + "\\Missing", "Version"), "");
    EXPECT_FALSE(RegistryKey::Open(RootKey::CurrentUser, record.SubKey() + "\\Missing"));
    const auto key = RegistryKey::Open(RootKey::CurrentUser, record.SubKey());
    ASSERT_TRUE(key);
    EXPECT_EQ(key->ReadText("Version", key->Describe("Version")->size), "3.01.00");
    EXPECT_FALSE(key->ReadText("Version", 2));
    EXPECT_FALSE(key->ReadFourBytes("Eight"));
    EXPECT_EQ(key->Describe("Eight")->size, 8u);
    EXPECT_FALSE(key->ReadFourBytes("Missing") || key->Describe("Missing"));
}

} // namespace
