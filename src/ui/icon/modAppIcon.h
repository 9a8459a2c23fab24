#pragma once

#include <QIcon>
#include <span>

class QWidget;

namespace stampwell::ui {

// The sizes, in pixels, in which the program's icon is drawn, smallest first.
std::span<const int> AppIconSizes();

// The program's icon with every drawn size, so that each size the platform asks for is
// shown as drawn rather than scaled. Null when the icon resource is not linked in.
QIcon AppIcon();

// A button's picture drawn in the icon's style ("help", "settings"), in every
// drawn size, so that it stays sharp on a scaled screen. Null when unknown.
QIcon ButtonIcon(const QString& name);

// Gives window the program's icon in every size. With asApplicationIcon the window's
// top-level owner and the application get it too, so the task bar, the task switcher
// and windows opened later show it. Returns false, and leaves every icon as it was,
// when the icon resource is missing.
bool SetAppIcon(QWidget& window, bool asApplicationIcon = true);

} // namespace stampwell::ui
