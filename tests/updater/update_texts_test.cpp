#include "updater/update_texts.h"

#include <gtest/gtest.h>

using namespace stampupdate;

namespace {

struct AddressCase {
    std::u16string version, language, commandLine;
    std::u16string expected; // below the site root
    friend void PrintTo(const AddressCase& c, std::ostream* out) { *out << c.expected.size(); }
};

class UpdateAddress : public ::testing::TestWithParam<AddressCase> {};

// A language past two characters is cut to two and lowered. A command line
// names the folder. (The window's test has the plain cases and the empty record.)
TEST_P(UpdateAddress, FollowsTheRecordAndTheCommandLine) {
    const AddressCase& c = GetParam();
    EXPECT_EQ(TargetAddress(NormaliseRecord(c.version, c.language), c.commandLine),
              kSiteRoot + c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Records, UpdateAddress,
    ::testing::Values(AddressCase{u"3.01.00", u"Deutsch", u"",
                                  u"stampwell/de/update/QSW_3.01.00.htm"},
                      AddressCase{u"3.01.00", u"DE", u"", u"stampwell/de/update/QSW_3.01.00.htm"},
                      AddressCase{u"3.01.00", u"x", u"", u"stampwell/x/update/QSW_3.01.00.htm"},
                      AddressCase{u"3.01.00", u"DE", u" Beta \u00C4\U00010400\xD801",
                                  u"stampwell/ beta \u00E4\U00010428\xD801/update/QSW_DE.htm"}));

TEST(UpdateTexts, OnlyExactlyDeOrEnHasText) {
    EXPECT_EQ(QuestionText(MessageLines(NormaliseRecord(u"", u"DEU").language)),
              u"Dies wird Ihren Browser öffnen um die Quillbox Stampwell Update Website zu "
              u"besuchen!\r\nHierzu benötigen Sie eine aktive Internetverbindung.\r\n\r\n"
              u"Möchten Sie jetzt Online gehen?");
    EXPECT_EQ(QuestionText(MessageLines(NormaliseRecord(u"", u"").language)),
              u"This will open your browser to visit the Quillbox Stampwell update website!\r\n"
              u"An active internet connection is required.\r\n\r\nDo you want to go online now?");
    for (const std::u16string language : {u"DE", u"En", u"fr", u"e"})
        EXPECT_EQ(QuestionText(MessageLines(language)), u"\r\n\r\n\r\n");
    EXPECT_EQ(QuestionTitle(), u"Quillbox Stampwell Update");
}

TEST(UpdateTexts, TheArgumentIsWhatFollowsTheProgramName) {
    for (const auto& [commandLine, expected] :
         {std::pair<std::u16string, std::u16string>{u"Stampupdate.exe", u""},
          {u"Stampupdate.exe   ", u""},
          {u"Stampupdate.exe 3.01.00", u"3.01.00"},
          {u"\"C:\\Program Files\\Stampupdate.exe\" 3.01.00 x ", u"3.01.00 x "},
          {u"\"C:\\Program Files\\Stampupdate.exe\"\t\"a b\"", u"\"a b\""},
          {u"\"C:\\S.exe\"x", u"x"},
          {u"\"unclosed quote 3.01.00", u""}})
        EXPECT_EQ(TextAfterProgramName(commandLine), expected);
}

} // namespace
