#include "platform/userstore.h"
#include "testing/environment.h"
#include "testing/recordsamples.h"
#include "testing/tempfolder.h"

#include <cctype>
#include <gtest/gtest.h>
#include <vector>

using namespace stampwell::platform;
using stampwell::testing::ReadBytes;
using stampwell::testing::TempFolder;
using stampwell::testing::WriteBytes;

namespace {

constexpr const char* kKey = "Software\\Olvadi\\Quillbox\\Stampwell";

// The pieces of a file, each up to and with its line end (LF, CR LF, a lone CR).
std::vector<std::string> Pieces(const std::string& bytes) {
    std::vector<std::string> pieces(1);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        pieces.back() += bytes[i];
        if (bytes[i] == '\n' ||
            (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')))
            pieces.emplace_back();
    }
    return pieces;
}

// Whether every piece of `before` but those of the values written is in
// `after`, in order and unchanged; a last piece without a line end may have
// got one.
bool KeepsOtherLines(const std::string& before, const std::string& after) {
    const std::vector<std::string> kept = Pieces(after);
    std::size_t k = 0;
    for (const std::string& piece : Pieces(before)) {
        std::string plain;
        for (const char c : piece)
            if (c != '\0')
                plain += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (piece.empty() || plain.find("\"version\"") != std::string::npos ||
            plain.find("\"language\"") != std::string::npos)
            continue;
        while (k < kept.size() && !kept[k].starts_with(piece))
            ++k;
        if (k++ == kept.size())
            return false;
    }
    return true;
}

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
    EXPECT_EQ(UserStoreFile(), File());
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
    EXPECT_FALSE(ReadUserString("Software\\Stampwell\\Options", "Missing"));
    EXPECT_FALSE(ReadUserString("Software\\Missing", "App\"Path"));
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

TEST_F(UserStorePosix, RemoveTakesTheKeyAndItsSubKeysOnly) {
    WriteUserString("Software\\Testing", "C", "3");
    WriteUserString("Software\\Test", "A", "1");
    WriteUserString("Software\\Test\\Sub", "B", "2");
    EXPECT_FALSE(RemoveUserKey("Software\\Test").Failed());
    EXPECT_FALSE(ReadUserString("Software\\Test", "A"));
    EXPECT_FALSE(ReadUserString("Software\\Test\\Sub", "B"));
    EXPECT_EQ(ReadUserString("Software\\Testing", "C"), "3");
}

// Reads each sample record as Stampupdate does; a write changes only the
// value's own lines and keeps the file's encoding and line ends.
TEST_F(UserStorePosix, SampleRecordsReadAsStampupdateReadsThemAndKeepTheirForm) {
    for (const auto& sample : stampwell::testing::RecordSamples()) {
        config.File("Quillbox/registry.reg", sample.bytes);
        for (const auto& [name, text] : sample.values)
            EXPECT_EQ(ReadUserString(kKey, name), text) << sample.name << ": " << name;
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
        EXPECT_TRUE(KeepsOtherLines(sample.bytes, after)) << sample.name << ":\n" << after;
    }
}
