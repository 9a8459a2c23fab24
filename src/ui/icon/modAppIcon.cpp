#include "ui/icon/modAppIcon.h"

#include <QApplication>
#include <QFileInfo>
#include <QString>
#include <QWidget>
#include <array>

// The resource lives in a static library: nothing would pull it into the program
// without this reference. Q_INIT_RESOURCE must be used outside any namespace.
static void InitIconResource() {
    Q_INIT_RESOURCE(stampwell);
    Q_INIT_RESOURCE(buttons);
}

namespace stampwell::ui {

namespace {

constexpr std::array<int, 7> kSizes{16, 24, 32, 48, 64, 128, 256};

QString IconFile(int size) {
    return QStringLiteral(":/icons/stampwell-%1.png").arg(size);
}

} // namespace

std::span<const int> AppIconSizes() {
    return kSizes;
}

QIcon AppIcon() {
    static const bool initialised = (InitIconResource(), true);
    (void)initialised;
    QIcon icon;
    for (const int size : kSizes) {
        const QString file = IconFile(size);
        if (QFileInfo::exists(file)) {
            icon.addFile(file, QSize(size, size));
        }
    }
    return icon;
}

QIcon ButtonIcon(const QString& name) {
    static const bool initialised = (InitIconResource(), true);
    (void)initialised;
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64}) {
        const QString file = QStringLiteral(":/buttons/%1-%2.png").arg(name).arg(size);
        if (QFileInfo::exists(file)) {
            icon.addFile(file, QSize(size, size));
        }
    }
    return icon;
}

bool SetAppIcon(QWidget& window, bool asApplicationIcon) {
    const QIcon icon = AppIcon();
    if (icon.isNull()) {
        return false;
    }
    window.setWindowIcon(icon);
    if (asApplicationIcon) {
        // The top-level owner: the window of the parent, of its parent, and so on.
        QWidget* owner = window.window();
        while (owner->parentWidget() != nullptr) {
            owner = owner->parentWidget()->window();
        }
        owner->setWindowIcon(icon);
        QApplication::setWindowIcon(icon);
    }
    return true;
}

} // namespace stampwell::ui
