#include "updater/update_texts.h"

#include <array>
#include <gtest/gtest.h>

using namespace stampupdate;

namespace {

// A language past two characters is cut to two and lowered. A command line
// names the folder. (The window's test has the plain cases and the empty record.)
TEST(UpdateTexts, AddressFollowsTheRecordAndTheCommandLine) {
    for (const auto& [language, commandLine, page] :
         {std::array<std::u16string, 3>{u"Deutsch", u"", u"de/update/QSW_3.01.00.htm"},
          {u"DE", u" Beta \u00C4\U00010400\xD801",
           u" beta \u00E4\U00010428\xD801/update/QSW_DE.htm"}})
        EXPECT_EQ(TargetAddress(NormaliseRecord(u"3.01.00", language), commandLine),
                  kSiteRoot + (u"stampwell/" + page));
}

TEST(UpdateTexts, OnlyExactlyDeOrEnHasText) {
    EXPECT_EQ(QuestionText(MessageLines(NormaliseRecord(u"", u"").language)),
              u"This will open your browser to visit the Quillbox Stampwell update website!\r\n"
              u"An active internet connection is required.\r\n\r\nDo you want to go online now?");
    for (const std::u16string language : {u"DE", u"En", u"fr", u"e"})
        EXPECT_EQ(QuestionText(MessageLines(language)), u"\r\n\r\n\r\n");
}

TEST(UpdateTexts, TheArgumentIsWhatFollowsTheProgramName) {
    for (const auto& [commandLine, expected] :
         {std::pair<std::u16string, std::u16string>{u"Stampupdate.exe   ", u""},
          {u"\"C:\\Program Files\\Stampupdate.exe\" 3.01.00 x ", u"3.01.00 x "},
          {u"\"C:\\Program Files\\Stampupdate.exe\"\t\"a b\"", u"\"a b\""},
          {u"\"C:\\S.exe\"x", u"x"},
          {u"\"unclosed quote 3.01.00", u""}})
        EXPECT_EQ(TextAfterProgramName(commandLine), expected);
}

} // namespace
