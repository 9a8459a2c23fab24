#pragma once

#include <QString>

class QWidget;

namespace stampupdate {

// Asks the user a Yes/No question in a modal box without an icon.
class UpdateQuestion {
public:
    virtual ~UpdateQuestion() = default;
    // True when the answer is Yes.
    virtual bool AskYesNo(const QString& title, const QString& text, QWidget* owner) = 0;
};

// Hands a web address to the platform's default browser.
class AddressOpener {
public:
    virtual ~AddressOpener() = default;
    virtual void Open(const QString& address) = 0;
};

} // namespace stampupdate
