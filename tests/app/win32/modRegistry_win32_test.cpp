#include "app/modRegistry.h"
#include "platform/userstore.h"

#include <gtest/gtest.h>

using namespace stampwell::app;
using namespace stampwell::platform;

TEST(ModRegistryWin32, SaveSettingWritesUnderSoftwareApplicationSection) {
    const std::string key = "Software\\StampwellTestApp";
    RemoveUserKey(key);
    EXPECT_FALSE(SaveSetting("StampwellTestApp", "Options", "BGColor", "&H8000000F").Failed());
    EXPECT_EQ(ReadUserString(key + "\\Options", "BGColor"), "&H8000000F");
    RemoveUserKey(key);
}
