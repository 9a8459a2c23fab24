#pragma once

#include <QString>
#include <string>

// The program's own text (UTF-8, paths included) and Qt's.
namespace stampwell::ui {

inline QString FromStd(const std::string& text) {
    return QString::fromUtf8(text);
}

inline std::string ToStd(const QString& text) {
    return text.toUtf8().toStdString();
}

} // namespace stampwell::ui
