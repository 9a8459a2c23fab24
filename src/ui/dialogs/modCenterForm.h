#pragma once

class QWidget;

namespace stampwell::ui {

// Places form in the middle of parent's window, or of the screen when there
// is no parent. Over a parent the form never starts left of or above the
// screen's origin.
void CenterForm(QWidget& form, const QWidget* parent);

} // namespace stampwell::ui
