#include "fixture.h"
#include "ui/dialogs/dlgAbout.h"
#include "ui/dialogs/dlgSettings.h"
#include "ui/main/AppController.h"
#include "ui/main/frmMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QToolButton>

using stampwell::ui::AppController;
using stampwell::ui::frmMain;
using stampwell::ui::TrayIcon;
using stampwell::ui::TrayMenuItem;

namespace {

// A notification area that records what is asked of it.
class RecordingTray : public TrayIcon {
public:
    explicit RecordingTray(bool available) : available_(available) {}
    bool Available() const override { return available_; }
    void Show(const QIcon& icon, const QString& tip) override {
        shown_ = true;
        ++shows;
        this->icon = icon;
        this->tip = tip;
    }
    void Remove() override { shown_ = false; }
    bool Shown() const override { return shown_; }

    // The user's right click: the menu the icon would show.
    std::vector<TrayMenuItem> RightClick() const { return MenuItems(); }

    int shows = 0;
    QIcon icon;
    QString tip;

private:
    bool available_;
    bool shown_ = false;
};

// Runs a function when the watched window receives its close event.
class CloseWatcher : public QObject {
public:
    explicit CloseWatcher(std::function<void()> onClose) : onClose_(std::move(onClose)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            onClose_();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> onClose_;
};

AppController& ControllerOf(frmMain& main) {
    auto* controller = main.findChild<AppController*>();
    if (controller == nullptr) {
        qFatal("the main window has no controller");
    }
    return *controller;
}

RecordingTray& UseTray(frmMain& main, bool available) {
    auto tray = std::make_unique<RecordingTray>(available);
    RecordingTray& recorder = *tray;
    ControllerOf(main).SetTray(std::move(tray));
    return recorder;
}

void Minimise(frmMain& main) {
    main.setWindowState(main.windowState() | Qt::WindowMinimized);
    QCoreApplication::processEvents();
}

} // namespace

class TrayTest : public QObject {
    Q_OBJECT
private slots:
    void MinimiseWithSysTrayHidesBehindTheIcon() {
        Profile profile;
        frmMain main;
        main.Load();
        main.show();
        RecordingTray& tray = UseTray(main, true);
        Minimise(main);
        QVERIFY(!main.isVisible());
        QVERIFY(tray.Shown());
        QCOMPARE(tray.shows, 1);
        QCOMPARE(tray.tip, main.windowTitle());
        QCOMPARE(tray.tip, QStringLiteral("Stampwell"));

        emit tray.restoreRequested();
        QVERIFY(main.isVisible());
        QVERIFY(!main.isMinimized());
        QVERIFY(!tray.Shown());
    }

    void MinimiseWithoutSysTrayStaysOnTheTaskBar() {
        Profile profile;
        for (const char* value : {"False", "0", ""}) {
            profile.Set("SysTray", value);
            frmMain main;
            main.Load();
            main.show();
            RecordingTray& tray = UseTray(main, true);
            Minimise(main);
            QVERIFY(main.isVisible());
            QVERIFY(main.isMinimized());
            QCOMPARE(tray.shows, 0);
        }
    }

    void WithoutANotificationAreaTheWindowIsNeverHidden() {
        Profile profile;
        frmMain main;
        main.Load();
        main.show();
        RecordingTray& tray = UseTray(main, false);
        Minimise(main);
        QVERIFY(main.isVisible());
        QVERIFY(main.isMinimized());
        QCOMPARE(tray.shows, 0);
    }

    void TheDesktopsOwnTrayOffscreenHasNoNotificationArea() {
        Profile profile;
        frmMain main;
        main.Load();
        main.show();
        QVERIFY(!ControllerOf(main).Tray().Available());
        Minimise(main);
        QVERIFY(main.isVisible());
        QVERIFY(!ControllerOf(main).Tray().Shown());
    }

    void MenuHasOpenAndExitInTheCurrentLanguage() {
        Profile profile;
        frmMain main;
        main.Load();
        main.show();
        RecordingTray& tray = UseTray(main, true);
        Minimise(main);
        const std::vector<TrayMenuItem> items = tray.RightClick();
        QCOMPARE(items.size(), std::size_t(2));
        QCOMPARE(items[0].key, QStringLiteral("open"));
        QCOMPARE(items[0].caption, LangText("English", "SWfrmMain", 39));
        QCOMPARE(items[1].key, QStringLiteral("exit"));
        QCOMPARE(items[1].caption, LangText("English", "SWfrmMain", 40));
        QCOMPARE(tray.RightClick().size(), std::size_t(2));

        emit tray.menuChosen(QStringLiteral("open"));
        QVERIFY(main.isVisible());
        QVERIFY(!main.isMinimized());
        QVERIFY(!tray.Shown());
    }

    void ExitFromTheTraySavesTheWindowsState() {
        Profile profile;
        frmMain main;
        main.Load();
        main.show();
        Control<QLineEdit>(main, "txtFilter")->setText(QStringLiteral("*.jpg"));
        RecordingTray& tray = UseTray(main, true);
        Minimise(main);
        emit tray.menuChosen(QStringLiteral("exit"));
        QCOMPARE(profile.Get("Filter"), std::string("*.jpg"));
        QVERIFY(!main.isVisible());
        QVERIFY(!tray.Shown());
    }

    void QuitButtonAndCloseBoxSaveTheWindowsState() {
        Profile profile;
        {
            frmMain main;
            main.Load();
            main.show();
            Control<QLineEdit>(main, "txtFilter")->setText(QStringLiteral("*.png"));
            Control<QToolButton>(main, "cmdQuit")->click();
            QVERIFY(!main.isVisible());
            QCOMPARE(profile.Get("Filter"), std::string("*.png"));
        }
        frmMain main;
        main.Load();
        main.show();
        Control<QLineEdit>(main, "txtFilter")->setText(QStringLiteral("*.gif"));
        main.close();
        QCOMPARE(profile.Get("Filter"), std::string("*.gif"));
    }

    void AppExitClosesEveryWindowAfterSaving() {
        Profile profile;
        frmMain main;
        main.Load();
        main.show();
        Control<QLineEdit>(main, "txtFilter")->setText(QStringLiteral("*.doc"));
        stampwell::ui::ShowAboutBox(&main);
        QVERIFY(stampwell::ui::AboutBoxOpen());

        QPointer<QWidget> settings;
        std::string filterWhenClosing;
        CloseWatcher onClose([&] { filterWhenClosing = profile.Get("Filter"); });
        QTimer::singleShot(0, &main, [&] {
            settings = QApplication::activeModalWidget();
            QVERIFY(settings != nullptr);
            QVERIFY(qobject_cast<stampwell::ui::dlgSettings*>(settings.data()) != nullptr);
            // The main window's state is saved before the dialog goes.
            settings->installEventFilter(&onClose);
            ControllerOf(main).AppExit();
        });
        Control<QToolButton>(main, "cmdSettings")->click();

        QCOMPARE(filterWhenClosing, std::string("*.doc"));
        QVERIFY(!main.isVisible());
        QVERIFY(!stampwell::ui::AboutBoxOpen());
        for (QWidget* window : QApplication::topLevelWidgets()) {
            QVERIFY2(!window->isVisible(), qPrintable(window->objectName()));
        }
    }
};

QTEST_MAIN(TrayTest)
#include "tray_test.moc"
