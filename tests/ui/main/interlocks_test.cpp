#include "platform/localtime.h"
#include "profile.h"
#include "support/datetimetext.h"
#include "ui/dialogs/dlgDateTime.h"
#include "ui/main/frmMain.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>

using stampwell::ui::frmMain;

namespace {

QString ValidDateTime() {
    stampwell::platform::LocalDateTime t;
    t.year = 2001;
    t.month = 2;
    t.day = 3;
    t.hour = 4;
    t.minute = 5;
    t.second = 6;
    return QString::fromStdString(stampwell::support::FormatDateTimeText(t));
}

bool IsRed(const QWidget* w, QPalette::ColorRole role) {
    return w->palette().color(role) == QColor(255, 0, 0);
}

} // namespace

class InterlocksTest : public QObject {
    Q_OBJECT
private slots:
    void ExecButtonWaitsForSomethingToDo() {
        Profile profile;
        profile.Set("Path", profile.root.path().toUtf8().constData());
        frmMain w;
        w.Load();
        auto* exec = Control<QPushButton>(w, "cmdExec");
        QVERIFY(!exec->isEnabled());
        Control<QRadioButton>(w, "Option3(1)")->setChecked(true);
        QVERIFY(!exec->isEnabled());
        Control<QCheckBox>(w, "chkAttr(2)")->setChecked(true);
        QVERIFY(exec->isEnabled());
        QVERIFY(Control<QPushButton>(w, "cmdCancel")->isEnabled());
        Control<QRadioButton>(w, "Option3(0)")->setChecked(true);
        QVERIFY(!exec->isEnabled());
        // A disabled box keeps its check mark.
        QVERIFY(!Control<QCheckBox>(w, "chkAttr(2)")->isEnabled());
        QVERIFY(Control<QCheckBox>(w, "chkAttr(2)")->isChecked());
    }

    void NewTimeNeedsAValidNineteenCharacterText() {
        Profile profile;
        profile.Set("Path", profile.root.path().toUtf8().constData());
        profile.Set("NewTime", "");
        frmMain w;
        w.Load();
        auto* exec = Control<QPushButton>(w, "cmdExec");
        auto* field = Control<QLineEdit>(w, "txtDateTime");
        QVERIFY(!field->isEnabled());
        Control<QRadioButton>(w, "Option2(2)")->setChecked(true);
        QCOMPARE(field->text().size(), 19); // filled with the current date and time
        QVERIFY(field->isEnabled());
        field->setText(ValidDateTime());
        QVERIFY(exec->isEnabled());
        QVERIFY(!IsRed(field, QPalette::Base));
        field->setText(ValidDateTime().left(18));
        QVERIFY(IsRed(field, QPalette::Base));
        QVERIFY(!exec->isEnabled());
        field->setText(QStringLiteral("99.99.9999 99:99:99"));
        QVERIFY(!IsRed(field, QPalette::Base));
        QVERIFY(!exec->isEnabled());
        Control<QComboBox>(w, "Combo3")->setEditText(QString());
        field->setText(ValidDateTime());
        QVERIFY(!exec->isEnabled());
        field->setText(QStringLiteral("x"));
        Control<QRadioButton>(w, "Option2(0)")->setChecked(true);
        QVERIFY(!IsRed(field, QPalette::Base));
        QVERIFY(!field->isEnabled());
    }

