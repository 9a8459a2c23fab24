#include "app/dlgLangSelect.h"
#include "app/startup.h"
#include "ui/icon/modAppIcon.h"
#include "ui/main/frmMain.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

using namespace stampwell;

// Stampwell reads no command line: it settles its profile and language, then
// shows the main window and runs until that is closed.
int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    app::LocateProgramFolders();
    // Every window has the program's icon, the language dialog before any other.
    QApplication::setWindowIcon(ui::AppIcon());

    app::StartupHooks hooks;
    hooks.askForLanguage = [] {
        app::dlgLangSelect dialog;
        dialog.exec();
        return dialog.Chosen();
    };
    hooks.defaultIniFailed = [](const std::string& folder, const platform::SysError& reason) {
        QMessageBox::warning(nullptr, "Stampwell",
                             QString::fromStdString(app::DefaultIniFailureText(folder, reason)));
    };
    app::RunStartup(hooks);

    ui::frmMain window;
    window.Load();
    window.show();
    // Once the window is on screen: a run cut short by a crash is offered for undo.
    QTimer::singleShot(0, &window, &ui::frmMain::OfferRecovery);
    return application.exec();
}
