#include "app/modGlobal.h"
#include "app/modINIHandler.h"
#include "app/startup.h"
#include "platform/userstore.h"
#include "support/modFSO.h"
#include "testing/asnobody.h"
#include "testing/environment.h"
#include "testing/tempfolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <vector>

using namespace stampwell::app;
using stampwell::platform::ReadUserString;
using stampwell::support::FileExists;
using stampwell::support::FolderExists;
using stampwell::testing::AsNobody;
using stampwell::testing::InChild;
using stampwell::testing::ReadBytes;
using stampwell::testing::ScopedEnv;
using stampwell::testing::TempFolder;
using stampwell::testing::WriteBytes;

namespace {

constexpr const char* kRecord = "Software\\Olvadi\\Quillbox\\Stampwell";

// A clean profile: XDG_CONFIG_HOME in a temporary folder, and a language
// dialog that records how often it was shown and answers as told.
class Startup : public ::testing::Test {
protected:
    TempFolder config;
    ScopedEnv xdg{"XDG_CONFIG_HOME", config.Root()};
    int dialogShown = 0;
    int failuresShown = 0;
    std::string failedFolder;
    std::optional<std::string> answer = "English"; // nothing: closed without OK

    void SetUp() override {
        Global() = GlobalState{};
        Global().LanguageFolder = config.Path("lang");
    }
    void TearDown() override { Global() = GlobalState{}; }

    StartupHooks Hooks() {
        return {[this]() -> std::optional<std::string> {
                    ++dialogShown;
                    if (answer)
                        WriteIni("Options", "Language", *answer); // what the dialog's OK does
                    return answer;
                },
                [this](const std::string& folder, const stampwell::platform::SysError& reason) {
                    ++failuresShown;
                    failedFolder = folder;
                    EXPECT_TRUE(reason.Failed());
                    EXPECT_FALSE(reason.text.empty());
                },
                {}};
    }
    std::string Ini() const { return config.Path("Quillbox/Stampwell/Stampwell.ini"); }
};

} // namespace

TEST_F(Startup, FirstStartCreatesTheProfileAndAsksForALanguage) {
    RunStartup(Hooks());
    EXPECT_TRUE(FolderExists(config.Path("Quillbox/Stampwell")));
    EXPECT_TRUE(FileExists(Ini()));
    EXPECT_EQ(dialogShown, 1);
    EXPECT_EQ(Global().DataPath, config.Path("Quillbox/Stampwell"));
    EXPECT_EQ(Global().IniFile, Ini());
    EXPECT_EQ(Global().CurrentLanguage, "English");
    EXPECT_EQ(Global().LanguageFilePath, config.Path("lang/English.lng"));
    EXPECT_EQ(ReadUserString(kRecord, "Version"), "3.01.00");
    EXPECT_EQ(ReadUserString(kRecord, "Language"), "en");
    EXPECT_EQ(ReadUserString("Software\\Stampwell\\Options", "BGColor"), "&H8000000F");
    EXPECT_NE(ReadBytes(Ini()).find("\r\nLanguage=English\r\n"), std::string::npos);
}

TEST_F(Startup, SecondStartAsksNothingAndLeavesTheFileByteForByte) {
    RunStartup(Hooks());
    const std::string before = ReadBytes(Ini());
    Global() = GlobalState{};
    RunStartup(Hooks());
    EXPECT_EQ(dialogShown, 1);
    EXPECT_EQ(ReadBytes(Ini()), before);
    EXPECT_EQ(Global().CurrentLanguage, "English");
}

TEST_F(Startup, AnExistingFileIsNeverOverwritten) {
    ASSERT_EQ(stampwell::support::CreateFolder(config.Path("Quillbox/Stampwell")), "");
    const std::string odd = "[Options]\nLanguage=Deutsch\n; whatever\n\x01\x02";
    WriteBytes(Ini(), odd);
    RunStartup(Hooks());
    EXPECT_EQ(dialogShown, 0);
    EXPECT_EQ(ReadBytes(Ini()), odd);
    EXPECT_EQ(ReadUserString(kRecord, "Language"), "de");
}

