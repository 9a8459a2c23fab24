#include "app/modGlobal.h"
#include "app/modINIHandler.h"
#include "app/textcodec.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

// The shipped language files, read the way the windows read them.
namespace stampwell::app {
namespace {

struct WindowSection {
    const char* name;
    int keys; // t0 to t(keys - 1)
};

constexpr WindowSection kSections[] = {
    {"SWfrmMain", 121}, {"SWdlgAbout", 5}, {"SWdlgSettings", 23}, {"dlgLangSelect", 5}};

std::string LanguageFile(const std::string& language) {
    return std::string(STAMPWELL_LANG_DIR) + "/" + language + ".lng";
}

std::string Key(int index) {
    std::string key = "t";
    key += std::to_string(index);
    return key;
}

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Points the program's current language file at one of ours for one test.
class UsingLanguage {
public:
    explicit UsingLanguage(const std::string& language) : saved_(Global().LanguageFilePath) {
        Global().LanguageFilePath = LanguageFile(language);
    }
    ~UsingLanguage() { Global().LanguageFilePath = saved_; }
    UsingLanguage(const UsingLanguage&) = delete;
    UsingLanguage& operator=(const UsingLanguage&) = delete;

private:
    std::string saved_;
};

class LanguageFileTest : public ::testing::TestWithParam<std::string> {};

TEST_P(LanguageFileTest, IsUtf8WithCrLfLineEnds) {
    const std::string bytes = FileBytes(LanguageFile(GetParam()));
    ASSERT_FALSE(bytes.empty());
    EXPECT_TRUE(IsValidUtf8(bytes));
    EXPECT_TRUE(bytes.ends_with("\r\n"));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at byte " << i;
        } else if (bytes[i] == '\r') {
            ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "bare CR at byte " << i;
        }
    }
}

TEST_P(LanguageFileTest, EveryKeyOfEveryWindowHasAText) {
    const UsingLanguage language(GetParam());
    for (const WindowSection& section : kSections) {
        for (int i = 0; i < section.keys; ++i) {
            const std::string key = Key(i);
            const std::string text = ReadLang(section.name, key, "");
            EXPECT_FALSE(text.empty()) << section.name << " " << key;
            // Fits the 255 characters the windows were laid out for.
            EXPECT_LE(text.size(), 255u) << section.name << " " << key;
        }
        const std::string beyond = Key(section.keys);
        EXPECT_EQ(ReadLang(section.name, beyond, "?"), "?") << section.name << " " << beyond;
    }
}

INSTANTIATE_TEST_SUITE_P(Shipped, LanguageFileTest, ::testing::Values("English", "Deutsch"));

TEST(LanguageFiles, GermanUmlautsArriveAsUtf8) {
    const UsingLanguage language("Deutsch");
    EXPECT_EQ(ReadLang("SWdlgAbout", "t4", ""), "&Schlie\xC3\x9F"
                                                "en");
    EXPECT_EQ(ReadLang("SWfrmMain", "t1", ""), "Ge\xC3\xA4ndert");
}

} // namespace
} // namespace stampwell::app
