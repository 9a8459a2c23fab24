#include "common/posix/environment.h"
#include "support/clsSysInfo.h"

#include <gtest/gtest.h>

using namespace stampwell::support;
using stampwell::test::ScopedEnv;

TEST(ClsSysInfoPosix, AppDataFollowsXdgConfigHome) {
    ScopedEnv xdg("XDG_CONFIG_HOME", "/srv/profile/config/");
    EXPECT_EQ(clsSysInfo().GetSpecialFolder(kCsidlAppData), "/srv/profile/config");
}
