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

// A caption as plain text: without the mark of its mnemonic ("&Start" is
// "Start"; "&&" stands for "&").
inline QString WithoutMnemonic(const QString& caption) {
    QString text;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size()) {
            ++i;
        }
        text += caption[i];
    }
    return text;
}

} // namespace stampwell::ui
