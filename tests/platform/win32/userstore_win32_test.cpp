#include "platform/userstore.h"

#include <gtest/gtest.h>

using namespace stampwell::platform;

// Registry text values under HKEY_CURRENT_USER; names compare without regard
// to case, and a missing key is no failure to remove.
TEST(UserStoreWin32, WritesRegistryTextValuesAndRemovesTheWholeKey) {
    const std::string top = "Software\\Olvadi\\StampwellTest";
    const std::string key = top + "\\Deeper\\Still";
    RemoveUserKey(top);
    EXPECT_EQ(UserStoreFile(), "");
    EXPECT_FALSE(WriteUserString(key, "Language", "Gr\xC3\xBC\xC3\x9F").Failed());
    EXPECT_EQ(ReadUserString(key, "language"), "Gr\xC3\xBC\xC3\x9F");
    EXPECT_FALSE(ReadUserString(key, "Missing"));
    EXPECT_FALSE(RemoveUserKey(top).Failed());
    EXPECT_FALSE(ReadUserString(key, "Language"));
    EXPECT_FALSE(RemoveUserKey(top).Failed());
}
