#include "app/modGlobal.h"
#include "app/modINIHandler.h"
#include "app/textcodec.h"
#include "testing/tempfolder.h"

#include <gtest/gtest.h>

// The shipped language files, read the way the windows read them.
namespace stampwell::app {
namespace {

// UTF-8; every key of every window (t0 up to its count)
// has a text that fits the 255 characters the windows were laid out for, and
// there are no more. The about box's button, umlauts as UTF-8, tells them apart.
TEST(LanguageFile, HasEveryTextOfEveryWindow) {
    for (const auto& [language, close] : {std::pair{"English", "&Close"},
                                          {"Deutsch", "&Schlie\xC3\x9F"
                                                      "en"}}) {
        Global().LanguageFilePath = std::string(STAMPWELL_LANG_DIR) + "/" + language + ".lng";
        EXPECT_TRUE(IsValidUtf8(testing::ReadBytes(Global().LanguageFilePath))) << language;
        for (const auto& [window, keys] : {std::pair{"SWfrmMain", 121},
                                           {"SWdlgAbout", 5},
                                           {"SWdlgSettings", 23},
                                           {"dlgLangSelect", 5}}) {
            for (int i = 0; i <= keys; ++i) {
                const std::string text = ReadLang(window, "t" + std::to_string(i), "?");
                EXPECT_EQ(text == "?", i == keys) << language << " " << window << " t" << i;
                EXPECT_TRUE(!text.empty() && text.size() <= 255u) << window << " t" << i;
            }
        }
        EXPECT_EQ(ReadLang("SWdlgAbout", "t4", ""), close);
    }
    Global() = GlobalState{};
}

} // namespace
} // namespace stampwell::app
