#include "platform/userstore.h"

#include <gtest/gtest.h>

using namespace stampwell::platform;

namespace {

constexpr const char* kTestKey = "Software\\Olvadi\\StampwellTest";

class UserStoreWin32 : public ::testing::Test {
protected:
    void SetUp() override { RemoveUserKey(kTestKey); }
    void TearDown() override { RemoveUserKey(kTestKey); }
};

} // namespace

TEST_F(UserStoreWin32, WritesRegistryTextValuesAndReadsThemBack) {
    EXPECT_EQ(UserStoreFile(), "");
    const std::string key = std::string(kTestKey) + "\\Deeper\\Still";
    EXPECT_FALSE(WriteUserString(key, "Version", "3.01.00").Failed());
    EXPECT_FALSE(WriteUserString(key, "Language",
                                 "Gr\xC3\xBC\xC3\x9F"
                                 "e")
                     .Failed());
    EXPECT_EQ(ReadUserString(key, "Version"), "3.01.00");
    EXPECT_EQ(ReadUserString(key, "language"), "Gr\xC3\xBC\xC3\x9F"
                                               "e");
    EXPECT_FALSE(ReadUserString(key, "Missing"));
}

TEST_F(UserStoreWin32, RemoveTakesTheWholeKey) {
    WriteUserString(std::string(kTestKey) + "\\Sub", "A", "1");
    EXPECT_FALSE(RemoveUserKey(kTestKey).Failed());
    EXPECT_FALSE(ReadUserString(std::string(kTestKey) + "\\Sub", "A"));
    EXPECT_FALSE(RemoveUserKey(kTestKey).Failed()) << "a missing key is no failure";
}
