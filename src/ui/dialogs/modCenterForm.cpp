#include "ui/dialogs/modCenterForm.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace stampwell::ui {

void CenterForm(QWidget& form, const QWidget* parent) {
    const QSize size = form.frameGeometry().size();
    if (parent == nullptr) {
        const QRect screen = form.screen()->geometry();
        form.move(screen.left() + (screen.width() - size.width()) / 2,
                  screen.top() + (screen.height() - size.height()) / 2);
        return;
    }
    const QRect area =
        parent->isWindow() ? parent->frameGeometry() : QRect(QPoint(), parent->size());
    form.move(std::max(0, area.left() + (area.width() - size.width()) / 2),
              std::max(0, area.top() + (area.height() - size.height()) / 2));
}

} // namespace stampwell::ui
