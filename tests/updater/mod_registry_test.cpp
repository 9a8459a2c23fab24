#include "scratch_record.h"
#include "updater/modRegistry.h"

#include <gtest/gtest.h>

using namespace stampupdate;

namespace {

class ModRegistry : public ::testing::Test {
protected:
    std::string Read(const std::string& name) const {
        return ReadRegistryText(RootKey::CurrentUser, record.SubKey(), name);
    }

    ScratchRecord record;
};

} // namespace

TEST_F(ModRegistry, TextValuesComeBackWhole) {
    record.PutText("Version", "3.01.00");
    record.PutText("Language", "de");
    record.PutText("Path", "C:\\Programme\\\"Gr\xC3\xBC\xC3\x9F"
                           "e\"");
    record.PutText("Empty", "");
    EXPECT_EQ(Read("Version"), "3.01.00");
    EXPECT_EQ(Read("Language"), "de");
    EXPECT_EQ(Read("Path"), "C:\\Programme\\\"Gr\xC3\xBC\xC3\x9F"
                            "e\"");
    EXPECT_EQ(Read("Empty"), "");
}

TEST_F(ModRegistry, ValueNamesIgnoreCase) {
    record.PutText("Version", "3.01.00");
    EXPECT_EQ(Read("VERSION"), "3.01.00");
}

TEST_F(ModRegistry, MissingKeyOrValueGivesEmptyText) {
    record.PutText("Version", "3.01.00");
    EXPECT_EQ(Read("Language"), "");
    EXPECT_EQ(ReadRegistryText(RootKey::CurrentUser, record.SubKey() + "\\Missing", "Version"), "");
    EXPECT_FALSE(RegistryKey::Open(RootKey::CurrentUser, record.SubKey() + "\\Missing"));
}

TEST_F(ModRegistry, BinaryOfTwoOrFourBytesIsItsFirstWordSigned) {
    record.PutBinary("Two", {0x34, 0x12});
    record.PutBinary("Negative", {0xFE, 0xFF});
    record.PutBinary("Four", {0x01, 0x00, 0xAA, 0xBB});
    record.PutBinary("One", {0x05});
    record.PutBinary("None", {});
    EXPECT_EQ(Read("Two"), "4660");
    EXPECT_EQ(Read("Negative"), "-2");
    EXPECT_EQ(Read("Four"), "1"); // bytes 3 and 4 are read but not used
    EXPECT_EQ(Read("One"), "5");
    EXPECT_EQ(Read("None"), "0");
}

TEST_F(ModRegistry, BinaryLongerThanFourBytesIsNeverReadAndGivesEmptyText) {
    record.PutBinary("Eight", {0x01, 0x00, 0, 0, 0, 0, 0, 0});
    record.PutBinary("Five", {0x07, 0x00, 0, 0, 0});
    EXPECT_EQ(Read("Eight"), "");
    EXPECT_EQ(Read("Five"), "");
    const auto key = RegistryKey::Open(RootKey::CurrentUser, record.SubKey());
    ASSERT_TRUE(key);
    EXPECT_FALSE(key->ReadFourBytes("Eight"));
    ASSERT_TRUE(key->Describe("Eight"));
    EXPECT_EQ(key->Describe("Eight")->size, 8u);
}

TEST_F(ModRegistry, OtherTypesGiveEmptyText) {
    record.PutDword("Number", 7);
    EXPECT_EQ(Read("Number"), "");
}

TEST_F(ModRegistry, QueryValueTextWorksOnAnOpenKey) {
    record.PutText("Version", "3.01.00");
    record.PutBinary("Flag", {0x02, 0x00});
    const auto key = RegistryKey::Open(RootKey::CurrentUser, record.SubKey());
    ASSERT_TRUE(key);
    EXPECT_EQ(QueryValueText(*key, "Version"), "3.01.00");
    EXPECT_EQ(QueryValueText(*key, "Flag"), "2");
    EXPECT_EQ(QueryValueText(*key, "Missing"), "");
}

TEST_F(ModRegistry, TextReadIntoATooSmallBufferGivesNothing) {
    record.PutText("Version", "3.01.00");
    const auto key = RegistryKey::Open(RootKey::CurrentUser, record.SubKey());
    ASSERT_TRUE(key);
    const auto info = key->Describe("Version");
    ASSERT_TRUE(info);
    EXPECT_EQ(key->ReadText("Version", info->size), "3.01.00");
    EXPECT_FALSE(key->ReadText("Version", 2));
}
