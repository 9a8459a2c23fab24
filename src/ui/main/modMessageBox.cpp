#include "ui/main/modMessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

namespace stampwell::ui {

namespace {

std::function<MessageAnswer(const MessageRequest&)>& Handler() {
    static std::function<MessageAnswer(const MessageRequest&)> handler;
    return handler;
}

QMessageBox::Icon ToQt(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

MessageAnswer ShowMessage(QWidget* parent, MessageIcon icon, const QString& title,
                          const QString& text, MessageButtons buttons) {
    const MessageRequest request{icon, title, text, buttons};
    if (Handler()) {
        return Handler()(request);
    }
    QMessageBox box(ToQt(icon), title.isEmpty() ? QApplication::applicationName() : title,
                    QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                    buttons == MessageButtons::YesNo ? QMessageBox::Yes | QMessageBox::No
                                                     : QMessageBox::Ok,
                    parent);
    // Plain buttons, as the platform's own message boxes have them.
    for (QAbstractButton* button : box.buttons()) {
        button->setIcon(QIcon());
    }
    const int answer = box.exec();
    if (buttons == MessageButtons::Ok) {
        return MessageAnswer::Ok;
    }
    return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

void SetMessageHandler(std::function<MessageAnswer(const MessageRequest&)> handler) {
    Handler() = std::move(handler);
}

} // namespace stampwell::ui
