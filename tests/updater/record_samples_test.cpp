#include "testing/recordsamples.h"
#include "updater/record_file.h"

#include <gtest/gtest.h>

using namespace stampupdate;

TEST(RecordSamples, EachSampleGivesItsValues) {
    const auto samples = stampwell::testing::RecordSamples();
    ASSERT_GE(samples.size(), 10u);
    for (const auto& sample : samples) {
        const RecordFile file = RecordFile::Parse(sample.bytes);
        const RecordValues* values =
            file.Key("HKEY_CURRENT_USER\\Software\\Olvadi\\Quillbox\\Stampwell");
        for (const auto& [name, text] : sample.values) {
            const RecordValue* value = values ? FindValue(*values, name) : nullptr;
            EXPECT_EQ(value != nullptr, text.has_value()) << sample.name << ": " << name;
            if (value != nullptr && text) {
                EXPECT_EQ(value->type, kRegSz) << sample.name << ": " << name;
                EXPECT_EQ(std::string(value->data.begin(), value->data.end()), *text + '\0')
                    << sample.name << ": " << name;
            }
        }
    }
}

// 20,000 keys made and removed again, each removal a line of its own.
TEST(RecordSamples, ManyRemovedKeysAreReadInLinearTime) {
    std::string text = "[HKEY_CURRENT_USER\\A]\n\"Version\"=\"3.01.00\"\n";
    for (int i = 0; i < 20000; ++i)
        text += "[HKEY_CURRENT_USER\\A\\K" + std::to_string(i) + "]\n\"x\"=\"y\"\n";
    for (int i = 0; i < 20000; ++i)
        text += "[-HKEY_CURRENT_USER\\A\\K" + std::to_string(i) + "]\n";
    const RecordFile file = RecordFile::Parse(text);
    ASSERT_NE(file.Key("HKEY_CURRENT_USER\\A"), nullptr);
    EXPECT_EQ(file.Key("HKEY_CURRENT_USER\\A\\K19999"), nullptr);
}
