#include "testing/recordsamples.h"
#include "updater/record_file.h"

#include <gtest/gtest.h>

using namespace stampupdate;
using namespace std::string_view_literals;

namespace {

// A value as "type:bytes" (a REG_SZ's with its ending NUL); nothing for none.
std::optional<std::string> Described(const RecordValue* value) {
    if (value == nullptr)
        return std::nullopt;
    return std::to_string(value->type) + ':' + std::string(value->data.begin(), value->data.end());
}

// One value line (or more) in key A, the value name asked for, and what it gives.
TEST(RecordFile, ValuesAreReadAsRegeditWroteThem) {
    for (const auto& [lines, name, value] :
         std::vector<std::tuple<std::string_view, const char*, std::optional<std::string_view>>>{
             {"\"Version\"=\"3.01.00\"", "VERSION", "1:3.01.00\0"sv},
             {"\"Pa\\\"th\"=\"C:\\\\x\\\\\\\"q\\\"\"", "pa\"th", "1:C:\\x\\\"q\"\0"sv},
             {"@=\"default\"", "", "1:default\0"sv},
             {"\"Bin\"=hex:0a,FF,\\\r\n    10", "bin", "3:\x0A\xFF\x10"sv},
             {"\"B\"=hex:01,\\\n\n  02", "b", "3:\x01"sv},
             {"\"Empty\"=hex:", "empty", "3:"sv},
             {"\"D\"=dword:0000abcd", "d", "4:\xCD\xAB\0\0"sv},
             {"\"E\"=hex(2):25,00,00,00", "e", "2:%\0\0\0"sv},
             {"\"W\"=hex(1):48,00,fc,00,00,00", "w", "1:H\xC3\xBC\0"sv},
             {"\"BadHex\"=hex:01,zz", "badhex", std::nullopt},
             {"\"Wide\"=hex:100", "wide", std::nullopt},
             {"\"T\"=hex(1:00", "t", std::nullopt},
             {"\"Unknown\"=str:abc", "unknown", std::nullopt}}) {
        const RecordFile file = RecordFile::Parse("[HKEY_CURRENT_USER\\A]\n" + std::string(lines));
        EXPECT_EQ(Described(FindValue(*file.Key("HKEY_CURRENT_USER\\A"), name)), value)
            << ::testing::PrintToString(lines);
    }
}

const char kKey[] = "HKEY_CURRENT_USER\\Software\\Olvadi\\Quillbox\\Stampwell";

// The records in tests/records, which Stampwell's own reader is held to as well.
TEST(RecordFile, EachSampleGivesItsValues) {
    const auto samples = stampwell::testing::RecordSamples();
    ASSERT_GE(samples.size(), 10u);
    for (const auto& sample : samples) {
        const RecordFile file = RecordFile::Parse(sample.bytes);
        const RecordValues* values = file.Key(kKey);
        for (const auto& [name, text] : sample.values) {
            EXPECT_EQ(Described(values ? FindValue(*values, name) : nullptr),
                      text ? std::optional("1:" + *text + '\0') : std::nullopt)
                << sample.name << ": " << name;
        }
    }
}

// A key's parents exist without values; a removed key takes its sub-keys
// with it, and values after it belong to none; bytes of no record give no key.
// UTF-8 is read after its byte order mark.
TEST(RecordFile, KeysFollowTheirSectionsAndRemovals) {
    const RecordFile file =
        RecordFile::Parse("\xEF\xBB\xBF[HKEY_CURRENT_USER\\Software\\Olvadi\\Quillbox\\"
                          "Stampwell]\n\"Version\"=\"3.01.00\"\n"
                          "[HKEY_CURRENT_USER\\A\\B]\n[HKEY_CURRENT_USER\\A\\B\\C]\n"
                          "[HKEY_CURRENT_USER\\A\\B2]\n"
                          "[-HKEY_CURRENT_USER\\A\\B]\n\"Orphan\"=\"x\"\n");
    // The number of values, -1 for no key.
    for (const auto& [path, values] : {std::pair<std::string, int>{kKey, 1},
                                       {"HKEY_CURRENT_USER\\Software\\Olvadi", 0},
                                       {"HKEY_CURRENT_USER\\Software\\Olv", -1},
                                       {"HKEY_CURRENT_USER\\A\\B", -1},
                                       {"HKEY_CURRENT_USER\\A\\B\\C", -1},
                                       {"HKEY_CURRENT_USER\\A\\B2", 0}})
        EXPECT_EQ(file.Key(path) ? static_cast<int>(file.Key(path)->size()) : -1, values) << path;
    EXPECT_EQ(RecordFile::Parse("\x89PNG\r\n\x1A\n\0\0"sv).Key("HKEY_CURRENT_USER"), nullptr);
}

} // namespace
