#include "app/modGlobal.h"
#include "app/modINIHandler.h"
#include "app/textcodec.h"
#include "testing/tempfolder.h"

#include <gtest/gtest.h>

// The shipped language files, read the way the windows read them.
namespace stampwell::app {
namespace {

class LanguageFile : public ::testing::TestWithParam<std::pair<std::string, std::string>> {};

// UTF-8 with CR LF line ends; every key of every window (t0 up to its count)
// has a text that fits the 255 characters the windows were laid out for, and
// there are no more. The about box's button, umlauts as UTF-8, tells them apart.
TEST_P(LanguageFile, HasEveryTextOfEveryWindow) {
    Global().LanguageFilePath = std::string(STAMPWELL_LANG_DIR) + "/" + GetParam().first + ".lng";
    const std::string bytes = testing::ReadBytes(Global().LanguageFilePath);
    EXPECT_TRUE(IsValidUtf8(bytes) && bytes.ends_with("\r\n"));
    for (std::size_t i = 0; i < bytes.size(); ++i)
        ASSERT_EQ(bytes[i] == '\n', i > 0 && bytes[i - 1] == '\r') << "a line end at byte " << i;
    for (const auto& [window, keys] : {std::pair{"SWfrmMain", 121},
                                       {"SWdlgAbout", 5},
                                       {"SWdlgSettings", 23},
                                       {"dlgLangSelect", 5}}) {
        for (int i = 0; i <= keys; ++i) {
            const std::string text = ReadLang(window, "t" + std::to_string(i), "?");
            EXPECT_EQ(text == "?", i == keys) << window << " t" << i;
            EXPECT_TRUE(!text.empty() && text.size() <= 255u) << window << " t" << i;
        }
    }
    EXPECT_EQ(ReadLang("SWdlgAbout", "t4", ""), GetParam().second);
    Global() = GlobalState{};
}

INSTANTIATE_TEST_SUITE_P(Shipped, LanguageFile,
                         ::testing::Values(std::pair{"English", "&Close"},
                                           std::pair{"Deutsch", "&Schlie\xC3\x9F"
                                                                "en"}));

} // namespace
} // namespace stampwell::app
