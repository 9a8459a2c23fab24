#pragma once

#include "app/modGlobal.h"
#include "app/modINIHandler.h"
#include "app/startup.h"
#include "ui/main/profile.h"

#include <string>

// Text index of section in the language file of language, read without
// touching the current language.
inline QString LangText(const std::string& language, const char* section, int index) {
    stampwell::app::GlobalState& global = stampwell::app::Global();
    const std::string current = global.LanguageFilePath;
    global.LanguageFilePath = stampwell::app::LanguageFileFor(language);
    const std::string text = stampwell::app::ReadLang(section, "t" + std::to_string(index), "");
    global.LanguageFilePath = current;
    return QString::fromStdString(text);
}
