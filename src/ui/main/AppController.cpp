#include "ui/main/AppController.h"

#include "app/modINIHandler.h"
#include "ui/dialogs/dlgAbout.h"
#include "ui/dialogs/dlgSettings.h"
#include "ui/main/frmMain.h"
#include "ui/main/modLinks.h"
#include "ui/main/modMessageBox.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>

namespace stampwell::ui {

AppController::AppController(frmMain& main) : QObject(&main), main_(main) {
    setObjectName(QStringLiteral("AppController"));
    SetTray(std::make_unique<SystemTrayIcon>());
    main_.installEventFilter(this);
    connect(&main_, &frmMain::settingsRequested, this, &AppController::OpenSettings);
    connect(&main_, &frmMain::aboutRequested, this, &AppController::OpenAbout);
    connect(&main_, &frmMain::helpRequested, this, &AppController::AskForOnlineHelp);
    connect(&main_, &frmMain::onlineHelpRequested, this, [] { OpenLink(HelpPageAddress()); });
}

AppController::~AppController() = default;

AppController& AppController::Attach(frmMain& main) {
    return *new AppController(main);
}

void AppController::SetTray(std::unique_ptr<TrayIcon> tray) {
    tray_ = std::move(tray);
    tray_->SetMenuItems([this] {
        return std::vector<TrayMenuItem>{{QStringLiteral("open"), main_.MainText(10)},
                                         {QStringLiteral("exit"), main_.MainText(11)}};
    });
    connect(tray_.get(), &TrayIcon::restoreRequested, this, &AppController::RestoreWindow);
    connect(tray_.get(), &TrayIcon::menuChosen, this, &AppController::OnMenuChosen);
}

bool AppController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &main_ && event->type() == QEvent::WindowStateChange && main_.isMinimized()) {
        // Hidden once the window system has finished minimising it.
        QMetaObject::invokeMethod(this, &AppController::MinimiseToTray, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

void AppController::MinimiseToTray() {
    // Without a notification area a hidden window could not be brought back:
    // it stays minimised as usual.
    if (!main_.isMinimized() || !tray_->Available() ||
        !app::IniFlag(app::ReadIni("Options", "SysTray", "0"))) {
        return;
    }
    tray_->Show(main_.windowIcon(), main_.windowTitle());
    main_.hide();
}

void AppController::RestoreWindow() {
    main_.showNormal();
    tray_->Remove();
    main_.raise();
    main_.activateWindow();
}

void AppController::OnMenuChosen(const QString& key) {
    if (key == QLatin1String("open")) {
        RestoreWindow();
    } else if (key == QLatin1String("exit")) {
        AppExit();
    }
}

void AppController::AppExit() {
    main_.Unload();
    tray_->Remove();
    main_.close();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != &main_ && window->isVisible()) {
            window->close();
        }
    }
    // No window is left: the program ends, also when the main window was
    // hidden in the notification area.
    QCoreApplication::quit();
}

void AppController::OpenSettings() {
    dlgSettings dialog(&main_, [this] {
        main_.LoadLanguage();
        main_.SetComboLanguage();
    });
    dialog.exec();
}

void AppController::OpenAbout() {
    ShowAboutBox(&main_);
}

void AppController::AskForOnlineHelp() {
    const MessageAnswer answer = ShowMessage(
        &main_, MessageIcon::None, QStringLiteral("Stampwell"),
        main_.MainText(46) + QStringLiteral("\r\n") + main_.MainText(47), MessageButtons::YesNo);
    if (answer == MessageAnswer::Yes) {
        OpenLink(HelpPageAddress());
    }
}

} // namespace stampwell::ui