    void TheDateTimeButtonOpensTheDialogOverTheField() {
        Profile profile;
        profile.Set("Index", "2");
        profile.Set("NewTime", ValidDateTime().toUtf8().constData());
        frmMain w;
        w.Load();
        w.move(100, 80);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QPoint offset;
        QString caption;
        QTimer::singleShot(0, [&] {
            auto* dialog =
                qobject_cast<stampwell::ui::dlgDateTime*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            offset = dialog->pos() - w.frameGeometry().topLeft();
            caption = dialog->windowTitle();
            dialog->TimeEditor()->setTime(QTime(23, 59, 58));
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdOK")),
                              Qt::LeftButton);
        });
        auto* field = Control<QLineEdit>(w, "txtDateTime");
        field->findChild<QAction*>(QStringLiteral("txtDateTime.button(0)"))->trigger();
        QCOMPARE(offset, QPoint(3030 * w.logicalDpiX() / 1440, 3480 * w.logicalDpiX() / 1440));
        QCOMPARE(field->text(), ValidDateTime().left(11) + QStringLiteral("23:59:58"));
        QCOMPARE(caption, w.MainText(99));
        QVERIFY(Control<QPushButton>(w, "cmdExec")->isEnabled() == false); // no path chosen
    }

    void TheTimeEditorTakesTypedDigitsAtOnce() {
        QLineEdit field(ValidDateTime());
        stampwell::ui::dlgDateTime dialog(&field, QStringLiteral("dd.MM.yyyy"), nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QTimeEdit* editor = dialog.TimeEditor();
        auto* text = editor->findChild<QLineEdit*>();
        QTest::mouseClick(text, Qt::LeftButton, {}, QPoint(3, text->height() / 2));
        QTest::keyClicks(editor, QStringLiteral("080910"));
        QCOMPARE(editor->time(), QTime(8, 9, 10));
    }

    void ChangeNeedsBothTimeKinds() {
        Profile profile;
        profile.Set("Path", profile.root.path().toUtf8().constData());
        frmMain w;
        w.Load();
        auto* exec = Control<QPushButton>(w, "cmdExec");
        Control<QRadioButton>(w, "Option2(1)")->setChecked(true);
        QVERIFY(Control<QComboBox>(w, "Combo1")->isEnabled());
        QVERIFY(Control<QCheckBox>(w, "chkExchange")->isEnabled());
        QVERIFY(!Control<QComboBox>(w, "Combo3")->isEnabled());
        QVERIFY(exec->isEnabled());
        Control<QComboBox>(w, "Combo2")->setEditText(QString());
        QVERIFY(!exec->isEnabled());
        Control<QCheckBox>(w, "chkExchange")->setChecked(true);
        QCOMPARE(Control<QLabel>(w, "lblArr1")->text(), QStringLiteral("<==>"));
        Control<QCheckBox>(w, "chkExchange")->setChecked(false);
        QCOMPARE(Control<QLabel>(w, "lblArr1")->text(), QStringLiteral("==>"));
    }

    void FilterAndScopeFollowTheirControls() {
        Profile profile;
        profile.Set("Path", profile.root.path().toUtf8().constData());
        frmMain w;
        w.Load();
        auto* filter = Control<QLineEdit>(w, "txtFilter");
        filter->setText(QString());
        QCOMPARE(filter->text(), QStringLiteral("*.*"));
        QCOMPARE(w.FilterText(), QStringLiteral("*.*"));
        filter->setText(QStringLiteral("*.txt"));
        QCOMPARE(w.FilterText(), QStringLiteral("*.txt"));
        filter->findChild<QAction*>(QStringLiteral("txtFilter.button(0)"))->trigger();
        QCOMPARE(filter->text(), QStringLiteral("*.*"));
        // Selected: what is typed next replaces it.
        QTest::keyClicks(filter, QStringLiteral("*.log"));
        QCOMPARE(filter->text(), QStringLiteral("*.log"));
        QTest::mouseClick(Control<QRadioButton>(w, "chkDoWhat(2)"), Qt::LeftButton);
        QVERIFY(!filter->isEnabled());
        QTest::mouseClick(Control<QRadioButton>(w, "chkDoWhat(1)"), Qt::LeftButton);
        QVERIFY(filter->isEnabled());
    }

    void FilterHelpAsksBeforeGoingOnline() {
        Profile profile;
        frmMain w;
        w.Load();
        int opened = 0;
        connect(&w, &frmMain::onlineHelpRequested, [&opened] { ++opened; });
        auto* button = Control<QLineEdit>(w, "txtFilter")
                           ->findChild<QAction*>(QStringLiteral("txtFilter.button(1)"));
        profile.answers = {stampwell::ui::MessageAnswer::No, stampwell::ui::MessageAnswer::Yes};
        button->trigger();
        QCOMPARE(opened, 0);
        button->trigger();
        QCOMPARE(opened, 1);
        QCOMPARE(profile.messages[0].text,
                 w.MainText(46) + QStringLiteral("\r\n") + w.MainText(47));
        QCOMPARE(profile.messages[0].title, QStringLiteral("Stampwell"));
    }

    void RecursionChangesTheScopeCaptions() {
        Profile profile;
        frmMain w;
        w.Load();
        auto* recursive = Control<QCheckBox>(w, "chkRekursiv");
        recursive->setChecked(true);
        QCOMPARE(Control<QRadioButton>(w, "chkDoWhat(0)")->text(), w.MainText(51));
        QCOMPARE(Control<QRadioButton>(w, "chkDoWhat(1)")->text(), w.MainText(52));
        QCOMPARE(Control<QRadioButton>(w, "chkDoWhat(2)")->text(), w.MainText(48));
        recursive->setChecked(false);
        QCOMPARE(Control<QRadioButton>(w, "chkDoWhat(0)")->text(), w.MainText(50));
        QCOMPARE(Control<QRadioButton>(w, "chkDoWhat(1)")->text(), w.MainText(52));
        QCOMPARE(Control<QRadioButton>(w, "chkDoWhat(2)")->text(), w.MainText(49));
    }

    void LockingTheWindowLeavesCancelAboutAndTheFolderControls() {
        Profile profile;
        profile.Set("Path", profile.root.path().toUtf8().constData());
        profile.Set("Attrib", "1");
        frmMain w;
        w.Load();
        w.show();
        w.EnableControls(false);
        QVERIFY(!Control<QPushButton>(w, "cmdExec")->isVisible());
        QVERIFY(Control<QPushButton>(w, "cmdCancel")->isVisible());
        QVERIFY(Control<QLineEdit>(w, "txtFilter")->isEnabled());
        QVERIFY(Control<QCheckBox>(w, "chkRekursiv")->isEnabled());
        QVERIFY(Control<QToolButton>(w, "cmdAbout")->isEnabled());
        for (const char* name : {"cmdBrowse", "cmdQuit", "cmdSettings", "cmdHelp"}) {
            QVERIFY(!Control<QToolButton>(w, name)->isEnabled());
        }
        QVERIFY(!Control<QRadioButton>(w, "Option2(1)")->isEnabled());
        QVERIFY(!Control<QCheckBox>(w, "chkAttr(0)")->isEnabled());
        QCOMPARE(Control<QGroupBox>(w, "Frame3")->cursor().shape(), Qt::WaitCursor);
        w.EnableControls(true);
        QVERIFY(Control<QPushButton>(w, "cmdExec")->isVisible());
        QVERIFY(!Control<QPushButton>(w, "cmdCancel")->isVisible());
        QVERIFY(Control<QCheckBox>(w, "chkAttr(0)")->isEnabled());
        // The option interlocks are applied again: Option2(0) keeps its editors off.
        QVERIFY(!Control<QComboBox>(w, "Combo1")->isEnabled());
        QCOMPARE(Control<QGroupBox>(w, "Frame3")->cursor().shape(), Qt::ArrowCursor);
    }

    void TranslateColorTakesSystemColoursFromThePalette() {
        QCOMPARE(frmMain::TranslateColor(0x0000FF), 0x0000FFu);
        const QColor tip = QApplication::palette().color(QPalette::ToolTipBase);
        const std::uint32_t expected = static_cast<std::uint32_t>(tip.red()) |
                                       static_cast<std::uint32_t>(tip.green()) << 8 |
                                       static_cast<std::uint32_t>(tip.blue()) << 16;
        QCOMPARE(frmMain::TranslateColor(0x80000018), expected);
    }

    void StoredChoicesComeBack() {
        Profile profile;
        const QString folder = profile.root.path();
        profile.Set("Path", folder.toUtf8().constData());
        profile.Set("Mode", "1");
        profile.Set("Recursive", "False");
        profile.Set("Filter", "*.txt");
        profile.Set("Index", "2");
        profile.Set("Index3", "2");
        profile.Set("NewTime", ValidDateTime().toUtf8().constData());
        profile.Set("Attrib", "0");
        profile.Set("Hidden", "1");   // a number is a flag too
        profile.Set("System", "yes"); // neither: false
        {
            frmMain w;
            w.Load();
            QVERIFY(w.IsFolder());
            QVERIFY(Control<QRadioButton>(w, "chkDoWhat(1)")->isChecked());
            QVERIFY(!Control<QCheckBox>(w, "chkRekursiv")->isChecked());
            QCOMPARE(Control<QLineEdit>(w, "txtFilter")->text(), QStringLiteral("*.txt"));
            QVERIFY(Control<QLineEdit>(w, "txtFilter")->isEnabled());
            QVERIFY(Control<QRadioButton>(w, "Option2(2)")->isChecked());
            QVERIFY(Control<QRadioButton>(w, "Option3(0)")->isChecked());
            QCOMPARE(Control<QComboBox>(w, "Combo3")->currentText(), w.TimeNameOf(2));
            QVERIFY(Control<QCheckBox>(w, "chkAttr(3)")->isChecked());
            QVERIFY(!Control<QCheckBox>(w, "chkAttr(2)")->isChecked());
            QVERIFY(Control<QPushButton>(w, "cmdExec")->isEnabled());
            QVERIFY(!IsRed(Control<QLabel>(w, "lblPath"), QPalette::WindowText));
            Control<QCheckBox>(w, "chkRekursiv")->setChecked(true);
            w.close();
        }
        QCOMPARE(profile.Get("Recursive"), std::string("True"));
        QCOMPARE(profile.Get("Mode"), std::string("1"));
        QCOMPARE(profile.Get("Index"), std::string("2"));
        QCOMPARE(profile.Get("Index3"), std::string("2"));
        QCOMPARE(profile.Get("Hidden"), std::string("True"));
        QCOMPARE(profile.Get("System"), std::string("False"));
        QCOMPARE(profile.Get("Path"), folder.toStdString());
    }

    void GroupsWithTheirFlagOffAreNeitherLoadedNorSaved() {
        Profile profile;
        profile.Set("SaveFilter", "False");
        profile.Set("SaveTime", "False");
        profile.Set("SaveAttrib", "0");
        profile.Set("Mode", "2");
        profile.Set("Filter", "*.doc");
        profile.Set("Index", "2");
        profile.Set("Attrib", "1");
        {
            frmMain w;
            w.Load();
            QVERIFY(Control<QRadioButton>(w, "chkDoWhat(0)")->isChecked());
            QCOMPARE(Control<QLineEdit>(w, "txtFilter")->text(), QStringLiteral("*.*"));
            QVERIFY(Control<QRadioButton>(w, "Option2(0)")->isChecked());
            QVERIFY(Control<QRadioButton>(w, "Option3(0)")->isChecked());
            Control<QLineEdit>(w, "txtFilter")->setText(QStringLiteral("*.pdf"));
            Control<QRadioButton>(w, "Option3(2)")->setChecked(true);
            w.close();
        }
        QCOMPARE(profile.Get("Filter"), std::string("*.doc"));
        QCOMPARE(profile.Get("Mode"), std::string("2"));
        QCOMPARE(profile.Get("Attrib"), std::string("1"));
    }

    void TimeKindsAreStoredByNumber() {
        Profile profile;
        profile.Set("Index1", "7");
        profile.Set("Index2", "2");
        {
            frmMain w;
            w.Load();
            QCOMPARE(Control<QComboBox>(w, "Combo1")->currentText(), QString());
            QCOMPARE(Control<QComboBox>(w, "Combo2")->currentText(), w.TimeNameOf(2));
            w.close();
        }
        QCOMPARE(profile.Get("Index1"), std::string("0"));
        QCOMPARE(profile.Get("Index2"), std::string("2"));
    }

    void AMissingPathIsRedAndEnablesNothing() {
        Profile profile;
        profile.Set("Path", profile.Path(QStringLiteral("gone")).toUtf8().constData());
        frmMain w;
        w.Load();
        QVERIFY(IsRed(Control<QLabel>(w, "lblPath"), QPalette::WindowText));
        QVERIFY(!w.IsFolder());
        QVERIFY(!Control<QLineEdit>(w, "txtFilter")->isEnabled());
        QVERIFY(!Control<QCheckBox>(w, "chkRekursiv")->isEnabled());
        QVERIFY(!Control<QRadioButton>(w, "chkDoWhat(0)")->isEnabled());
    }

    void AStoredFolderWithFoldersOnlyKeepsTheFilterOff() {
        Profile profile;
        profile.Set("Path", profile.root.path().toUtf8().constData());
        profile.Set("Mode", "2");
        frmMain w;
        w.Load();
        QVERIFY(!Control<QLineEdit>(w, "txtFilter")->isEnabled());
        QVERIFY(Control<QCheckBox>(w, "chkRekursiv")->isEnabled());
        for (const char* name : {"chkDoWhat(0)", "chkDoWhat(1)", "chkDoWhat(2)"}) {
            QVERIFY(Control<QRadioButton>(w, name)->isEnabled());
        }
    }

    void LanguageFillsCaptionsAndTexts() {
        Profile profile;
        frmMain w;
        w.Load();
        QCOMPARE(w.windowTitle(), QStringLiteral("Stampwell"));
        QCOMPARE(Control<QGroupBox>(w, "Frame1")->title(), QStringLiteral(" Scope and filter"));
        QCOMPARE(Control<QGroupBox>(w, "Frame5")->title(), QStringLiteral("Status"));
        QCOMPARE(Control<QPushButton>(w, "cmdCancel")->text(), w.MainText(43));
        QCOMPARE(w.MainText(43), QStringLiteral("&Cancel"));
        QCOMPARE(w.MainText(44), Control<QPushButton>(w, "cmdExec")->text());
        QCOMPARE(w.MainText(20), w.TimeNameOf(0));
        QCOMPARE(w.MainText(56), QStringLiteral("Failed"));
        QCOMPARE(Control<QComboBox>(w, "Combo1")->count(), 3);
    }

    // Keyboard: every button has a mnemonic of its own and a tooltip, in both
    // languages, and Qt's own buttons speak the language too.
    void EveryButtonHasAMnemonicAndATooltip_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("yes");
        QTest::newRow("English") << QStringLiteral("English") << QStringLiteral("&Yes");
        QTest::newRow("Deutsch") << QStringLiteral("Deutsch") << QStringLiteral("&Ja");
    }

    void EveryButtonHasAMnemonicAndATooltip() {
        QFETCH(QString, language);
        QFETCH(QString, yes);
        Profile profile(language.toStdString());
        frmMain w;
        w.Load();
        QSet<QKeySequence> mnemonics;
        for (const char* name : {"cmdBrowse", "cmdAbout", "cmdHelp", "cmdSettings", "cmdUndo",
                                 "cmdExec", "cmdCancel", "cmdQuit", "cmdFailures"}) {
            auto* button = Control<QAbstractButton>(w, name);
            const QKeySequence mnemonic = QKeySequence::mnemonic(button->text());
            QVERIFY2(!mnemonic.isEmpty(), name);
            mnemonics.insert(mnemonic);
            QVERIFY2(!button->toolTip().isEmpty() && !button->toolTip().contains(QLatin1Char('&')),
                     name);
        }
        QCOMPARE(mnemonics.size(), 9);
        for (const char* name :
             {"txtFilter.button(0)", "txtFilter.button(1)", "txtDateTime.button(0)"}) {
            QVERIFY2(!Control<QAction>(w, name)->toolTip().isEmpty(), name);
        }
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), yes);
    }

    void KeyboardOrderAndKeys() {
        Profile profile;
        profile.Set("Path", profile.root.path().toUtf8().constData());
        frmMain w;
        int helpAsked = 0;
        connect(&w, &frmMain::helpRequested, [&helpAsked] { ++helpAsked; });
        w.Load();
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cmdBrowse"));
        const QStringList order{
            "cmdBrowse",   "chkDoWhat(0)", "chkDoWhat(1)", "chkDoWhat(2)", "txtFilter",
            "chkRekursiv", "Option2(0)",   "Option2(1)",   "chkExchange",  "Combo1",
            "Combo2",      "Option2(2)",   "Combo3",       "txtDateTime",  "Option3(0)",
            "Option3(1)",  "Option3(2)",   "chkAttr(0)",   "chkAttr(1)",   "chkAttr(2)",
            "chkAttr(3)",  "cmdFailures",  "cmdAbout",     "cmdHelp",      "cmdSettings",
            "cmdUndo",     "cmdExec",      "cmdCancel",    "cmdQuit"};
        QStringList chain;
        QWidget* next = Control<QWidget>(w, "cmdBrowse");
        do {
            if (order.contains(next->objectName()) && !chain.contains(next->objectName())) {
                chain.append(next->objectName());
            }
            next = next->nextInFocusChain();
        } while (next->objectName() != QLatin1String("cmdBrowse"));
        QCOMPARE(chain, order);
        QTest::keyClick(&w, Qt::Key_F1);
        QCOMPARE(helpAsked, 1);
    }

    void AFileWithOnlyTheTimeNamesLeavesEverythingElseEmpty() {
        Profile profile;
        QFile file(profile.Path(QStringLiteral("Sparse.lng")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[SWfrmMain]\r\nt0=A\r\nt1=B\r\nt2=C\r\n");
        file.close();
        stampwell::app::Global().LanguageFolder = profile.root.path().toStdString();
        stampwell::app::Global().CurrentLanguage = "Sparse";
        frmMain w;
        w.Load();
        for (const char* frame : {"Frame1", "Frame2", "Frame3", "Frame4"}) {
            QCOMPARE(Control<QGroupBox>(w, frame)->title(), QStringLiteral(" "));
        }
        QCOMPARE(Control<QGroupBox>(w, "Frame5")->title(), QString());
        QCOMPARE(Control<QPushButton>(w, "cmdExec")->text(), QString());
        QCOMPARE(Control<QCheckBox>(w, "chkRekursiv")->text(), QString());
        for (int i = 0; i < frmMain::kMainTextCount; ++i) {
            const bool name = (i >= 20 && i <= 22) || (i >= 33 && i <= 35);
            QCOMPARE(w.MainText(i).isEmpty(), !name);
        }
        QCOMPARE(w.MainText(21), QStringLiteral("B"));
        QCOMPARE(w.MainText(35), QStringLiteral("C"));
    }

    void ASwitchOfLanguageKeepsTheChosenTimeKinds() {
        Profile profile;
        profile.Set("Index1", "1");
        profile.Set("Index2", "2");
        frmMain w;
        w.Load();
        auto* combo1 = Control<QComboBox>(w, "Combo1");
        auto* combo3 = Control<QComboBox>(w, "Combo3");
        QCOMPARE(combo1->currentText(), QStringLiteral("Modified"));
        combo3->setEditText(QStringLiteral("something else"));
        stampwell::app::GlobalState& global = stampwell::app::Global();
        global.CurrentLanguage = "Deutsch";
        global.LanguageFilePath = stampwell::app::LanguageFileFor("Deutsch");
        w.LoadLanguage();
        w.SetComboLanguage();
        QCOMPARE(combo1->currentText(), w.TimeNameOf(1));
        QVERIFY(combo1->currentText() != QStringLiteral("Modified"));
        QCOMPARE(Control<QComboBox>(w, "Combo2")->currentText(), w.TimeNameOf(2));
        QCOMPARE(combo3->currentText(), QStringLiteral("something else"));
        QCOMPARE(combo1->itemText(1), w.TimeNameOf(1));
        w.close();
        QCOMPARE(profile.Get("Index1"), std::string("1"));
        QCOMPARE(profile.Get("Index2"), std::string("2"));
    }
};

QTEST_MAIN(InterlocksTest)
#include "interlocks_test.moc"
