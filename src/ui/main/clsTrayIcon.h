#pragma once

#include <QIcon>
#include <QObject>
#include <QString>
#include <functional>
#include <vector>

namespace stampwell::ui {

struct TrayMenuItem {
    QString key;
    QString caption;
};

// The icon that stands for the hidden main window in the desktop's
// notification area. The window's controller asks only this of it, so tests
// put a recording icon in its place.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Whether the desktop has a notification area at all.
    virtual bool Available() const = 0;
    // Shows the icon with its tip text.
    virtual void Show(const QIcon& icon, const QString& tip) = 0;
    // Removes the icon from the notification area.
    virtual void Remove() = 0;
    virtual bool Shown() const = 0;

    // The items of the icon's menu, asked for each time the menu opens.
    void SetMenuItems(std::function<std::vector<TrayMenuItem>()> items) {
        menuItems_ = std::move(items);
    }
    std::vector<TrayMenuItem> MenuItems() const {
        return menuItems_ ? menuItems_() : std::vector<TrayMenuItem>{};
    }

signals:
    // The user's gesture to bring the window back (a click on the icon).
    void restoreRequested();
    // A menu item was chosen.
    void menuChosen(const QString& key);

private:
    std::function<std::vector<TrayMenuItem>()> menuItems_;
};

// The desktop's own notification area, through QSystemTrayIcon.
class SystemTrayIcon : public TrayIcon {
    Q_OBJECT
public:
    explicit SystemTrayIcon(QObject* parent = nullptr);
    ~SystemTrayIcon() override;

    bool Available() const override;
    void Show(const QIcon& icon, const QString& tip) override;
    void Remove() override;
    bool Shown() const override;

private:
    void FillMenu();

    struct Parts;
    std::unique_ptr<Parts> parts_;
};

} // namespace stampwell::ui
