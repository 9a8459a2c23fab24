#include "updater/record_file.h"

#include <gtest/gtest.h>

using namespace stampupdate;
using namespace std::string_view_literals;

namespace {

// One value line (or more) in key A, the value name asked for, and what it
// gives: type 0 for no value; a REG_SZ's data is given without its ending NUL.
struct ValueCase {
    std::string_view lines;
    const char* name;
    std::uint32_t type;
    std::string_view data;
    friend void PrintTo(const ValueCase& c, std::ostream* out) {
        *out << ::testing::PrintToString(c.lines);
    }
};

std::string Data(const RecordValue& value) {
    return {value.data.begin(), value.data.end()};
}

class RecordFileValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(RecordFileValue, IsReadAsRegeditWroteIt) {
    const ValueCase& c = GetParam();
    const RecordFile file = RecordFile::Parse("[HKEY_CURRENT_USER\\A]\n" + std::string(c.lines));
    const RecordValue* value = FindValue(*file.Key("HKEY_CURRENT_USER\\A"), c.name);
    if (c.type == 0) {
        EXPECT_EQ(value, nullptr);
        return;
    }
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->type, c.type);
    std::string data(c.data);
    if (c.type == kRegSz)
        data += '\0';
    EXPECT_EQ(Data(*value), data);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, RecordFileValue,
    ::testing::Values(
        ValueCase{"\"Version\"=\"3.01.00\"", "VERSION", kRegSz, "3.01.00"},
        ValueCase{"  \"V\" = \"x y\"\t", "v", kRegSz, "x y"},
        ValueCase{"\"Pa\\\"th\"=\"C:\\\\x\\\\\\\"q\\\"\"", "pa\"th", kRegSz, "C:\\x\\\"q\""},
        ValueCase{"\"U\"=\"Gr\xC3\xBC\xC3\x9F"
                  "e\"",
                  "u", kRegSz,
                  "Gr\xC3\xBC\xC3\x9F"
                  "e"},
        ValueCase{"@=\"default\"", "", kRegSz, "default"},
        ValueCase{"\"Bin\"=hex:0a,FF,\\\n    10", "bin", kRegBinary, "\x0A\xFF\x10"},
        ValueCase{"\"Bin\"=hex:0a,\\\n\"Next\"=\"x\"", "next", kRegSz, "x"},
        ValueCase{"\"B\"=hex:01,\\\n\n  02", "b", kRegBinary, "\x01"},
        ValueCase{"\"Empty\"=hex:", "empty", kRegBinary, ""},
        ValueCase{"\"D\"=dword:0000abcd", "d", kRegDword, "\xCD\xAB\0\0"sv},
        ValueCase{"\"E\"=hex(2):25,00,00,00", "e", 2, "%\0\0\0"sv},
        ValueCase{"\"W\"=hex(1):48,00,fc,00,00,00", "w", kRegSz, "H\xC3\xBC"},
        ValueCase{"\"V\"=\"1\"\r\"V\"=\"2\"\r\n", "v", kRegSz, "2"},
        ValueCase{"\"Gone\"=\"x\"\n\"Gone\"=-", "gone", 0, ""},
        ValueCase{"\"Open\"=\"no closing quote\n\"Good\"=\"kept\"", "good", kRegSz, "kept"},
        ValueCase{"\"Open\"=\"no closing quote", "open", 0, ""},
        ValueCase{"\"Junk\"=\"x\" trailing", "junk", 0, ""},
        ValueCase{"\"BadHex\"=hex:01,zz", "badhex", 0, ""},
        ValueCase{"\"Wide\"=hex:100", "wide", 0, ""}, ValueCase{"\"T\"=hex(1:00", "t", 0, ""},
        ValueCase{"\"BadDword\"=dword:123456789", "baddword", 0, ""},
        ValueCase{"\"Unknown\"=str:abc", "unknown", 0, ""},
        ValueCase{"NoQuotes=\"x\"", "noquotes", 0, ""},
        ValueCase{"[Unclosed\n\"Also\"=\"kept\"", "also", kRegSz, "kept"}));

