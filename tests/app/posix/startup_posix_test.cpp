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

using namespace stampwell::app;
using stampwell::platform::ReadUserString;
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
                        if (answer) // what the dialog's OK does
                            WriteIni("Options", "Language", *answer);
                        return answer;
                    },
                    report, report});
    }
    std::string Ini() const { return config.Path("Quillbox/Stampwell/Stampwell.ini"); }
};

TEST_F(Startup, FirstStartAsksOnceAndLaterStartsUseTheFileAsItIs) {
    Run();
    EXPECT_EQ(ReadUserString("Software\\Stampwell\\Options", "BGColor"), "&H8000000F");
    EXPECT_EQ(ReadUserString(kRecord, "Version"), "3.01.00");
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
    EXPECT_EQ(Global().LanguageFilePath, config.Path("lang/.lng"));
    EXPECT_EQ(ReadUserString(kRecord, "Language"), "");
}

// The profile belongs to root and nobody may write in it: the folder that
// could not be made is reported, and start-up goes on.
TEST_F(Startup, ReadOnlyProfileIsReportedAndStartUpGoesOn) {
    EXPECT_EQ(AsNobody([&] {
                  Run();
                  const bool ok = failed == std::vector<std::string>{
                                                config.Path("Quillbox/Stampwell") + " reported"};
                  return ok && WriteRegistryRecord("English").Failed() ? 0 : 1;
              }),
              0);
}

// A folder where a file of ours should be (the platform refuses a pipe or a
// dangling link the same way): each one is reported, and the choice the
// settings file could not keep still holds for the run.
TEST_F(Startup, FilesThatCannotBeUsedAreReported) {
    answer = "Deutsch";
    std::vector<std::string> reported;
    for (const char* name :
         {"Quillbox/Stampwell/Stampwell.ini", "lang/Deutsch.lng", "Quillbox/registry.reg"})
        reported.push_back(config.Folder(name) + " reported");
    Run();
    EXPECT_EQ(failed, reported) << "the language file reported is the one chosen";
}

} // namespace
