#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace stampwell::ui {

enum class MessageIcon { None, Information, Question, Warning };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

struct MessageRequest {
    MessageIcon icon = MessageIcon::None;
    QString title; // empty: the application's name
    QString text;
    MessageButtons buttons = MessageButtons::Ok;
};

// Every message box of the windows goes through here: modal, with the given
// buttons, and the answer the user gave.
MessageAnswer ShowMessage(QWidget* parent, MessageIcon icon, const QString& title,
                          const QString& text, MessageButtons buttons);

// Replaces the message boxes by a function (tests answer and record them);
// an empty function restores the real boxes.
void SetMessageHandler(std::function<MessageAnswer(const MessageRequest&)> handler);

} // namespace stampwell::ui