const char kKey[] = "HKEY_CURRENT_USER\\Software\\Olvadi\\Quillbox\\Stampwell";

TEST(RecordFile, ReadsUtf16WithItsByteOrderMarkAndUtf8WithOrWithoutOne) {
    const std::string text = "Windows Registry Editor Version 5.00\r\n\r\n"
                             "[HKEY_CURRENT_USER\\Software\\Olvadi\\Quillbox\\Stampwell]\r\n"
                             "\"Version\"=\"3.01.00\"\r\n\"Flag\"=hex:01,00,\\\r\n  02,00\r\n";
    std::string utf16 = "\xFF\xFE";
    for (const char c : text)
        utf16 += {c, '\0'};
    for (const std::string& bytes : {utf16, "\xEF\xBB\xBF" + text, text}) {
        const RecordFile file = RecordFile::Parse(bytes);
        ASSERT_NE(file.Key(kKey), nullptr);
        EXPECT_EQ(Data(file.Key(kKey)->at("version")), "3.01.00\0"sv);
        EXPECT_EQ(Data(file.Key(kKey)->at("flag")), "\1\0\2\0"sv);
    }
}

// Key paths in any case; a key's parents exist without values; a removed key
// takes its sub-keys with it; values outside a key belong to none.
TEST(RecordFile, KeysFollowTheirSectionsAndRemovals) {
    const RecordFile file =
        RecordFile::Parse("\"Before\"=\"no key yet\"\n"
                          "[hkey_current_user\\SOFTWARE\\Olvadi\\Quillbox\\Stampwell]\n"
                          "\"Version\"=\"3.01.00\"\n"
                          "[HKEY_CURRENT_USER\\A\\B]\n[HKEY_CURRENT_USER\\A\\B\\C]\n"
                          "[HKEY_CURRENT_USER\\A\\B2]\n"
                          "[-HKEY_CURRENT_USER\\A\\B]\n\"Orphan\"=\"x\"\n");
    ASSERT_NE(file.Key(kKey), nullptr);
    EXPECT_EQ(file.Key(kKey)->size(), 1u);
    ASSERT_NE(file.Key("HKEY_CURRENT_USER\\Software\\Olvadi"), nullptr);
    EXPECT_TRUE(file.Key("HKEY_CURRENT_USER\\Software\\Olvadi")->empty());
    EXPECT_EQ(file.Key("HKEY_CURRENT_USER\\Software\\Olv"), nullptr);
    EXPECT_EQ(file.Key(std::string(kKey) + "\\Sub"), nullptr);
    EXPECT_EQ(file.Key("HKEY_CURRENT_USER\\A\\B"), nullptr);
    EXPECT_EQ(file.Key("HKEY_CURRENT_USER\\A\\B\\C"), nullptr);
    ASSERT_NE(file.Key("HKEY_CURRENT_USER\\A\\B2"), nullptr);
    EXPECT_TRUE(file.Key("HKEY_CURRENT_USER\\A\\B2")->empty());
    EXPECT_EQ(RecordFile::Parse("\x89PNG\r\n\x1A\n\0\0"sv).Key("HKEY_CURRENT_USER"), nullptr);
}

TEST(RecordFile, Utf16PairsAreDecodedAndLoneSurrogatesReplaced) {
    EXPECT_EQ(Utf16LeToUtf8("A\0\xAC\x20\xE9\0"sv), "A\xE2\x82\xAC\xC3\xA9");
    EXPECT_EQ(Utf16LeToUtf8("\x3D\xD8\x00\xDC\xFF\xDB\xFF\xDF"sv),
              "\xF0\x9F\x90\x80\xF4\x8F\xBF\xBF");
    EXPECT_EQ(Utf16LeToUtf8("\x3D\xD8"
                            "b\0"sv),
              "\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(Utf16LeToUtf8("\xFF\xDB\x00\xE0\x00\xDC\x3D\xD8"sv),
              "\xEF\xBF\xBD\xEE\x80\x80\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(Utf16LeToUtf8("a\0b"sv), "a");
}

} // namespace
