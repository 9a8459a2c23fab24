#include "app/ini.h"
#include "testing/tempfolder.h"

#include <gtest/gtest.h>

using namespace stampwell::app;
using stampwell::testing::EntryCount;
using stampwell::testing::ReadBytes;
using stampwell::testing::TempFolder;
using stampwell::testing::WriteBytes;

namespace {

const std::string kSample = "\r\n"
                            "; Config file\r\n"
                            ";Language=Commented\r\n"
                            "[Options]\r\n"
                            "Language=English\r\n"
                            "  path =  C:\\Data\\x  \r\n"
                            "Quoted=\"  padded  \"\r\n"
                            "Single='x'\r\n"
                            "Half=\"open\r\n"
                            "Empty=\r\n"
                            "Equals=a=b\r\n"
                            "NoEquals\r\n"
                            "Dup=first\r\n"
                            "Dup=second\r\n"
                            "\r\n"
                            "; a comment\r\n"
                            "[ Other ]\r\n"
                            "Language=Deutsch\r\n"
                            "[Options]\r\n"
                            "Later=unseen\r\n";

} // namespace

TEST(IniRead, ClassicProfileRules) {
    EXPECT_EQ(FindIniValue(kSample, "Options", "Language"), "English");
    EXPECT_EQ(FindIniValue(kSample, "OPTIONS", "language"), "English") << "any case";
    EXPECT_EQ(FindIniValue(kSample, "Options", "Path"), "C:\\Data\\x") << "trimmed";
    EXPECT_EQ(FindIniValue(kSample, "Options", "Quoted"), "  padded  ") << "quotes removed";
    EXPECT_EQ(FindIniValue(kSample, "Options", "Single"), "x");
    EXPECT_EQ(FindIniValue(kSample, "Options", "Half"), "\"open") << "one quote stays";
    EXPECT_EQ(FindIniValue(kSample, "Options", "Empty"), "");
    EXPECT_EQ(FindIniValue(kSample, "Options", "Equals"), "a=b");
    EXPECT_EQ(FindIniValue(kSample, "Options", "Dup"), "first") << "the first one counts";
    EXPECT_EQ(FindIniValue(kSample, "Other", "Language"), "Deutsch") << "blanks in brackets";
    EXPECT_EQ(FindIniValue(kSample, " Other ", "Language"), "Deutsch");
}

TEST(IniRead, MissingThingsGiveNothing) {
    EXPECT_FALSE(FindIniValue(kSample, "Options", "NoEquals"));
    EXPECT_FALSE(FindIniValue(kSample, "Options", ";Language"));
    EXPECT_FALSE(FindIniValue(kSample, "Options", "Missing"));
    EXPECT_FALSE(FindIniValue(kSample, "Missing", "Language"));
    EXPECT_FALSE(FindIniValue(kSample, "Options", "Later")) << "a repeated section is not read";
    EXPECT_FALSE(FindIniValue("", "Options", "Language"));
    EXPECT_FALSE(FindIniValue("Language=x\n", "Options", "Language")) << "before any section";
}

TEST(IniRead, EveryLineEndAndAByteOrderMark) {
    EXPECT_EQ(FindIniValue("[A]\nk=lf\n", "A", "k"), "lf");
    EXPECT_EQ(FindIniValue("[A]\rk=cr\r", "A", "k"), "cr");
    EXPECT_EQ(FindIniValue("[A]\r\nk=crlf", "A", "k"), "crlf");
    EXPECT_EQ(FindIniValue("\xEF\xBB\xBF[A]\r\nk=bom\r\n", "A", "k"), "bom");
}

TEST(IniRead, LongValuesAreReadWhole) {
    const std::string path = "C:\\" + std::string(5000, 'p');
    EXPECT_EQ(FindIniValue("[Options]\r\nPath=" + path + "\r\n", "Options", "Path"), path);
}

TEST(IniRead, BinaryGarbageGivesDefaultsAndNoCrash) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += static_cast<char>((i * 7919) % 256);
    EXPECT_FALSE(FindIniValue(garbage, "Options", "Language"));
    EXPECT_EQ(FindIniValue(garbage + "\n[Options]\nLanguage=English\n", "Options", "Language"),
              "English");
    EXPECT_EQ(FindIniValue(std::string("[Options]\nA=x\0y\n", 15), "Options", "A"),
              std::string("x\0y", 3));
}

TEST(IniWrite, ChangesOnlyThatKeysValue) {
    const std::string out = SetIniValue(kSample, "options", "PATH", "D:\\New");
    std::string expected = kSample;
    expected.replace(expected.find("C:\\Data\\x  "), 11, "D:\\New");
    EXPECT_EQ(out, expected) << "spelling, indentation and blanks before the value stay";
    EXPECT_EQ(FindIniValue(out, "Options", "Path"), "D:\\New");
}

TEST(IniWrite, AddsAMissingKeyAfterTheSectionsLastKey) {
    const std::string text = "[Options]\nA=1\n\n; next\n[Other]\nB=2\n";
    EXPECT_EQ(SetIniValue(text, "Options", "New", "v"),
              "[Options]\nA=1\nNew=v\n\n; next\n[Other]\nB=2\n");
    EXPECT_EQ(SetIniValue("[Options]\r\n[Other]\r\n", "Options", "New", "v"),
              "[Options]\r\nNew=v\r\n[Other]\r\n");
    EXPECT_EQ(SetIniValue("[Options]\nA=1", "Options", "New", "v"), "[Options]\nA=1\nNew=v")
        << "no line break is made up at the end";
}

