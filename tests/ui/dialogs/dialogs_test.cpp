#include "ui/dialogs/dlgAbout.h"
#include "ui/dialogs/dlgSettings.h"
#include "ui/main/AppController.h"
#include "ui/main/profile.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

using namespace stampwell::ui;
using stampwell::app::Global;

Q_DECLARE_METATYPE(MessageAnswer)

namespace {

const QStringList kEnglish{"&Quit", "&Close", "&Save"};
const QStringList kGerman{"&Beenden", "&Schließen", "&Speichern"};

// The quit button's caption of the main window, the about box's and the settings dialog's.
QStringList Captions(QWidget& main, QWidget& about, QWidget& settings) {
    return {Control<QAbstractButton>(main, "cmdQuit")->text(),
            Control<QAbstractButton>(about, "cmdQuit")->text(),
            Control<QAbstractButton>(settings, "cmdSave")->text()};
}

// A notification area that records what is asked of it, put in place of the desktop's.
class RecordingTray : public TrayIcon {
public:
    bool Available() const override { return available; }
    void Show(const QIcon&, const QString& shownTip) override { tip = shownTip; }
    void Remove() override { tip.clear(); }
    bool Shown() const override { return !tip.isEmpty(); }
    std::vector<TrayMenuItem> Menu() const { return MenuItems(); }
    QString tip;
    bool available = true;
};

RecordingTray& UseTray(frmMain& main, bool available) {
    auto* tray = new RecordingTray;
    tray->available = available;
    Control<AppController>(main, QString())->SetTray(std::unique_ptr<RecordingTray>(tray));
    return *tray;
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    // A switch shows its stored value; Save writes what the box shows, and the language.
    void TheSwitchesAreLoadedAndSaved_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("stored"); // "-" for none
        QTest::addColumn<bool>("on");
        QTest::addColumn<QString>("language"); // in use; none takes Deutsch
        const auto row = [](const char* key, const char* stored, bool on, const char* language) {
            QTest::newRow(key) << key << stored << on << language;
        };
        row("SavePath", "-", true, "English");
        row("SaveFilter", "-", true, "");
        row("SaveTime", "0", false, "English");
        row("SaveAttrib", "7", true, "English");
        row("ChangeReadOnlyDirTimes", "True", true, "English");
        row("ChangeHiddenDirTimes", "1", true, "English");
    }
    void TheSwitchesAreLoadedAndSaved() {
        QFETCH(QString, key);
        QFETCH(QString, stored);
        QFETCH(bool, on);
        QFETCH(QString, language);
        Window profile(language.toStdString());
        profile.Store(stored == "-" ? "" : key + '=' + stored);
        dlgSettings dialog(nullptr, {});
        auto* box = Control<QCheckBox>(dialog, "chk" + key);
        QCOMPARE(box->isChecked(), on);
        box->setChecked(!on);
        Control<QPushButton>(dialog, "cmdSave")->click();
        QCOMPARE(profile.Get(key.toLatin1().constData()), on ? "False" : "True");
        QCOMPARE(profile.Get("Language"), language.isEmpty() ? "Deutsch" : language);
    }

    // A picked language relabels the main window, the about box and the
    // dialog at once; Save keeps it, Cancel and Esc take it back, the close
    // box leaves it unsaved.
    void APickedLanguage_data() {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QString>("stored");
        QTest::newRow("save") << QStringLiteral("cmdSave") << kGerman << QStringLiteral("Deutsch");
        QTest::newRow("cancel") << QStringLiteral("cmdCancel") << kEnglish << QString();
        QTest::newRow("escape") << QStringLiteral("escape") << kEnglish << QString();
        QTest::newRow("close box") << QStringLiteral("close") << kGerman << QString();
    }
    void APickedLanguage() {
        QFETCH(QString, ending);
        QFETCH(QStringList, captions);
        QFETCH(QString, stored);
        Window profile;
        frmMain& main = profile.Open("Index1=1");
        dlgAbout& about = ShowAboutBox(&main);
        Answer<dlgSettings>([&](dlgSettings& dialog) {
            QCOMPARE(Captions(main, about, dialog), kEnglish);
            auto* list = Control<QComboBox>(dialog, "Combo1");
            list->setCurrentIndex(list->findText("Deutsch"));
            emit list->textActivated("Deutsch");
            QCOMPARE(Captions(main, about, dialog), kGerman);
            QCOMPARE(Control<QComboBox>(main, "Combo1")->currentText(), "Geändert");
            if (ending == "escape") {
                QTest::keyClick(&dialog, Qt::Key_Escape);
            } else if (ending == "close") {
                dialog.close();
            } else {
                Control<QPushButton>(dialog, ending)->click();
            }
            QCOMPARE(Captions(main, about, dialog), captions);
        });
        Control<QToolButton>(main, "cmdSettings")->click();
        QCOMPARE(Global().CurrentLanguage, captions == kGerman ? "Deutsch" : "English");
        QCOMPARE(profile.Get("Language"), stored);
    }

