#include "testing/recordsamples.h"
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
    ::testing::Values(ValueCase{"\"Version\"=\"3.01.00\"", "VERSION", kRegSz, "3.01.00"},
                      ValueCase{"\"Pa\\\"th\"=\"C:\\\\x\\\\\\\"q\\\"\"", "pa\"th", kRegSz,
                                "C:\\x\\\"q\""},
                      ValueCase{"@=\"default\"", "", kRegSz, "default"},
                      ValueCase{"\"Bin\"=hex:0a,FF,\\\n    10", "bin", kRegBinary, "\x0A\xFF\x10"},
                      ValueCase{"\"Bin\"=hex:0a,\\\n\"Next\"=\"x\"", "next", kRegSz, "x"},
                      ValueCase{"\"B\"=hex:01,\\\n\n  02", "b", kRegBinary, "\x01"},
                      ValueCase{"\"Empty\"=hex:", "empty", kRegBinary, ""},
                      ValueCase{"\"D\"=dword:0000abcd", "d", kRegDword, "\xCD\xAB\0\0"sv},
                      ValueCase{"\"E\"=hex(2):25,00,00,00", "e", 2, "%\0\0\0"sv},
                      ValueCase{"\"W\"=hex(1):48,00,fc,00,00,00", "w", kRegSz, "H\xC3\xBC"},
                      ValueCase{"\"BadHex\"=hex:01,zz", "badhex", 0, ""},
                      ValueCase{"\"Wide\"=hex:100", "wide", 0, ""},
                      ValueCase{"\"T\"=hex(1:00", "t", 0, ""},
                      ValueCase{"\"Unknown\"=str:abc", "unknown", 0, ""}));

const char kKey[] = "HKEY_CURRENT_USER\\Software\\Olvadi\\Quillbox\\Stampwell";

// The records in tests/records, which Stampwell's own reader is held to as well.
TEST(RecordFile, EachSampleGivesItsValues) {
    const auto samples = stampwell::testing::RecordSamples();
    ASSERT_GE(samples.size(), 10u);
    for (const auto& sample : samples) {
        const RecordFile file = RecordFile::Parse(sample.bytes);
        const RecordValues* values = file.Key(kKey);
        for (const auto& [name, text] : sample.values) {
            const RecordValue* value = values ? FindValue(*values, name) : nullptr;
            // A text value as "1:" (REG_SZ) and its bytes.
            EXPECT_EQ(value ? std::optional(std::to_string(value->type) + ':' + Data(*value))
                            : std::nullopt,
                      text ? std::optional("1:" + *text + '\0') : std::nullopt)
                << sample.name << ": " << name;
        }
    }
}

TEST(RecordFile, ReadsUtf8AfterItsByteOrderMark) {
    const RecordFile file = RecordFile::Parse("\xEF\xBB\xBF[HKEY_CURRENT_USER\\A]\n\"V\"=\"x\"");
    ASSERT_NE(file.Key("HKEY_CURRENT_USER\\A"), nullptr);
    EXPECT_EQ(Data(file.Key("HKEY_CURRENT_USER\\A")->at("v")), "x\0"sv);
}

// A key's parents exist without values; a removed key takes its sub-keys
// with it, and values after it belong to none; bytes of no record give no key.
TEST(RecordFile, KeysFollowTheirSectionsAndRemovals) {
    const RecordFile file =
        RecordFile::Parse("[HKEY_CURRENT_USER\\Software\\Olvadi\\Quillbox\\"
                          "Stampwell]\n\"Version\"=\"3.01.00\"\n"
                          "[HKEY_CURRENT_USER\\A\\B]\n[HKEY_CURRENT_USER\\A\\B\\C]\n"
                          "[HKEY_CURRENT_USER\\A\\B2]\n"
                          "[-HKEY_CURRENT_USER\\A\\B]\n\"Orphan\"=\"x\"\n");
    // The number of values, -1 for no key.
    for (const auto& [path, values] : {std::pair<std::string, int>{kKey, 1},
                                       {"HKEY_CURRENT_USER\\Software\\Olvadi", 0},
                                       {"HKEY_CURRENT_USER\\Software\\Olv", -1},
                                       {std::string(kKey) + "\\Sub", -1},
                                       {"HKEY_CURRENT_USER\\A\\B", -1},
                                       {"HKEY_CURRENT_USER\\A\\B\\C", -1},
                                       {"HKEY_CURRENT_USER\\A\\B2", 0}})
        EXPECT_EQ(file.Key(path) ? static_cast<int>(file.Key(path)->size()) : -1, values) << path;
    EXPECT_EQ(RecordFile::Parse("\x89PNG\r\n\x1A\n\0\0"sv).Key("HKEY_CURRENT_USER"), nullptr);
}

// 20,000 keys made and removed again, each removal a line of its own.
TEST(RecordFile, ManyRemovedKeysAreReadInLinearTime) {
    std::string made = "[HKEY_CURRENT_USER\\A]\n\"Version\"=\"3.01.00\"\n";
    std::string removed;
    for (int i = 0; i < 20000; ++i) {
        made += "[HKEY_CURRENT_USER\\A\\K" + std::to_string(i) + "]\n\"x\"=\"y\"\n";
        removed += "[-HKEY_CURRENT_USER\\A\\K" + std::to_string(i) + "]\n";
    }
    const RecordFile file = RecordFile::Parse(made + removed);
    ASSERT_NE(file.Key("HKEY_CURRENT_USER\\A"), nullptr);
    EXPECT_EQ(file.Key("HKEY_CURRENT_USER\\A\\K19999"), nullptr);
}

// Pairs decoded; a lone surrogate (also one last) is U+FFFD; an odd last byte goes.
TEST(RecordFile, Utf16PairsAreDecodedAndLoneSurrogatesReplaced) {
    EXPECT_EQ(Utf16LeToUtf8("A\0\xAC\x20\xE9\0\x3D\xD8\x00\xDC\xFF\xDB\xFF\xDF\x3D\xD8"
                            "b\0\xFF\xDB\x00\xE0\x00\xDC\x3D\xD8"
                            "a"sv),
              "A\xE2\x82\xAC\xC3\xA9\xF0\x9F\x90\x80\xF4\x8F\xBF\xBF\xEF\xBF\xBD"
              "b\xEF\xBF\xBD\xEE\x80\x80\xEF\xBF\xBD\xEF\xBF\xBD");
}

} // namespace
