#include "platform/userstore.h"
#include "testing/environment.h"
#include "testing/recordsamples.h"
#include "testing/tempfolder.h"

#include <gtest/gtest.h>

using namespace stampwell::platform;
using stampwell::testing::ReadBytes;
using stampwell::testing::TempFolder;

namespace {

constexpr const char* kKey = "Software\\Olvadi\\Quillbox\\Stampwell";

class UserStorePosix : public ::testing::Test {
protected:
    TempFolder config;
    stampwell::testing::ScopedEnv xdg{"XDG_CONFIG_HOME", config.Root()};
    std::string File() const { return config.Path("Quillbox/registry.reg"); }
};

} // namespace

// A new file is written in regedit's form; names compare without regard to
// case, quotes and backslashes are escaped, a line break is refused.
TEST_F(UserStorePosix, LivesInOneRegeditFileUnderTheConfigFolder) {
    EXPECT_FALSE(WriteUserString(kKey, "Version", "3.01.00").Failed());
    EXPECT_FALSE(
        WriteUserString("Software\\Stampwell\\Options", "App\"Path", R"(C:\"x")").Failed());
    EXPECT_TRUE(WriteUserString(kKey, "Language", "two\nlines").Failed());
    EXPECT_EQ(ReadBytes(File()), "Windows Registry Editor Version 5.00\n\n"
                                 "[HKEY_CURRENT_USER\\Software\\Olvadi\\Quillbox\\Stampwell]\n"
                                 "\"Version\"=\"3.01.00\"\n\n"
                                 "[HKEY_CURRENT_USER\\Software\\Stampwell\\Options]\n"
                                 "\"App\\\"Path\"=\"C:\\\\\\\"x\\\"\"\n\n");
    EXPECT_EQ(ReadUserString("software\\STAMPWELL\\options", "app\"path"), R"(C:\"x")");
}

// A new line takes the end of the file's first line; a value given again in
// a form Stampupdate does not take leaves the one before in force, and so
// does the removal of a key whose name merely begins the same.
TEST_F(UserStorePosix, ChangesOneValueAndKeepsEverythingElse) {
    const std::string head = "Windows Registry Editor Version 5.00\r\n\n"
                             "[HKEY_CURRENT_USER\\Software\\Other]\n"
                             "\"Count\"=\"16\"\n"
                             "\"Count\"=hex(2:00\n"
                             "\"Bytes\"=\"x\"\n"
                             "\"Bytes\"=hex:ab,1f\n"
                             "\"Blob\"=hex:01,02,\\\n"
                             "  03,04\n\n"
                             "[-HKEY_CURRENT_USER\\Software\\Othe]\n"
                             "[HKEY_CURRENT_USER\\Software\\Olvadi\\Quillbox\\Stampwell]\n";
    config.File("Quillbox/registry.reg", head + "\"version\"=\"1.00\"\n@=\"default\"\n\n");
    EXPECT_EQ(ReadUserString("Software\\Other", "Count"), "16");
    EXPECT_NE(ReadUserString("Software\\Other", "Bytes"), "x") << "bytes given later count";
    EXPECT_FALSE(WriteUserString(kKey, "Version", "3.01.00").Failed());
    EXPECT_FALSE(WriteUserString(kKey, "Language", "de").Failed());
    EXPECT_EQ(ReadBytes(File()),
              head + "\"Version\"=\"3.01.00\"\r\n@=\"default\"\n\"Language\"=\"de\"\r\n\n");
}

// A write to each sample record keeps the file's encoding and every other
// value as Stampupdate reads it; writing the value it holds changes no byte.
TEST_F(UserStorePosix, SampleRecordsKeepTheirEncodingAndOtherValues) {
    for (const auto& sample : stampwell::testing::RecordSamples()) {
        config.File("Quillbox/registry.reg", sample.bytes);
        EXPECT_FALSE(WriteUserString(kKey, "Version", "9.99").Failed()) << sample.name;
        EXPECT_FALSE(WriteUserString(kKey, "language", "xx").Failed()) << sample.name;
        EXPECT_EQ(ReadUserString(kKey, "Version"), "9.99") << sample.name;
        EXPECT_EQ(ReadUserString(kKey, "Language"), "xx") << sample.name;
        for (const auto& [name, text] : sample.values) {
            if (name != "Version" && name != "Language") {
                EXPECT_EQ(ReadUserString(kKey, name), text) << sample.name << ": " << name;
            }
        }
        const std::string after = ReadBytes(File());
        EXPECT_EQ(after.starts_with("\xFF\xFE"), sample.bytes.starts_with("\xFF\xFE"))
            << sample.name;
        EXPECT_FALSE(WriteUserString(kKey, "Version", "9.99").Failed()) << sample.name;
        EXPECT_EQ(ReadBytes(File()), after) << sample.name << ": the same value written again";
    }
}
