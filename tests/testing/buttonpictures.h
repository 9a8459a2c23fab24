#pragma once

#include <QProxyStyle>

namespace stampwell::testing {

// A style that asks for pictures on dialog buttons, as some desktops do.
class ButtonPicturesStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returned) const override {
        if (hint == SH_DialogButtonBox_ButtonsHaveIcons)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returned);
    }
};

} // namespace stampwell::testing
