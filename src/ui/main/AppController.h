#pragma once

#include "ui/main/clsTrayIcon.h"

#include <QObject>
#include <memory>

namespace stampwell::ui {

class frmMain;

// What the main window's buttons open beyond the window itself (settings,
// about box, online help), the notification-area icon that stands for the
// minimised window, and the end of the program. Lives as long as the window.
class AppController : public QObject {
    Q_OBJECT
public:
    explicit AppController(frmMain& main);
    ~AppController() override;

    // Gives main its controller (owned by main).
    static AppController& Attach(frmMain& main);

    // Replaces the notification-area icon (tests put a recording one in).
    void SetTray(std::unique_ptr<TrayIcon> tray);
    TrayIcon& Tray() const { return *tray_; }

    // Closes every open window of the program, dialogs included, after the
    // main window has saved its state.
    void AppExit();

    // The window back from the notification area: normal, shown, in front.
    void RestoreWindow();

    void OpenSettings();
    void OpenAbout();
    // Asks whether to go online and opens the online help on Yes.
    void AskForOnlineHelp();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MinimiseToTray();
    void OnMenuChosen(const QString& key);

    frmMain& main_;
    std::unique_ptr<TrayIcon> tray_;
};

} // namespace stampwell::ui
