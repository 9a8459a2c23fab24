#include "fixture.h"
#include "ui/dialogs/dlgAbout.h"
#include "ui/dialogs/dlgSettings.h"
#include "ui/dialogs/modCenterForm.h"
#include "ui/main/frmMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>

using stampwell::app::Global;
using stampwell::ui::dlgSettings;
using stampwell::ui::frmMain;

namespace {

// The user picks an entry of the language list.
void Pick(QWidget& dialog, const QString& language) {
    auto* list = Control<QComboBox>(dialog, "Combo1");
    list->setCurrentIndex(list->findText(language));
    emit list->textActivated(language);
}

std::string CurrentLanguage() {
    return Global().CurrentLanguage;
}

QStringList FileLines(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"));
}

} // namespace

class SettingsTest : public QObject {
    Q_OBJECT
private slots:
    void LoadsSwitchesFromAFileWithoutChangeKeys() {
        Profile profile;
        profile.Set("SaveTime", "0");
        profile.Set("SaveAttrib", "7");
        profile.Set("SysTray", "false");
        dlgSettings dialog(nullptr, {});
        const auto& keys = dlgSettings::SwitchKeys();
        for (const char* key : keys) {
            const bool expected = std::string_view(key) == "SavePath" ||
                                  std::string_view(key) == "SaveFilter" ||
                                  std::string_view(key) == "SaveAttrib";
            QCOMPARE(Control<QCheckBox>(dialog, (std::string("chk") + key).c_str())->isChecked(),
                     expected);
        }
        QCOMPARE(Control<QComboBox>(dialog, "Combo1")->currentText(), QStringLiteral("English"));
        QCOMPARE(dialog.LanguageAtOpening(), std::string("English"));
    }

    void NoLanguageYetTakesDeutschFirst() {
        Profile profile("");
        dlgSettings dialog(nullptr, {});
        QCOMPARE(CurrentLanguage(), std::string("Deutsch"));
        QCOMPARE(Control<QComboBox>(dialog, "Combo1")->currentText(), QStringLiteral("Deutsch"));
        QCOMPARE(dialog.windowTitle(),
                 QStringLiteral("Stampwell ") + LangText("Deutsch", "SWdlgSettings", 0));
        const QStringList offered{Control<QComboBox>(dialog, "Combo1")->itemText(0),
                                  Control<QComboBox>(dialog, "Combo1")->itemText(1)};
        QCOMPARE(offered, (QStringList{QStringLiteral("Deutsch"), QStringLiteral("English")}));
        QCOMPARE(Control<QComboBox>(dialog, "Combo1")->count(), 2);
    }

    void SaveWritesTheLanguageAndAllFifteenSwitches() {
        Profile profile;
        dlgSettings dialog(nullptr, {});
        Control<QCheckBox>(dialog, "chkSavePath")->setChecked(false);
        Control<QCheckBox>(dialog, "chkChangeReadOnlyDirTimes")->setChecked(true);
        Control<QCheckBox>(dialog, "chkChangeNormalFileTimes")->setChecked(true);
        Pick(dialog, QStringLiteral("Deutsch"));
        Control<QPushButton>(dialog, "cmdSave")->click();

        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(profile.Get("Language"), std::string("Deutsch"));
        for (const char* key : dlgSettings::SwitchKeys()) {
            const std::string_view k(key);
            const bool on = k == "SaveFilter" || k == "SaveTime" || k == "SaveAttrib" ||
                            k == "SysTray" || k == "ChangeReadOnlyDirTimes" ||
                            k == "ChangeNormalFileTimes";
            QCOMPARE(profile.Get(key), std::string(on ? "True" : "False"));
        }
        // The keys the first start does not write are added in the order Save writes them.
        const QStringList lines = FileLines(Global().IniFile);
        const qsizetype first = lines.indexOf(QStringLiteral("ChangeNormalFileTimes=True"));
        QVERIFY(first > 0);
        QCOMPARE(lines.mid(first, 10),
                 (QStringList{"ChangeNormalFileTimes=True", "ChangeArchiveFileTimes=False",
                              "ChangeReadOnlyFileTimes=False", "ChangeSystemFileTimes=False",
                              "ChangeHiddenFileTimes=False", "ChangeNormalDirTimes=False",
                              "ChangeArchiveDirTimes=False", "ChangeReadOnlyDirTimes=True",
                              "ChangeSystemDirTimes=False", "ChangeHiddenDirTimes=False"}));
    }

