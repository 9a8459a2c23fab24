#include "platform/userstore.h"
#include "testing/environment.h"
#include "testing/tempfolder.h"

#include <gtest/gtest.h>

using namespace stampwell::platform;
using stampwell::testing::ReadBytes;
using stampwell::testing::ScopedEnv;
using stampwell::testing::TempFolder;
using stampwell::testing::WriteBytes;

namespace {

class UserStorePosix : public ::testing::Test {
protected:
    TempFolder config;
    ScopedEnv xdg{"XDG_CONFIG_HOME", config.Root()};
    std::string File() const { return config.Path("Quillbox/registry.reg"); }
};

} // namespace

TEST_F(UserStorePosix, LivesInOneRegeditFileUnderTheConfigFolder) {
    EXPECT_EQ(UserStoreFile(), File());
    EXPECT_FALSE(
        WriteUserString("Software\\Olvadi\\Quillbox\\Stampwell", "Version", "3.01.00").Failed());
    EXPECT_FALSE(
        WriteUserString("Software\\Olvadi\\Quillbox\\Stampwell", "Language", "en").Failed());
    EXPECT_FALSE(WriteUserString("Software\\Stampwell\\Options", "BGColor", "&H8000000F").Failed());
    EXPECT_EQ(ReadBytes(File()), "Windows Registry Editor Version 5.00\n"
                                 "\n"
                                 "[HKEY_CURRENT_USER\\Software\\Olvadi\\Quillbox\\Stampwell]\n"
                                 "\"Version\"=\"3.01.00\"\n"
                                 "\"Language\"=\"en\"\n"
                                 "\n"
                                 "[HKEY_CURRENT_USER\\Software\\Stampwell\\Options]\n"
                                 "\"BGColor\"=\"&H8000000F\"\n"
                                 "\n");
}

TEST_F(UserStorePosix, EscapesBackslashesAndQuotesAndReadsThemBack) {
    const std::string value = R"(C:\Program Files\"Stampwell")";
    EXPECT_FALSE(WriteUserString("Software\\Stampwell\\Options", "App\"Path", value).Failed());
    EXPECT_NE(ReadBytes(File()).find(R"("App\"Path"="C:\\Program Files\\\"Stampwell\"")"),
              std::string::npos);
    EXPECT_EQ(ReadUserString("Software\\Stampwell\\Options", "App\"Path"), value);
    EXPECT_EQ(ReadUserString("software\\STAMPWELL\\options", "app\"path"), value)
        << "names compare without regard to case";
    EXPECT_FALSE(ReadUserString("Software\\Stampwell\\Options", "Missing"));
    EXPECT_FALSE(ReadUserString("Software\\Missing", "App\"Path"));
}

TEST_F(UserStorePosix, ChangesOneValueAndKeepsEverythingElse) {
    ASSERT_EQ(mkdir((config.Path("Quillbox")).c_str(), 0700), 0);
    const std::string before = "Windows Registry Editor Version 5.00\r\n"
                               "\r\n"
                               "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
                               "\"Count\"=dword:00000010\r\n"
                               "\"Blob\"=hex:01,02,\\\r\n"
                               "  03,04\r\n"
                               "\r\n"
                               "[HKEY_CURRENT_USER\\Software\\Olvadi\\Quillbox\\Stampwell]\r\n"
                               "\"version\"=\"1.00\"\r\n"
                               "@=\"default\"\r\n"
                               "\r\n";
    WriteBytes(File(), before);
    EXPECT_FALSE(
        WriteUserString("Software\\Olvadi\\Quillbox\\Stampwell", "Version", "3.01.00").Failed());
    EXPECT_FALSE(
        WriteUserString("Software\\Olvadi\\Quillbox\\Stampwell", "Language", "de").Failed());
    EXPECT_EQ(ReadBytes(File()), "Windows Registry Editor Version 5.00\r\n"
                                 "\r\n"
                                 "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
                                 "\"Count\"=dword:00000010\r\n"
                                 "\"Blob\"=hex:01,02,\\\r\n"
                                 "  03,04\r\n"
                                 "\r\n"
                                 "[HKEY_CURRENT_USER\\Software\\Olvadi\\Quillbox\\Stampwell]\r\n"
                                 "\"Version\"=\"3.01.00\"\r\n"
                                 "@=\"default\"\r\n"
                                 "\"Language\"=\"de\"\r\n"
                                 "\r\n");
}

TEST_F(UserStorePosix, RemoveTakesTheKeyAndItsSubKeysOnly) {
    WriteUserString("Software\\Test", "A", "1");
    WriteUserString("Software\\Test\\Sub", "B", "2");
    WriteUserString("Software\\Testing", "C", "3");
    EXPECT_FALSE(RemoveUserKey("Software\\Test").Failed());
    EXPECT_FALSE(ReadUserString("Software\\Test", "A"));
    EXPECT_FALSE(ReadUserString("Software\\Test\\Sub", "B"));
    EXPECT_EQ(ReadUserString("Software\\Testing", "C"), "3");
}

TEST_F(UserStorePosix, LineBreaksInAValueAreRefused) {
    EXPECT_TRUE(WriteUserString("Software\\Test", "A", "two\nlines").Failed());
    EXPECT_FALSE(ReadUserString("Software\\Test", "A"));
}
