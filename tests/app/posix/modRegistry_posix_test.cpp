#include "app/modRegistry.h"
#include "platform/userstore.h"
#include "testing/environment.h"
#include "testing/tempfolder.h"

#include <gtest/gtest.h>

using namespace stampwell::app;
using namespace stampwell::platform;
using stampwell::testing::ReadBytes;
using stampwell::testing::ScopedEnv;
using stampwell::testing::TempFolder;

TEST(ModRegistryPosix, RecordAndSettingsShareTheUserStoreFile) {
    TempFolder config;
    ScopedEnv xdg("XDG_CONFIG_HOME", config.Root());
    EXPECT_FALSE(SaveSetting("Stampwell", "Options", "BGColor", "&H8000000F").Failed());
    EXPECT_FALSE(WriteRegistryRecord("Deutsch").Failed());
    EXPECT_EQ(ReadUserString("Software\\Olvadi\\Quillbox\\Stampwell", "Version"), "3.01.00");
    EXPECT_EQ(ReadUserString("Software\\Olvadi\\Quillbox\\Stampwell", "Language"), "de");
    EXPECT_EQ(ReadUserString("Software\\Stampwell\\Options", "BGColor"), "&H8000000F");
    const std::string file = ReadBytes(config.Path("Quillbox/registry.reg"));
    EXPECT_LT(file.find("\"Version\"=\"3.01.00\""), file.find("\"Language\"=\"de\""))
        << "Version is written first";
}

TEST(ModRegistryPosix, UnwritableStoreIsAFailureValue) {
    ScopedEnv xdg("XDG_CONFIG_HOME", "/proc/stampwell-nowhere");
    EXPECT_TRUE(WriteRegistryRecord("English").Failed());
}
