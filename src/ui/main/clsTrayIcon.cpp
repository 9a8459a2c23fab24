#include "ui/main/clsTrayIcon.h"

#include <QMenu>
#include <QSystemTrayIcon>

namespace stampwell::ui {

// The menu outlives the icon that shows it.
struct SystemTrayIcon::Parts {
    QMenu menu;
    QSystemTrayIcon icon;
};

SystemTrayIcon::SystemTrayIcon(QObject* parent)
    : TrayIcon(parent), parts_(std::make_unique<Parts>()) {
    parts_->icon.setContextMenu(&parts_->menu);
    // Each opening shows the items once, in the language of the moment.
    connect(&parts_->menu, &QMenu::aboutToShow, this, &SystemTrayIcon::FillMenu);
    connect(&parts_->icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) {
                    emit restoreRequested();
                }
            });
}

SystemTrayIcon::~SystemTrayIcon() = default;

bool SystemTrayIcon::Available() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void SystemTrayIcon::Show(const QIcon& icon, const QString& tip) {
    FillMenu();
    parts_->icon.setIcon(icon);
    parts_->icon.setToolTip(tip);
    parts_->icon.show();
}

void SystemTrayIcon::Remove() {
    parts_->icon.hide();
}

bool SystemTrayIcon::Shown() const {
    return parts_->icon.isVisible();
}

void SystemTrayIcon::FillMenu() {
    parts_->menu.clear();
    for (const TrayMenuItem& item : MenuItems()) {
        QAction* action = parts_->menu.addAction(item.caption);
        connect(action, &QAction::triggered, this,
                [this, key = item.key] { emit menuChosen(key); });
    }
}

} // namespace stampwell::ui
