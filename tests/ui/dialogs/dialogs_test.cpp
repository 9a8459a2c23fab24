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
    // A switch shows its stored value; Save writes what the box shows, and the
    // language in use, the first one when there is none.
    void TheSwitchesAreLoadedAndSaved() {
        const struct {
            const char *key, *stored, *language; // "" for none
            bool on;
        } rows[] = {{"SaveFilter", "", "", true},
                    {"SaveTime", "0", "English", false},
                    {"SaveAttrib", "7", "English", true}};
        for (const auto& row : rows) {
            Window profile(row.language);
            profile.Store(*row.stored ? QStringLiteral("%1=%2").arg(row.key, row.stored) : "");
            dlgSettings dialog(nullptr, {});
            auto* box = Control<QCheckBox>(dialog, QStringLiteral("chk") + row.key);
            QVERIFY2(box->isChecked() == row.on, row.key);
            box->setChecked(!row.on);
            Control<QPushButton>(dialog, "cmdSave")->click();
            QCOMPARE(profile.Get(row.key), row.on ? "False" : "True");
            QCOMPARE(profile.Get("Language"), *row.language ? row.language : "Deutsch");
        }
    }

    // A picked language relabels the main window, the about box and the
    // dialog at once; Save keeps it, Cancel and Esc take it back, the close
    // box leaves it unsaved.
    void APickedLanguage() {
        const struct {
            const char *ending, *stored;
            QStringList captions;
        } rows[] = {{"cmdSave", "Deutsch", kGerman},
                    {"cmdCancel", "", kEnglish},
                    {"escape", "", kEnglish},
                    {"close", "", kGerman}};
        for (const auto& row : rows) {
            Window profile;
            frmMain& main = profile.Open("Index1=1");
            dlgAbout& about = ShowAboutBox(&main);
            Answer<dlgSettings>([&](dlgSettings& dialog) {
                auto* list = Control<QComboBox>(dialog, "Combo1");
                list->setCurrentIndex(list->findText("Deutsch"));
                emit list->textActivated("Deutsch");
                QCOMPARE(Captions(main, about, dialog), kGerman);
                QCOMPARE(Control<QComboBox>(main, "Combo1")->currentText(), "Geändert");
                if (row.ending == QLatin1String("escape")) {
                    QTest::keyClick(&dialog, Qt::Key_Escape);
                } else if (row.ending == QLatin1String("close")) {
                    dialog.close();
                } else {
                    Control<QPushButton>(dialog, row.ending)->click();
                }
                QVERIFY2(Captions(main, about, dialog) == row.captions, row.ending);
            });
            Control<QToolButton>(main, "cmdSettings")->click();
            QCOMPARE(stampwell::app::Global().CurrentLanguage,
                     row.captions == kGerman ? "Deutsch" : "English");
            QCOMPARE(profile.Get("Language"), row.stored);
        }
    }

    // One about box at a time: a second opening brings it forward; closed it
    // is gone and opens afresh. Its links open the help page and a support
    // message; the help buttons ask first.
    void TheAboutBoxAndTheHelp() {
        Window profile;
        frmMain& main = profile.Open();
        dlgAbout& box = ShowAboutBox(&main);
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
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(Control<QLabel>(ShowAboutBox(&main), "lblInfo")->text().startsWith("Thank"));
    }

    // Minimised with SysTray on and a notification area, the window hides
    // behind its icon; the icon or its menu's Open brings it back. However
    // the program is left (the menu's Exit, Quit, or with a dialog open), the
    // window's choices are saved first; from the tray or with a dialog open
    // every window closes.
    void TheNotificationAreaAndLeaving() {
        const struct {
            const char* sysTray;
            QString how; // "" when the window stays minimised
            bool area;
        } rows[] = {{"True", "icon", true},       {"True", "open", true}, {"False", "", true},
                    {"True", "", false},          {"True", "exit", true}, {"True", "cmdQuit", true},
                    {"True", "cmdSettings", true}};
        for (const auto& [sysTray, how, area] : rows) {
            Window profile;
            frmMain& main = profile.Open(QStringLiteral("SysTray=") + sysTray);
            Control<QLineEdit>(main, "txtFilter")->setText("*.jpg");
            ShowAboutBox(&main);
            RecordingTray& tray = UseTray(main, area);
            if (how.startsWith("cmd")) {
                QTimer::singleShot(0, &main, [&] {
                    QVERIFY(qobject_cast<dlgSettings*>(QApplication::activeModalWidget()));
                    Control<AppController>(main, QString())->AppExit();
                });
                Control<QToolButton>(main, how)->click();
            } else {
                main.setWindowState(main.windowState() | Qt::WindowMinimized);
                QCoreApplication::processEvents();
                QCOMPARE(tray.tip, how.isEmpty() ? "" : "Stampwell");
                QCOMPARE(main.isVisible(), how.isEmpty());
                if (how == "icon") {
                    emit tray.restoreRequested();
                } else if (!how.isEmpty()) {
                    emit tray.menuChosen(how);
                }
            }
            const bool left = how == "exit" || how.startsWith("cmd");
            QVERIFY(main.isVisible() != left && !tray.Shown());
            QVERIFY(left || main.isMinimized() == how.isEmpty());
            QCOMPARE(profile.Get("Filter") == "*.jpg", left);
            QCOMPARE(AboutBoxOpen(), !left || how == "cmdQuit");
        }
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
