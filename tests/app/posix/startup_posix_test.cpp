#include "app/modGlobal.h"
#include "app/modINIHandler.h"
#include "app/modRegistry.h"
#include "app/startup.h"
#include "platform/userstore.h"
#include "support/modFSO.h"
#include "testing/asnobody.h"
#include "testing/environment.h"
#include "testing/tempfolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace stampwell::app;
using stampwell::platform::ReadUserString;
using stampwell::support::FileExists;
using stampwell::testing::AsNobody;
using stampwell::testing::ReadBytes;
using stampwell::testing::WriteBytes;

namespace {

constexpr const char* kRecord = "Software\\Olvadi\\Quillbox\\Stampwell";

// A clean profile: XDG_CONFIG_HOME in a temporary folder, and a language
// dialog that counts how often it was shown and answers as told.
class Startup : public ::testing::Test {
protected:
    stampwell::testing::TempFolder config;
    stampwell::testing::ScopedEnv xdg{"XDG_CONFIG_HOME", config.Root()};
    int dialogShown = 0;
    std::vector<std::string> failed;               // folders, then files reported
    std::optional<std::string> answer = "English"; // nothing: closed without OK

    void SetUp() override {
        Global() = GlobalState{};
        Global().LanguageFolder = config.Path("lang");
    }
    void TearDown() override { Global() = GlobalState{}; }

    void Run() {
        const auto report = [this](const std::string& path,
                                   const stampwell::platform::SysError& why) {
            failed.push_back(path + (why.text.empty() ? "" : " reported"));
        };
        RunStartup({[this]() -> std::optional<std::string> {
                        ++dialogShown;
                        if (answer)
                            WriteIni("Options", "Language",
                                     *answer); // what the dialog's OK does
                        return answer;
                    },
                    report, report});
    }
    std::string Ini() const { return config.Path("Quillbox/Stampwell/Stampwell.ini"); }
};

TEST_F(Startup, FirstStartAsksOnceAndLaterStartsUseTheFileAsItIs) {
    WriteBytes(config.Folder("Quillbox") + "/keep.txt", "mine");
    Run();
    EXPECT_EQ(Global().DataPath + Global().IniFile, config.Path("Quillbox/Stampwell") + Ini());
    EXPECT_EQ(Global().LanguageFilePath, config.Path("lang/English.lng"));
    EXPECT_EQ(ReadUserString("Software\\Stampwell\\Options", "BGColor"), "&H8000000F");
    const std::string store = ReadBytes(config.Path("Quillbox/registry.reg"));
    EXPECT_LT(store.find("\"Version\"=\"3.01.00\""), store.find("\"Language\"=\"en\""));
    EXPECT_EQ(ReadBytes(config.Path("Quillbox/keep.txt")), "mine");
    EXPECT_NE(ReadBytes(Ini()).find("\r\nLanguage=English\r\n"), std::string::npos);
    // A later start never rewrites the file; a language stored with blanks is
    // used without them.
    const std::string odd = "[Options]\nLanguage=\" Deutsch \"\n; whatever\n\x01\x02";
    WriteBytes(Ini(), odd);
    SetUp();
    Run();
    EXPECT_EQ(dialogShown, 1) << "the second start asks nothing";
    EXPECT_EQ(ReadBytes(Ini()), odd);
    EXPECT_EQ(Global().CurrentLanguage, "Deutsch");
    EXPECT_EQ(ReadUserString(kRecord, "Language"), "de");
    EXPECT_TRUE(failed.empty());
}

TEST_F(Startup, DialogClosedWithoutOkWritesNoLanguage) {
    answer.reset();
    Run();
    EXPECT_EQ(dialogShown, 1);
    EXPECT_EQ(Global().LanguageFilePath, config.Path("lang/.lng"));
    EXPECT_NE(ReadBytes(Ini()).find("\r\nLanguage=\r\n"), std::string::npos);
    EXPECT_EQ(ReadUserString(kRecord, "Language").value() +
                  ReadUserString(kRecord, "Version").value(),
              "3.01.00");
}

// The profile belongs to root and nobody may write in it: reported, and the
// choice still holds for the run.
TEST_F(Startup, ReadOnlyProfileIsReportedAndStartUpGoesOnWithTheChoice) {
    EXPECT_EQ(AsNobody([&] {
                  Run();
                  const bool ok =
                      failed == std::vector<std::string>{config.Path("Quillbox/Stampwell") +
                                                         " reported"} &&
                      dialogShown == 1 && Global().CurrentLanguage == "English" &&
                      !FileExists(Ini());
                  return ok && WriteRegistryRecord("English").Failed() ? 0 : 1;
              }),
              0);
    EXPECT_FALSE(FileExists(config.Path("Quillbox")));
}

// A pipe or a folder where a file of ours should be: reported and left as it
// is (start-up never waits on a pipe: it runs in a child with an alarm). A
// settings file that is a link leading nowhere or into a folder nobody may
// write: the folder is reported and the link kept.
TEST_F(Startup, FilesThatCannotBeUsedAreReportedAndLeftAlone) {
    config.Folder("lang");
    const std::string folder = config.Folder("Quillbox/Stampwell");
    for (const std::string& odd :
         {Ini(), config.Path("Quillbox/registry.reg"), config.Path("lang/Deutsch.lng")}) {
        for (const std::string& target : {std::string(), std::string("/"), config.Path("missing/x"),
                                          config.Folder("locked") + "/x"}) {
            if (target.size() > 1 && odd != Ini())
                continue;
            WriteBytes(Ini(), "[Options]\r\nLanguage=Deutsch\r\n");
            remove(config.Path("Quillbox/registry.reg").c_str()); // nobody could not read root's
            remove(odd.c_str());
            ASSERT_EQ(target.empty()  ? mkfifo(odd.c_str(), 0600)
                      : target == "/" ? mkdir(odd.c_str(), 0700)
                                      : symlink(target.c_str(), odd.c_str()),
                      0);
            const auto body = [&] {
                alarm(10);
                Run();
                return failed == std::vector<std::string>{(target.size() > 1 ? folder : odd) +
                                                          " reported"}
                           ? 0
                           : 1;
            };
            EXPECT_EQ(target.size() > 1 ? AsNobody(body) : stampwell::testing::InChild(body), 0)
                << odd << " as " << (target.empty() ? "a pipe" : target);
            struct stat info {};
            ASSERT_EQ(lstat(odd.c_str(), &info), 0);
            EXPECT_EQ(info.st_mode & S_IFMT, target.empty()  ? S_IFIFO
                                             : target == "/" ? S_IFDIR
                                                             : S_IFLNK);
            remove(odd.c_str());
        }
    }
}

} // namespace
