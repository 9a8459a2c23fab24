#include "app/dlgLangSelect.h"
#include "app/ini.h"
#include "app/modGlobal.h"
#include "app/modINIHandler.h"
#include "testing/tempfolder.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace stampwell::app;
using stampwell::testing::ReadBytes;

namespace {

QStringList Items(const QComboBox& list) {
    QStringList items;
    for (int i = 0; i < list.count(); ++i)
        items << list.itemText(i);
    return items;
}

// The dialog's texts of a shipped language file: title, the labels, OK.
QStringList Shipped(const char* language) {
    const std::string file = std::string(STAMPWELL_LANG_DIR) + "/" + language + ".lng";
    QStringList texts;
    for (const char* key : {"t0", "t1", "t2", "t3"})
        texts << QString::fromStdString(ReadIniValue(file, "dlgLangSelect", key, ""));
    return texts;
}

QStringList Shown(const dlgLangSelect& dialog) {
    return {dialog.windowTitle(), dialog.lblMsg[0]->text(), dialog.lblMsg[1]->text(),
            dialog.cmdOK->text()};
}

} // namespace

// On the shipped language files, with a settings file in a temporary folder.
class DlgLangSelectTest : public QObject {
    Q_OBJECT

    std::unique_ptr<stampwell::testing::TempFolder> temp_;

private slots:
    void init() {
        temp_ = std::make_unique<stampwell::testing::TempFolder>();
        Global() = GlobalState{};
        Global().LanguageFolder = STAMPWELL_LANG_DIR;
        Global().IniFile = temp_->Path("Stampwell.ini");
        QVERIFY(!CreateDefaultIni(temp_->Root()).Failed());
    }
    void cleanup() { Global() = GlobalState{}; }

    // Files named *.lng but for the tools' own, the extension dropped.
    void listsOnlyLanguageFilesByTheirBaseNames() {
        for (const char* name :
             {"English.lng", "Deutsch.lng", "notes.txt", "olvtools.lng", "readme", "Francais.LNG",
              ".Hidden.lng", "Dansk.lng.lng", "Folder.lng/x"})
            temp_->File(std::string("lang/") + name, "[dlgLangSelect]\r\nt0=x\r\n");
        Global().LanguageFolder = temp_->Path("lang");
        QCOMPARE(Items(*dlgLangSelect().dxLanguage), (QStringList{"Dansk", "Deutsch", "English"}));
    }

    // English first; highlighting another language relabels the dialog.
    // Closed, it stores nothing; OK stores the typed text and uses it
    // without blanks.
    void showsTheHighlightedLanguageAndStoresTheTypedOne() {
        dlgLangSelect dialog;
        QCOMPARE(Items(*dialog.dxLanguage), (QStringList{"Deutsch", "English"}));
        QCOMPARE(dialog.dxLanguage->currentText(), QString("English"));
        QCOMPARE(Shown(dialog), QStringList{"Stampwell - Welcome"} + Shipped("English").mid(1));
        dialog.dxLanguage->setCurrentIndex(dialog.dxLanguage->findText("Deutsch"));
        QStringList german = Shipped("Deutsch");
        german[0].prepend("Stampwell - ");
        QCOMPARE(Shown(dialog), german);
        dialog.reject();
        QVERIFY(ReadBytes(Global().IniFile).find("\r\nLanguage=\r\n") != std::string::npos);
        QVERIFY(!dialog.Chosen());
        dialog.dxLanguage->setEditText(" Deutsch ");
        QCOMPARE(dialog.cmdOK->text(), Shipped("Deutsch")[3]);
        QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(Global().LanguageFilePath, std::string(STAMPWELL_LANG_DIR) + "/Deutsch.lng");
        QVERIFY(ReadBytes(Global().IniFile).find("\r\nLanguage=\" Deutsch \"\r\n") !=
                std::string::npos);
        QCOMPARE(dialog.Chosen(), std::optional<std::string>("Deutsch"));
        dialog.dxLanguage->setEditText("  ");
        QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);
        QCOMPARE(dialog.Chosen(), std::optional<std::string>(""));
    }
};

QTEST_MAIN(DlgLangSelectTest)
#include "dlgLangSelect_qttest.moc"
