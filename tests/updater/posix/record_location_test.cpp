#include "testing/asnobody.h"
#include "testing/environment.h"
#include "testing/tempfolder.h"
#include "updater/modRegistry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace stampupdate;
using stampwell::testing::ScopedEnv;

namespace {

std::string Record(const std::string& version) {
    return "[HKEY_CURRENT_USER\\Software\\Olvadi\\Quillbox\\Stampwell]\n\"Version\"=\"" + version +
           "\"\n";
}

std::string Version() {
    return ReadRegistryText(RootKey::CurrentUser, "Software\\Olvadi\\Quillbox\\Stampwell",
                            "Version");
}

// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
TEST(RecordLocation, ConfigHomeElseHome) {
    stampwell::testing::TempFolder root;
    root.File("config/Quillbox/registry.reg", Record("3.01.00"));
    root.File("home/.config/Quillbox/registry.reg", Record("home"));
    ScopedEnv home("HOME", root.Path("home"));
    for (const auto& [config, version] :
         {std::pair<std::optional<std::string>, std::string>{root.Path("config"), "3.01.00"},
          {std::nullopt, "home"},
          {"relative/config", "home"}}) {
        ScopedEnv xdg("XDG_CONFIG_HOME", config);
        EXPECT_EQ(Version(), version) << config.value_or("unset");
    }
}

// No file, a pipe (at once: the reading child has an alarm) or a file past
// 4 MiB: no key.
TEST(RecordLocation, OnlyARegularFileOfAtMostFourMiBIsARecord) {
    stampwell::testing::TempFolder root;
    ScopedEnv xdg("XDG_CONFIG_HOME", root.Root());
    const std::string file = root.Folder("Quillbox") + "/registry.reg";
    EXPECT_EQ(Version(), "");
    ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
    EXPECT_EQ(stampwell::testing::InChild([] {
                  alarm(10);
                  return RegistryKey::Open(RootKey::CurrentUser, "Software") ? 1 : 0;
              }),
              0);
    std::filesystem::remove(file);
    root.File("Quillbox/registry.reg", Record("3.01.00") + std::string(4 << 20, ';'));
    EXPECT_EQ(Version(), "");
    root.File("Quillbox/registry.reg", Record("3.01.00") + std::string((4 << 20) - 200, ';'));
    EXPECT_EQ(Version(), "3.01.00");
}

} // namespace
