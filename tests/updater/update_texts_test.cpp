#include "updater/update_texts.h"

#include <gtest/gtest.h>

using namespace stampupdate;

namespace {

TEST(UpdateTexts, TheAddressFollowsTheRecordAndTheCommandLine) {
    struct Case {
        std::u16string version, language, commandLine;
        std::u16string expected; // below the site root
    };
    const Case cases[] = {
        {u"3.01.00", u"en", u"", u"stampwell/en/update/QSW_3.01.00.htm"},
        {u"3.01.00", u"en", u"3.01.00", u"stampwell/3.01.00/update/QSW_en.htm"},
        {u"", u"", u"", u"stampwell/en/update/QSW_NotFound.htm"},
        {u"3.01.00", u"DEU", u"", u"stampwell/de/update/QSW_3.01.00.htm"},
        {u"3.01.00", u"DE", u"", u"stampwell/de/update/QSW_3.01.00.htm"},
        {u"3.01.00", u"DE", u" Beta Ä", u"stampwell/ beta ä/update/QSW_DE.htm"},
        {u"3.01.00", u"fr", u"", u"stampwell/fr/update/QSW_3.01.00.htm"},
    };
    int row = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(TargetAddress(NormaliseRecord(c.version, c.language), c.commandLine),
                  kSiteRoot + c.expected)
            << "row " << row++;
    }
}

TEST(UpdateTexts, OnlyExactlyDeOrEnHasText) {
    EXPECT_EQ(QuestionText(MessageLines(NormaliseRecord(u"", u"Deutsch").language)),
              u"Dies wird Ihren Browser öffnen um die Quillbox Stampwell Update Website zu "
              u"besuchen!\r\nHierzu benötigen Sie eine aktive Internetverbindung.\r\n\r\n"
              u"Möchten Sie jetzt Online gehen?");
    EXPECT_EQ(QuestionText(MessageLines(u"en")),
              u"This will open your browser to visit the Quillbox Stampwell update website!\r\n"
              u"An active internet connection is required.\r\n\r\nDo you want to go online now?");
    for (const std::u16string language : {u"DE", u"En", u"fr", u"e"}) {
        EXPECT_EQ(QuestionText(MessageLines(language)), u"\r\n\r\n\r\n");
    }
    EXPECT_EQ(QuestionTitle(), u"Quillbox Stampwell Update");
}

TEST(UpdateTexts, TheArgumentIsWhatFollowsTheProgramName) {
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"Stampupdate.exe", u""},
        {u"Stampupdate.exe   ", u""},
        {u"Stampupdate.exe 3.01.00", u"3.01.00"},
        {u"\"C:\\Program Files\\Stampupdate.exe\" 3.01.00 x ", u"3.01.00 x "},
        {u"\"C:\\Program Files\\Stampupdate.exe\"\t\"a b\"", u"\"a b\""},
        {u"\"unclosed quote 3.01.00", u""},
    };
    for (const auto& [commandLine, expected] : cases) {
        EXPECT_EQ(TextAfterProgramName(commandLine), expected);
    }
}

} // namespace