    void LanguagePickRelabelsMainWindowAboutBoxAndDialog() {
        Profile profile;
        frmMain main;
        main.Load();
        stampwell::ui::dlgAbout& about = stampwell::ui::ShowAboutBox(&main);
        dlgSettings dialog(&main, [&main] {
            main.LoadLanguage();
            main.SetComboLanguage();
        });
        QCOMPARE(Control<QToolButton>(main, "cmdQuit")->text(),
                 LangText("English", "SWfrmMain", 25));

        Pick(dialog, QStringLiteral("Deutsch"));

        QCOMPARE(CurrentLanguage(), std::string("Deutsch"));
        QCOMPARE(QString::fromStdString(Global().LanguageFilePath),
                 QString::fromStdString(stampwell::app::LanguageFileFor("Deutsch")));
        QCOMPARE(Control<QToolButton>(main, "cmdQuit")->text(),
                 LangText("Deutsch", "SWfrmMain", 25));
        QCOMPARE(Control<QComboBox>(main, "Combo2")->currentText(),
                 LangText("Deutsch", "SWfrmMain", 1));
        QCOMPARE(Control<QLabel>(about, "lblWeb")->text(), LangText("Deutsch", "SWdlgAbout", 0));
        QCOMPARE(Control<QLabel>(about, "lblInfo")->text(), LangText("Deutsch", "SWdlgAbout", 3));
        QCOMPARE(Control<QLabel>(dialog, "lblLanguage")->text(),
                 LangText("Deutsch", "SWdlgSettings", 1));
        QCOMPARE(Control<QPushButton>(dialog, "cmdSave")->text(),
                 LangText("Deutsch", "SWdlgSettings", 9));
        // Nothing is stored before Save.
        QCOMPARE(profile.Get("Language"), std::string());
    }

    void CancelTakesThePickedLanguageBack() {
        Profile profile;
        frmMain main;
        main.Load();
        stampwell::ui::dlgAbout& about = stampwell::ui::ShowAboutBox(&main);
        int relabelled = 0;
        dlgSettings dialog(&main, [&] {
            ++relabelled;
            main.LoadLanguage();
            main.SetComboLanguage();
        });
        Control<QCheckBox>(dialog, "chkSysTray")->setChecked(false);
        Pick(dialog, QStringLiteral("Deutsch"));
        Control<QPushButton>(dialog, "cmdCancel")->click();

        QCOMPARE(relabelled, 2);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(CurrentLanguage(), std::string("English"));
        QCOMPARE(QString::fromStdString(Global().LanguageFilePath),
                 QString::fromStdString(stampwell::app::LanguageFileFor("English")));
        QCOMPARE(Control<QToolButton>(main, "cmdQuit")->text(),
                 LangText("English", "SWfrmMain", 25));
        QCOMPARE(Control<QComboBox>(main, "Combo2")->currentText(),
                 LangText("English", "SWfrmMain", 1));
        // The about box follows the language back as well.
        QCOMPARE(Control<QLabel>(about, "lblWeb")->text(), LangText("English", "SWdlgAbout", 0));
        QCOMPARE(Control<QLabel>(dialog, "lblLanguage")->text(),
                 LangText("English", "SWdlgSettings", 1));
        QCOMPARE(profile.Get("Language"), std::string());
        QCOMPARE(profile.Get("SysTray"), std::string("True"));
    }

    void EscapeCancelsButTheCloseBoxKeepsThePick() {
        Profile profile;
        int relabelled = 0;
        {
            dlgSettings dialog(nullptr, [&] { ++relabelled; });
            dialog.show();
            Pick(dialog, QStringLiteral("Deutsch"));
            QTest::keyClick(&dialog, Qt::Key_Escape);
            QVERIFY(!dialog.isVisible());
            QCOMPARE(CurrentLanguage(), std::string("English"));
        }
        QCOMPARE(relabelled, 2);
        {
            dlgSettings dialog(nullptr, [&] { ++relabelled; });
            dialog.show();
            Pick(dialog, QStringLiteral("Deutsch"));
            dialog.close();
            QVERIFY(!dialog.isVisible());
            QCOMPARE(CurrentLanguage(), std::string("Deutsch"));
        }
        QCOMPARE(relabelled, 3);
        QCOMPARE(profile.Get("Language"), std::string());
    }

