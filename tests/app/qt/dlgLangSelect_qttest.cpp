#include "app/dlgLangSelect.h"
#include "app/modGlobal.h"
#include "app/modINIHandler.h"
#include "testing/tempfolder.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace stampwell::app;
using stampwell::testing::ReadBytes;
using stampwell::testing::TempFolder;
using stampwell::testing::WriteBytes;

namespace {

QStringList Items(const QComboBox& list) {
    QStringList items;
    for (int i = 0; i < list.count(); ++i)
        items << list.itemText(i);
    return items;
}

QString ShippedText(const char* language, const char* key) {
    GlobalState saved = Global();
    Global().LanguageFilePath = std::string(STAMPWELL_LANG_DIR) + "/" + language + ".lng";
    const QString text = QString::fromStdString(ReadLang("dlgLangSelect", key, ""));
    Global() = saved;
    return text;
}

} // namespace

class DlgLangSelectTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempFolder> temp_;

private slots:
    void init() {
        temp_ = std::make_unique<TempFolder>();
        Global() = GlobalState{};
        Global().LanguageFolder = STAMPWELL_LANG_DIR;
        Global().IniFile = temp_->Path("Stampwell.ini");
        QVERIFY(!CreateDefaultIni(temp_->Root()).Failed());
    }
    void cleanup() {
        Global() = GlobalState{};
        temp_.reset();
    }

    void listsOnlyLanguageFilesByTheirBaseNames() {
        const std::string lang = temp_->Path("lang");
        QVERIFY(QDir().mkpath(QString::fromStdString(lang)));
        for (const char* name : {"English.lng", "Deutsch.lng", "notes.txt", "olvtools.lng",
                                 "readme", "Francais.LNG", ".Hidden.lng", "Dansk.lng.lng"})
            WriteBytes(lang + "/" + name, "[dlgLangSelect]\r\nt0=x\r\n");
        QVERIFY(QDir().mkpath(QString::fromStdString(lang + "/Folder.lng")));
        Global().LanguageFolder = lang;
        dlgLangSelect dialog;
        QCOMPARE(Items(*dialog.dxLanguage), (QStringList{"Dansk", "Deutsch", "English"}));
    }

    void showsItsTextsInEnglishFirst() {
        dlgLangSelect dialog;
        QCOMPARE(Items(*dialog.dxLanguage), (QStringList{"Deutsch", "English"}));
        QCOMPARE(dialog.dxLanguage->currentText(), QString("English"));
        QCOMPARE(dialog.windowTitle(), QString("Stampwell - Welcome"));
        QCOMPARE(dialog.lblMsg[0]->text(), ShippedText("English", "t1"));
        QCOMPARE(dialog.lblMsg[1]->text(), ShippedText("English", "t2"));
        QCOMPARE(dialog.cmdOK->text(), ShippedText("English", "t3"));
        QVERIFY(!dialog.cmdOK->text().isEmpty());
    }

    void highlightingAnotherLanguageRelabelsTheDialog() {
        dlgLangSelect dialog;
        dialog.dxLanguage->setCurrentIndex(dialog.dxLanguage->findText("Deutsch"));
        QCOMPARE(dialog.windowTitle(), "Stampwell - " + ShippedText("Deutsch", "t0"));
        QCOMPARE(dialog.lblMsg[0]->text(), ShippedText("Deutsch", "t1"));
        QCOMPARE(dialog.cmdOK->text(), ShippedText("Deutsch", "t3"));
        QVERIFY(dialog.cmdOK->text() != ShippedText("English", "t3"));
        QVERIFY(Global().LanguageFilePath.ends_with("/Deutsch.lng"));
    }

    void okStoresTheTypedTextAndUsesItWithoutBlanks() {
        dlgLangSelect dialog;
        dialog.dxLanguage->setEditText(" Deutsch ");
        QCOMPARE(dialog.cmdOK->text(), ShippedText("Deutsch", "t3"));
        QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(Global().LanguageFilePath, std::string(STAMPWELL_LANG_DIR) + "/Deutsch.lng");
        QVERIFY(ReadBytes(Global().IniFile).find("\r\nLanguage=\" Deutsch \"\r\n") !=
                std::string::npos);
        QCOMPARE(ReadIni("Options", "Language", ""), std::string(" Deutsch "));
        QCOMPARE(dialog.Chosen(), std::optional<std::string>("Deutsch"));
    }

    void withoutLanguageFilesOkStoresEnglish() {
        Global().LanguageFolder = temp_->Path("nowhere");
        dlgLangSelect dialog;
        QCOMPARE(dialog.dxLanguage->count(), 0);
        QCOMPARE(dialog.windowTitle(), QString("Stampwell - Welcome"));
        QCOMPARE(dialog.lblMsg[0]->text(), QString());
        QCOMPARE(dialog.cmdOK->text(), QString());
        QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);
        QCOMPARE(ReadIni("Options", "Language", ""), std::string("English"));
    }

    void closingWithoutOkWritesNothing() {
        const std::string before = ReadBytes(Global().IniFile);
        dlgLangSelect dialog;
        dialog.dxLanguage->setCurrentIndex(dialog.dxLanguage->findText("Deutsch"));
        dialog.reject();
        QCOMPARE(ReadBytes(Global().IniFile), before);
        QVERIFY(!dialog.Chosen());
    }
};

QTEST_MAIN(DlgLangSelectTest)
#include "dlgLangSelect_qttest.moc"