TEST_F(Startup, DialogClosedWithoutOkWritesNothing) {
    answer.reset();
    RunStartup(Hooks());
    EXPECT_EQ(dialogShown, 1);
    EXPECT_EQ(Global().CurrentLanguage, "");
    EXPECT_EQ(Global().LanguageFilePath, config.Path("lang/.lng"));
    EXPECT_NE(ReadBytes(Ini()).find("\r\nLanguage=\r\n"), std::string::npos);
    EXPECT_EQ(ReadUserString(kRecord, "Language"), "");
    EXPECT_EQ(ReadUserString(kRecord, "Version"), "3.01.00");
}

TEST_F(Startup, OnlyTheMissingFolderIsCreated) {
    ASSERT_EQ(mkdir((config.Path("Quillbox")).c_str(), 0700), 0);
    WriteBytes(config.Path("Quillbox/keep.txt"), "mine");
    RunStartup(Hooks());
    EXPECT_TRUE(FileExists(Ini()));
    EXPECT_EQ(ReadBytes(config.Path("Quillbox/keep.txt")), "mine");
}

TEST_F(Startup, ReadOnlyProfileIsReportedAndStartUpGoesOnWithTheChoice) {
    // The profile belongs to root and nobody may write in it.
    const int result = AsNobody([&] {
        RunStartup(Hooks());
        const bool ok = failuresShown == 1 && failedFolder == config.Path("Quillbox/Stampwell") &&
                        dialogShown == 1 && Global().CurrentLanguage == "English" &&
                        !FileExists(Ini());
        return ok ? 0 : 1;
    });
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(FolderExists(config.Path("Quillbox")));
}

// Start-up never waits on them: it runs in a child with an alarm.
TEST_F(Startup, FilesThatAreNoRegularFilesAreReportedAndLeftAlone) {
    ASSERT_EQ(stampwell::support::CreateFolder(config.Path("Quillbox/Stampwell")), "");
    ASSERT_EQ(stampwell::support::CreateFolder(config.Path("lang")), "");
    for (const std::string& odd :
         {Ini(), config.Path("Quillbox/registry.reg"), config.Path("lang/Deutsch.lng")}) {
        for (const bool folder : {false, true}) {
            WriteBytes(Ini(), "[Options]\r\nLanguage=\" Deutsch \"\r\n");
            remove(odd.c_str());
            ASSERT_EQ(folder ? mkdir(odd.c_str(), 0700) : mkfifo(odd.c_str(), 0600), 0);
            const int result = InChild([&] {
                alarm(10);
                std::vector<std::string> reported;
                StartupHooks hooks = Hooks();
                hooks.fileUnusable = [&](const std::string& path, const auto&) {
                    reported.push_back(path);
                };
                RunStartup(hooks);
                return reported == std::vector<std::string>{odd} ? 0 : 1;
            });
            EXPECT_EQ(result, 0) << odd << (folder ? " as a folder" : " as a pipe");
            struct stat info {};
            ASSERT_EQ(stat(odd.c_str(), &info), 0);
            EXPECT_TRUE(folder ? S_ISDIR(info.st_mode) : S_ISFIFO(info.st_mode)) << odd;
            remove(odd.c_str());
        }
    }
}

// A settings file that is a link leading nowhere, or into a folder nobody may
// write: reported, defaults, and the link stays as it was.
TEST_F(Startup, SettingsLinkThatCannotBeWrittenIsReportedAndKept) {
    ASSERT_EQ(stampwell::support::CreateFolder(config.Path("Quillbox/Stampwell")), "");
    ASSERT_EQ(stampwell::support::CreateFolder(config.Path("locked")), "");
    for (const std::string& target :
         {config.Path("missing/Stampwell.ini"), config.Path("locked/x.ini")}) {
        remove(Ini().c_str());
        ASSERT_EQ(symlink(target.c_str(), Ini().c_str()), 0);
        const int result = AsNobody([&] {
            RunStartup(Hooks());
            return failuresShown == 1 && Global().CurrentLanguage == "English" ? 0 : 1;
        });
        EXPECT_EQ(result, 0) << target;
        struct stat info {};
        ASSERT_EQ(lstat(Ini().c_str(), &info), 0);
        EXPECT_TRUE(S_ISLNK(info.st_mode)) << target;
        EXPECT_FALSE(FileExists(target)) << target;
    }
}
