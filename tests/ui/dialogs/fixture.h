#pragma once

#include "app/modGlobal.h"
#include "app/modINIHandler.h"
#include "app/startup.h"
#include "ui/main/modLinks.h"
#include "ui/main/profile.h"

#include <QStringList>
#include <string>

// Records every address the program hands to the browser or the mail program.
class LinkRecorder {
public:
    LinkRecorder() {
        stampwell::ui::SetLinkHandler([this](const QString& address) { opened.append(address); });
    }
    ~LinkRecorder() { stampwell::ui::SetLinkHandler({}); }
    QStringList opened;
};

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
