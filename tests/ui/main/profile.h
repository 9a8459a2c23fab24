#pragma once

#include "app/modGlobal.h"
#include "app/modINIHandler.h"
#include "app/startup.h"
#include "ui/main/modLinks.h"
#include "ui/main/modMessageBox.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <string>

// A clean profile for one window test: its own configuration folder (the
// settings store included) and state folder (the run journals), Stampwell.ini
// as the first start writes it, the program's language files, message boxes
// that answer from a queue and are recorded, and web and mail addresses
// recorded instead of opened.
class Profile {
public:
    explicit Profile(const std::string& language = "English") {
        QVERIFY(root.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(root.filePath(QStringLiteral("config"))));
        qputenv("XDG_STATE_HOME", QFile::encodeName(root.filePath(QStringLiteral("state"))));
        stampwell::app::GlobalState& global = stampwell::app::Global();
        global = stampwell::app::GlobalState{};
        global.DataPath = root.filePath(QStringLiteral("data")).toStdString();
        QVERIFY(QDir().mkpath(QString::fromStdString(global.DataPath)));
        global.IniFile = global.DataPath + "/Stampwell.ini";
        QVERIFY(!stampwell::app::CreateDefaultIni(global.DataPath).Failed());
        global.LanguageFolder = STAMPWELL_SOURCE_DIR "/lang";
        global.ProgramFolder = STAMPWELL_SOURCE_DIR;
        global.CurrentLanguage = language;
        global.LanguageFilePath = stampwell::app::LanguageFileFor(language);
        stampwell::ui::SetMessageHandler([this](const stampwell::ui::MessageRequest& request) {
            messages.append(request);
            if (answers.empty()) {
                return stampwell::ui::MessageAnswer::Ok;
            }
            const stampwell::ui::MessageAnswer answer = answers.front();
            answers.pop_front();
            return answer;
        });
        stampwell::ui::SetLinkHandler([this](const QString& address) { links.append(address); });
    }
    ~Profile() {
        stampwell::ui::SetMessageHandler({});
        stampwell::ui::SetLinkHandler({});
    }

    void Set(const char* key, const char* value) {
        stampwell::app::WriteIni("Options", key, value);
    }
    std::string Get(const char* key) { return stampwell::app::ReadIni("Options", key, "<none>"); }

    // A folder for the test's own files.
    QString Path(const QString& name) const { return root.filePath(name); }

    QTemporaryDir root;
    QList<stampwell::ui::MessageRequest> messages;
    std::deque<stampwell::ui::MessageAnswer> answers;
    QStringList links;
};

// A control of the window by its name, e.g. Control<QCheckBox>(window, "chkAttr(2)").
template <typename T> T* Control(QWidget& window, const char* name) {
    T* control = window.findChild<T*>(QString::fromLatin1(name));
    if (control == nullptr) {
        qFatal("no control %s", name);
    }
    return control;
}
