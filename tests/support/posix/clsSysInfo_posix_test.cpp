#include "support/clsSysInfo.h"
#include "testing/environment.h"

#include <gtest/gtest.h>

using namespace stampwell::support;
using stampwell::testing::ScopedEnv;

TEST(ClsSysInfoPosix, AppDataFollowsXdgConfigHome) {
    ScopedEnv xdg("XDG_CONFIG_HOME", "/srv/profile/config/");
    EXPECT_EQ(clsSysInfo().GetSpecialFolder(kCsidlAppData), "/srv/profile/config");
}
