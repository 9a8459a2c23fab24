#include "platform/posix/dosattrib.h"

#include <gtest/gtest.h>

using namespace stampwell::platform::posix;
using Form = DosAttrib::Form;

namespace {

constexpr std::uint64_t kTicks = 0x01dd860ce27a776c;
constexpr std::uint64_t kOther = 0x01c08d967dc7db87;

std::string Le(std::uint64_t value, int size) {
    std::string bytes;
    for (int i = 0; i < size; ++i)
        bytes.push_back(static_cast<char>(value >> (8 * i)));
    return bytes;
}

// Samba's record: the text, a NUL, padding to 2, the version twice, padding
// to 4, the fields (flags, word, and where the version has it the time).
std::string Record(const std::string& text, std::uint16_t version, const std::string& fields) {
    std::string bytes = text + '\0';
    bytes.resize(bytes.size() + bytes.size() % 2);
    bytes += Le(version, 2) + Le(version, 2);
    bytes.resize((bytes.size() + 3) / 4 * 4);
    return bytes + fields;
}

const std::string kV5 = Record("", 5, Le(0x11, 4) + Le(3, 4) + Le(kTicks, 8));

struct Sample {
    const char* name;
    std::string bytes;
    Form form;
    std::uint32_t word;
    std::optional<std::uint64_t> created;
    bool exact = false; // the word and the creation time were valid: put back, all is as it was
};

class DosAttribSamples : public ::testing::TestWithParam<Sample> {};

} // namespace

// Every sample is read as far as it goes; a rewrite changes the word and the
// creation time and nothing else, and a Foreign value is never rewritten.
TEST_P(DosAttribSamples, ReadAsFarAsTheyGoAndRewrittenKeepEveryOtherByte) {
    const Sample& sample = GetParam();
    const DosAttrib value = ParseDosAttrib(sample.bytes);
    EXPECT_EQ(value.form, sample.form);
    EXPECT_EQ(value.word, sample.word);
    EXPECT_EQ(value.created, sample.created);
    EXPECT_EQ(value.bytes, sample.bytes);
    const auto changed = RewriteDosAttrib(value, 0x27, kOther);
    ASSERT_EQ(changed.has_value(), sample.form != Form::Foreign);
    if (!changed)
        return;
    const DosAttrib again = ParseDosAttrib(*changed);
    EXPECT_EQ(again.word, 0x27u);
    EXPECT_EQ(again.created, kOther);
    if (sample.exact) {
        EXPECT_EQ(RewriteDosAttrib(again, sample.word, sample.created), sample.bytes);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, DosAttribSamples,
    ::testing::Values(
        Sample{"EveryHexDigit", "0xAFfa90", Form::Text, 0xaffa90, {}},
        Sample{"Version4", Record("", 4, Le(0x51, 4) + Le(0x20, 4) + Le(kOther, 8) + Le(kTicks, 8)),
               Form::Binary, 0x20, kTicks, true},
        Sample{"Version3",
               Record("0x20", 3,
                      Le(0x11, 4) + Le(0x20, 4) + Le(7, 4) + Le(1234, 8) + Le(4096, 8) +
                          Le(kTicks, 8) + Le(kOther, 8)),
               Form::Binary, 0x20, kTicks, true},
        Sample{"LongerThanItsVersion", kV5 + "tail", Form::Binary, 3, kTicks, true},
        Sample{"WordNotValid", Record("0x2", 5, Le(0x10, 4) + Le(7, 4) + Le(kTicks, 8)),
               Form::Binary, 2, kTicks},
        Sample{"TimeNotValid", Record("", 5, Le(0x81, 4) + Le(6, 4) + Le(kTicks, 8)), Form::Binary,
               6, std::nullopt},
        Sample{"Version1", Record("0x20", 1, std::string(40, '\0')), Form::Foreign, 0x20, {}},
        Sample{"TextNotHex", "0xg", Form::Foreign, 0, {}}),
    [](const auto& info) { return info.param.name; });

// Without a creation time, a value loses only the time's flag.
TEST(DosAttrib, WithoutACreationTimeOnlyItsFlagGoes) {
    EXPECT_EQ(RewriteDosAttrib(ParseDosAttrib(kV5), 3, std::nullopt),
              Record("", 5, Le(0x01, 4) + Le(3, 4) + Le(kTicks, 8)));
}
