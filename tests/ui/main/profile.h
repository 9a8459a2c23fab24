#pragma once

#include "app/modGlobal.h"
#include "app/modINIHandler.h"
#include "app/startup.h"
#include "ui/main/frmMain.h"
#include "ui/main/modLinks.h"
#include "ui/main/modMessageBox.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <string>

// A clean profile for one window test: its own configuration folder (the
// settings store included) and state folder (the run journals), Stampwell.ini
// as the first start writes it, the program's language files, message boxes
// that answer from a queue and are recorded, and web and mail addresses
// recorded instead of opened.
class Profile {
public:
    explicit Profile(const std::string& language = "English") {
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
            return answers.isEmpty() ? stampwell::ui::MessageAnswer::Ok : answers.takeFirst();
        });
        stampwell::ui::SetLinkHandler([this](const QString& address) { links.append(address); });
    }

    // Settings as "Key=Value;Key=Value"; %1 stands for the profile's folder.
    void Store(const QString& settings) {
        for (const QString& setting : QString(settings)
                                          .replace(QLatin1String("%1"), root.path())
                                          .split(u';', Qt::SkipEmptyParts)) {
            stampwell::app::WriteIni("Options", setting.section(u'=', 0, 0).toStdString(),
                                     setting.section(u'=', 1).toStdString());
        }
    }
    QString Get(const char* key) {
        return QString::fromStdString(stampwell::app::ReadIni("Options", key, "<none>"));
    }

    // A path in the test's own folder; a file made there, last written long ago.
    QString Path(const QString& name) const { return root.filePath(name); }
    void Touch(const QString& name) const {
        QDir().mkpath(QFileInfo(Path(name)).path());
        QFile file(Path(name));
        file.open(QIODevice::WriteOnly);
        file.setFileTime(QDateTime(QDate(2011, 5, 6), QTime(7, 8, 9)),
                         QFileDevice::FileModificationTime);
    }

    QTemporaryDir root;
    QList<stampwell::ui::MessageRequest> messages;
    QList<stampwell::ui::MessageAnswer> answers;
    QStringList links;
};

// A clean profile with the main window, not loaded yet.
struct Window : Profile {
    using Profile::Profile;
    // Loads the window on the stored choices ("Key=Value;...") and shows it.
    stampwell::ui::frmMain& Open(const QString& stored = {}) {
        Store(stored);
        w.Load();
        w.show();
        return w;
    }
    stampwell::ui::frmMain w;
};

// A control of the window by its name, e.g. Control<QCheckBox>(window, "chkAttr(2)").
template <typename T> T* Control(QWidget& window, const QString& name) {
    T* control = window.findChild<T*>(name);
    QTEST_ASSERT_X(control != nullptr, "Control", qPrintable(name));
    return control;
}

// The user's steps, ";"-separated: "name=1" checks a box or option, "name=0"
// unchecks it, "name=text" types into a field or list, "name" triggers an action.
inline void Do(QWidget& w, const QString& steps) {
    for (const QString& step : steps.split(u';', Qt::SkipEmptyParts)) {
        const QString name = step.section(u'=', 0, 0);
        const QString value = step.section(u'=', 1);
        if (!step.contains(u'=')) {
            Control<QAction>(w, name)->trigger();
        } else if (auto* button = w.findChild<QAbstractButton*>(name)) {
            if (button->isChecked() != (value == QLatin1String("1"))) {
                button->click();
            }
        } else if (auto* list = w.findChild<QComboBox*>(name)) {
            list->setEditText(value);
        } else {
            Control<QLineEdit>(w, name)->setText(value);
        }
    }
}

// Answers the modal dialog that opens next.
template <typename Dialog> void Answer(std::function<void(Dialog&)> answer) {
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        answer(*dialog);
    });
}