    void PickingTheCurrentLanguageDoesNothing() {
        Profile profile("Deutsch");
        int relabelled = 0;
        dlgSettings dialog(nullptr, [&] { ++relabelled; });
        Control<QLabel>(dialog, "lblLanguage")->setText(QStringLiteral("untouched"));
        Pick(dialog, QStringLiteral("Deutsch"));
        QCOMPARE(relabelled, 0);
        QCOMPARE(Control<QLabel>(dialog, "lblLanguage")->text(), QStringLiteral("untouched"));
        Pick(dialog, QStringLiteral("English"));
        Pick(dialog, QStringLiteral("English"));
        QCOMPARE(relabelled, 1);
        QCOMPARE(CurrentLanguage(), std::string("English"));
    }

    void ALanguageWithoutItsSectionLeavesTranslatedCaptionsEmpty() {
        Profile profile;
        QTemporaryDir lang;
        QFile file(lang.filePath(QStringLiteral("Bare.lng")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[SWfrmMain]\r\nt0=Made\r\n");
        file.close();
        Global().LanguageFolder = lang.path().toStdString();
        Global().CurrentLanguage = "Bare";

        dlgSettings dialog(nullptr, {});

        QCOMPARE(dialog.windowTitle(), QStringLiteral("Stampwell "));
        QCOMPARE(Control<QComboBox>(dialog, "Combo1")->currentText(), QStringLiteral("Bare"));
        for (const char* name : {"lblLanguage", "cmdSave", "cmdCancel"}) {
            QCOMPARE(Control<QWidget>(dialog, name)->property("text").toString(), QString());
        }
        for (const char* key : dlgSettings::SwitchKeys()) {
            QCOMPARE(Control<QCheckBox>(dialog, ("chk" + std::string(key)).c_str())->text(),
                     QString());
        }
        for (const char* name : {"Label1(0)", "Label1(1)", "Label1(2)"}) {
            QCOMPARE(Control<QLabel>(dialog, name)->text(), QString());
        }
        // Save keeps a language the list does not offer.
        Control<QPushButton>(dialog, "cmdSave")->click();
        QCOMPARE(profile.Get("Language"), std::string("Bare"));
    }

    // Every caption comes from the language file, the ten Change switches
    // and the headings too.
    void EveryCaptionIsInTheLanguageInUse_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("hiddenFolders");
        QTest::addColumn<QString>("systemFiles");
        QTest::addColumn<QString>("heading");
        QTest::newRow("English") << QStringLiteral("English")
                                 << QStringLiteral("Change the times of hidden folders")
                                 << QStringLiteral(
                                        "Change the times of files with the System attribute")
                                 << QStringLiteral("Remember for the next start");
        QTest::newRow("Deutsch") << QStringLiteral("Deutsch")
                                 << QStringLiteral("Zeiten von versteckten Verzeichnissen ändern")
                                 << QStringLiteral("Zeiten von Dateien mit System-Attribut ändern")
                                 << QStringLiteral("Für den nächsten Start speichern");
    }

    void EveryCaptionIsInTheLanguageInUse() {
        QFETCH(QString, language);
        QFETCH(QString, hiddenFolders);
        QFETCH(QString, systemFiles);
        QFETCH(QString, heading);
        Profile profile(language.toStdString());
        dlgSettings dialog(nullptr, {});
        QCOMPARE(Control<QCheckBox>(dialog, "chkChangeHiddenDirTimes")->text(), hiddenFolders);
        QCOMPARE(Control<QCheckBox>(dialog, "chkChangeSystemFileTimes")->text(), systemFiles);
        QCOMPARE(Control<QLabel>(dialog, "Label1(0)")->text(), heading);
        for (const char* key : dlgSettings::SwitchKeys()) {
            QVERIFY(
                !Control<QCheckBox>(dialog, ("chk" + std::string(key)).c_str())->text().isEmpty());
        }
    }

    void CenterFormPlacesTheFormOverItsOwnerButNotOffTheScreen() {
        QWidget owner;
        owner.setGeometry(100, 120, 400, 300);
        owner.show();
        QWidget form(&owner, Qt::Dialog);
        form.resize(200, 100);
        stampwell::ui::CenterForm(form, &owner);
        const QRect outer = owner.frameGeometry();
        QCOMPARE(form.frameGeometry().center().x(), outer.center().x());
        QCOMPARE(form.frameGeometry().center().y(), outer.center().y());

        owner.setGeometry(0, 0, 100, 100);
        form.resize(500, 400);
        stampwell::ui::CenterForm(form, &owner);
        QCOMPARE(form.pos(), QPoint(0, 0));

        QWidget alone;
        alone.resize(300, 200);
        stampwell::ui::CenterForm(alone, nullptr);
        QCOMPARE(alone.frameGeometry().center(), alone.screen()->geometry().center());
    }
};

QTEST_MAIN(SettingsTest)
#include "settings_test.moc"
