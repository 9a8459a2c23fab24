#include "updater/modRegistry.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace stampupdate;
namespace fs = std::filesystem;

namespace {

const char kSubKey[] = "Software\\Olvadi\\Quillbox\\Stampwell";

std::optional<std::string> Env(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::nullopt : std::optional<std::string>(value);
}

void Restore(const char* name, const std::optional<std::string>& value) {
    if (value) {
        setenv(name, value->c_str(), 1);
    } else {
        unsetenv(name);
    }
}

// A scratch home and config folder; $HOME and $XDG_CONFIG_HOME come back afterwards.
class RecordLocation : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() /
               ("stampupdate-home-" + std::to_string(std::random_device{}()));
        fs::create_directories(root);
    }
    void TearDown() override {
        Restore("HOME", savedHome);
        Restore("XDG_CONFIG_HOME", savedConfig);
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }

    static void Write(const fs::path& file, const std::string& bytes) {
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
    }

    static std::string Version() {
        return ReadRegistryText(RootKey::CurrentUser, kSubKey, "Version");
    }

    static std::string Record(const std::string& version) {
        return "Windows Registry Editor Version 5.00\n\n"
               "[HKEY_CURRENT_USER\\Software\\Olvadi\\Quillbox\\Stampwell]\n"
               "\"Version\"=\"" +
               version + "\"\n";
    }

    fs::path root;
    std::optional<std::string> savedHome = Env("HOME");
    std::optional<std::string> savedConfig = Env("XDG_CONFIG_HOME");
};

} // namespace

TEST_F(RecordLocation, ConfigHomeHoldsTheRecord) {
    Write(root / "config" / "Quillbox" / "registry.reg", Record("3.01.00"));
    Write(root / "home" / ".config" / "Quillbox" / "registry.reg", Record("home"));
    setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    setenv("HOME", (root / "home").c_str(), 1);
    EXPECT_EQ(Version(), "3.01.00");
}

TEST_F(RecordLocation, WithoutAnAbsoluteConfigHomeTheRecordIsUnderHome) {
    Write(root / "home" / ".config" / "Quillbox" / "registry.reg", Record("home"));
    setenv("HOME", (root / "home").c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(Version(), "home");
    setenv("XDG_CONFIG_HOME", "", 1);
    EXPECT_EQ(Version(), "home");
    setenv("XDG_CONFIG_HOME", "relative/config", 1);
    EXPECT_EQ(Version(), "home");
}

TEST_F(RecordLocation, NoFileOrAFolderInItsPlaceMeansNoKey) {
    setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    EXPECT_FALSE(RegistryKey::Open(RootKey::CurrentUser, kSubKey));
    fs::create_directories(root / "config" / "Quillbox" / "registry.reg");
    EXPECT_FALSE(RegistryKey::Open(RootKey::CurrentUser, kSubKey));
    EXPECT_EQ(Version(), "");
}

// A pipe, a device node (the zero device, made in the test's folder) or a file
// past 4 MiB: no key, and at once (the reading child has an alarm).
TEST_F(RecordLocation, NoRegularFileOrATooLargeOneMeansNoKeyAtOnce) {
    setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    const fs::path file = root / "config" / "Quillbox" / "registry.reg";
    fs::create_directories(file.parent_path());
    for (int kind = 0; kind < 3; ++kind) {
        fs::remove(file);
        if (kind == 0) {
            ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
        } else if (kind == 1) {
            ASSERT_EQ(mknod(file.c_str(), S_IFCHR | 0600, makedev(1, 5)), 0);
        } else {
            Write(file, Record("3.01.00") + std::string(4 * 1024 * 1024, ';'));
        }
        const pid_t child = fork();
        if (child == 0) {
            alarm(10);
            _exit(RegistryKey::Open(RootKey::CurrentUser, kSubKey) ? 1 : 0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "kind " << kind;
    }
}