TEST(IniWrite, AddsAMissingSectionAtTheEnd) {
    EXPECT_EQ(SetIniValue("", "Options", "Language", "English"),
              "[Options]\r\nLanguage=English\r\n");
    EXPECT_EQ(SetIniValue("; c\n[A]\nk=1", "Options", "Language", "x"),
              "; c\n[A]\nk=1\n[Options]\nLanguage=x\n");
}

TEST(IniWrite, ValuesWithBlanksOrQuotesAtTheirEdgesReadBackExactly) {
    struct Case {
        const char* value;
        const char* line;
    };
    for (const Case& c :
         {Case{"Holiday ", "Path=\"Holiday \""}, Case{" Deutsch ", "Path=\" Deutsch \""},
          Case{"\tx", "Path=\"\tx\""}, Case{"\"q\"", "Path=\"\"q\"\""}, Case{"'a", "Path=\"'a\""},
          Case{"b\"", "Path=\"b\"\""}, Case{"\"", "Path=\"\"\""},
          Case{"a \"b\" c", "Path=a \"b\" c"}, Case{"", "Path="}}) {
        const std::string out = SetIniValue("[Options]\r\nPath=x\r\n", "Options", "Path", c.value);
        EXPECT_EQ(out, "[Options]\r\n" + std::string(c.line) + "\r\n") << c.value;
        EXPECT_EQ(FindIniValue(out, "Options", "Path"), c.value);
        EXPECT_EQ(FindIniValue(SetIniValue("", "Options", "New", c.value), "Options", "New"),
                  c.value);
    }
}

TEST(IniWrite, RefusesTextThatCannotBeALine) {
    EXPECT_FALSE(IsStorableIniText("Options", "Path", "a\nb"));
    EXPECT_FALSE(IsStorableIniText("Options", "Path", "a\rb"));
    EXPECT_FALSE(IsStorableIniText("Options", "a=b", "x"));
    EXPECT_FALSE(IsStorableIniText("Opt]ions", "Path", "x"));
    EXPECT_FALSE(IsStorableIniText("", "Path", "x"));
    EXPECT_FALSE(IsStorableIniText("Options", " ", "x"));
    EXPECT_TRUE(IsStorableIniText("Options", "Path", " C:\\[x]=y; z "));
}

TEST(IniFile, MissingFileGivesTheDefaultAndIsCreatedByAWrite) {
    TempFolder temp;
    const std::string file = temp.Path("Stampwell.ini");
    EXPECT_EQ(ReadIniValue(file, "Options", "Filter", "*.*"), "*.*");
    EXPECT_FALSE(WriteIniValue(file, "Options", "Filter", "*.txt").Failed());
    EXPECT_EQ(ReadBytes(file), "[Options]\r\nFilter=*.txt\r\n");
    EXPECT_EQ(ReadIniValue(file, "Options", "Filter", "*.*"), "*.txt");
}

TEST(IniFile, WriteKeepsEveryOtherByte) {
    TempFolder temp;
    const std::string file = temp.Path("Stampwell.ini");
    WriteBytes(file, kSample);
    EXPECT_FALSE(WriteIniValue(file, "Options", "Language", "Deutsch").Failed());
    std::string expected = kSample;
    expected.replace(expected.find("Language=English"), 16, "Language=Deutsch");
    EXPECT_EQ(ReadBytes(file), expected);
    EXPECT_EQ(EntryCount(temp.Root()), 1u) << "no temporary file is left";
}

TEST(IniFile, Windows1252FileIsReadWithItsUmlautsAndStoredAsUtf8) {
    TempFolder temp;
    const std::string file = temp.Path("old.ini");
    WriteBytes(file, "; f\xFCr\r\n[Options]\r\nPath=C:\\M\xFCller\r\n");
    EXPECT_EQ(ReadIniValue(file, "Options", "Path", ""), "C:\\M\xC3\xBCller");
    EXPECT_FALSE(WriteIniValue(file, "Options", "Filter", "*.txt").Failed());
    EXPECT_EQ(ReadBytes(file),
              "; f\xC3\xBCr\r\n[Options]\r\nPath=C:\\M\xC3\xBCller\r\nFilter=*.txt\r\n");
}

TEST(IniFile, RefusedTextLeavesTheFileAlone) {
    TempFolder temp;
    const std::string file = temp.Path("Stampwell.ini");
    WriteBytes(file, kSample);
    const auto error = WriteIniValue(file, "Options", "Path", "two\nlines");
    EXPECT_EQ(error.code, kIniUnstorableText);
    EXPECT_FALSE(error.text.empty());
    EXPECT_EQ(ReadBytes(file), kSample);
}

TEST(IniFile, WriteIntoAMissingFolderFails) {
    TempFolder temp;
    EXPECT_TRUE(WriteIniValue(temp.Path("missing/Stampwell.ini"), "Options", "A", "1").Failed());
    EXPECT_EQ(EntryCount(temp.Root()), 0u);
}
