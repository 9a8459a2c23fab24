#include "app/dlgLangSelect.h"
#include "app/startup.h"
#include "ui/icon/modAppIcon.h"
#include "ui/main/frmMain.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

using namespace stampwell;

// Stampwell settles its profile and language, then shows the main window and
// runs until that is closed. One optional argument names the item to work on,
// as if it had been dropped on the window ("Open with Stampwell").
int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("com.olvadi.Stampwell"));
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 2) {
        std::fputs("Usage: Stampwell [PATH]\n", stderr);
        return 2;
    }
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
    hooks.fileUnusable = [](const std::string& path, const platform::SysError& reason) {
        QMessageBox::warning(nullptr, "Stampwell",
                             QString::fromStdString(app::UnusableFileText(path, reason)));
    };
    app::RunStartup(hooks);

    ui::frmMain window;
    window.Load();
    window.show();
    if (arguments.size() == 2) {
        QTimer::singleShot(0, &window, [&window, item = arguments[1]] { window.OpenItem(item); });
    }
    // Once the window is on screen: a run cut short by a crash is offered for undo.
    QTimer::singleShot(0, &window, &ui::frmMain::OfferRecovery);
    return application.exec();
}
