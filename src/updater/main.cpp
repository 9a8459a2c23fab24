#include "updater/desktop_ports.h"
#include "updater/frmUpdate.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // The window is never shown, so the program ends on its unload rather than
    // on the last visible window closing.
    QApplication::setQuitOnLastWindowClosed(false);

    stampupdate::MessageBoxQuestion question;
    stampupdate::BrowserOpener opener;
    stampupdate::frmUpdate form(question, opener,
                                stampupdate::CommandLineText(QApplication::arguments()));
    QApplication::setWindowIcon(form.windowIcon()); // the question box's too
    QObject::connect(&form, &stampupdate::frmUpdate::Unloaded, &app, &QApplication::quit);
    QTimer::singleShot(0, &form, &stampupdate::frmUpdate::Load);
    QApplication::exec();
    return 0;
}
