#include "scratch_record.h"
#include "updater/modRegistry.h"
#include "updater/record_file.h"

#include <gtest/gtest.h>

using namespace stampupdate;
using namespace std::string_literals;

namespace {

struct StoredValue {
    std::uint32_t type;
    std::string data;
    const char* text; // what ReadRegistryText gives
    friend void PrintTo(const StoredValue& v, std::ostream* out) {
        *out << v.type << ":" << v.text;
    }
};

class RegistryText : public ::testing::TestWithParam<StoredValue> {};

// Text whole; two to four binary bytes as their first word, signed; anything
// longer, or another type, as nothing.
TEST_P(RegistryText, FollowsTheValuesType) {
    ScratchRecord record;
    record.Put("Value", GetParam().type, GetParam().data);
    EXPECT_EQ(ReadRegistryText(RootKey::CurrentUser, record.SubKey(), "VALUE"), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Values, RegistryText,
                         ::testing::Values(StoredValue{kRegSz, "3.01.00", "3.01.00"},
                                           StoredValue{kRegSz, "", ""},
                                           StoredValue{kRegSz,
                                                       "C:\\P\\\"Gr\xC3\xBC\xC3\x9F"
                                                       "e\"",
                                                       "C:\\P\\\"Gr\xC3\xBC\xC3\x9F"
                                                       "e\""},
                                           StoredValue{kRegBinary, "\x34\x12", "4660"},
                                           StoredValue{kRegBinary, "\xFE\xFF", "-2"},
                                           StoredValue{kRegBinary, "\x01\x00\xAA\xBB"s, "1"},
                                           StoredValue{kRegBinary, "\x05", "5"},
                                           StoredValue{kRegBinary, "", "0"},
                                           StoredValue{kRegBinary, "\x07\x00\x00\x00\x00"s, ""},
                                           StoredValue{kRegDword, "\x07\x00\x00\x00"s, ""}));

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
