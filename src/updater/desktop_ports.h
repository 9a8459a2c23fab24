#pragma once

#include "updater/update_ports.h"

namespace stampupdate {

// A QMessageBox with Yes (the default) and No; Escape and the close box answer No.
class MessageBoxQuestion : public UpdateQuestion {
public:
    bool AskYesNo(const QString& title, const QString& text, QWidget* owner) override;
};

// QDesktopServices: on Linux that runs xdg-open. Whether a browser came up is
// not examined.
class BrowserOpener : public AddressOpener {
public:
    void Open(const QString& address) override;
};

} // namespace stampupdate
