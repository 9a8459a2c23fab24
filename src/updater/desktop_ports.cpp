#include "updater/desktop_ports.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

namespace stampupdate {

bool MessageBoxQuestion::AskYesNo(const QString& title, const QString& text, QWidget* owner) {
    // The text keeps Windows' CR LF line breaks; a Qt label breaks at LF alone.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(QMessageBox::NoIcon, title, shown, QMessageBox::Yes | QMessageBox::No, owner);
    box.setDefaultButton(QMessageBox::Yes);
    // Plain buttons, as the platform's own message boxes have them.
    for (QAbstractButton* button : box.buttons()) {
        button->setIcon(QIcon());
    }
    return box.exec() == QMessageBox::Yes;
}

void BrowserOpener::Open(const QString& address) {
    QDesktopServices::openUrl(QUrl(address));
}

} // namespace stampupdate