    // One about box at a time: a second opening brings it forward; closed by
    // its button or Esc it is gone and opens afresh. Its links open
    // the help page and a support message; the help buttons ask first.
    void TheAboutBoxAndTheHelp() {
        Window profile;
        frmMain& main = profile.Open();
        dlgAbout& box = ShowAboutBox(&main);
        QCOMPARE(Control<QLabel>(box, "lblVersion")->text(), "Version 3.01.000");
        emit Control<QLabel>(box, "lblWeburl")->linkActivated(QString());
        emit Control<QLabel>(box, "lblSupport")->linkActivated(QString());
        profile.answers = {MessageAnswer::No, MessageAnswer::Yes};
        Control<QToolButton>(main, "cmdHelp")->click();
        Control<QAction>(main, "txtFilter.button(1)")->trigger();
        const QString date = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
        QCOMPARE(profile.links, QStringList({HelpPageAddress(),
                                             "mailto:" + SupportMailAddress() +
                                                 "?subject=Stampwell Request " + date,
                                             HelpPageAddress()}));
        QCOMPARE(profile.messages.value(1).text, main.MainText(46) + "\r\n" + main.MainText(47));
        QCOMPARE(&ShowAboutBox(&main), &box);
        Control<QPushButton>(box, "cmdQuit")->click();
        QVERIFY(!AboutBoxOpen());
        QTest::keyClick(&ShowAboutBox(&main), Qt::Key_Escape);
        QVERIFY(!AboutBoxOpen());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(Control<QLabel>(ShowAboutBox(&main), "lblInfo")->text().startsWith("Thank"));
    }

    // Minimised with SysTray on and a notification area, the window hides
    // behind its icon; the icon or its menu's Open brings it back.
    void MinimisingToTheNotificationArea_data() {
        QTest::addColumn<QString>("sysTray");
        QTest::addColumn<bool>("area");
        QTest::addColumn<QString>("back"); // how it comes back; "" when it never went
        const auto row = [](const char* name, const char* sysTray, bool area, const char* back) {
            QTest::newRow(name) << sysTray << area << back;
        };
        row("icon", "True", true, "icon");
        row("menu", "True", true, "open");
        row("off", "False", true, "");
        row("no area", "True", false, "");
    }
    void MinimisingToTheNotificationArea() {
        QFETCH(QString, sysTray);
        QFETCH(bool, area);
        QFETCH(QString, back);
        Window profile;
        frmMain& main = profile.Open("SysTray=" + sysTray);
        RecordingTray& tray = UseTray(main, area);
        main.setWindowState(main.windowState() | Qt::WindowMinimized);
        QCoreApplication::processEvents();
        QCOMPARE(tray.tip, back.isEmpty() ? "" : "Stampwell");
        QCOMPARE(main.isVisible(), back.isEmpty());
        if (!back.isEmpty()) {
            QStringList menu;
            for (const TrayMenuItem& item : tray.Menu()) {
                menu.append(item.key + '=' + item.caption);
            }
            QCOMPARE(menu, QStringList({"open=Open Stampwell", "exit=Exit"}));
            if (back == "icon") {
                emit tray.restoreRequested();
            } else {
                emit tray.menuChosen(back);
            }
        }
        QVERIFY(main.isVisible() && !tray.Shown());
        QCOMPARE(main.isMinimized(), back.isEmpty());
    }

    // However the program is left, the window's choices are saved first.
    // Leaving it from the tray or with a dialog open closes every window.
    void LeavingSavesTheChoices_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("tray menu") << QStringLiteral("exit");
        QTest::newRow("quit button") << QStringLiteral("cmdQuit");
        QTest::newRow("with settings open") << QStringLiteral("cmdSettings");
    }
    void LeavingSavesTheChoices() {
        QFETCH(QString, how);
        Window profile;
        frmMain& main = profile.Open("SysTray=True");
        Control<QLineEdit>(main, "txtFilter")->setText("*.jpg");
        ShowAboutBox(&main);
        RecordingTray& tray = UseTray(main, true);
        if (how == "exit") {
            main.setWindowState(main.windowState() | Qt::WindowMinimized);
            QCoreApplication::processEvents();
            emit tray.menuChosen(how);
        } else {
            QTimer::singleShot(0, &main, [&] {
                QVERIFY(qobject_cast<dlgSettings*>(QApplication::activeModalWidget()) != nullptr);
                Control<AppController>(main, QString())->AppExit();
            });
            Control<QToolButton>(main, how)->click();
        }
        QCOMPARE(profile.Get("Filter"), "*.jpg");
        QVERIFY(!tray.Shown() && !main.isVisible());
        QCOMPARE(AboutBoxOpen(), how == "cmdQuit");
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
