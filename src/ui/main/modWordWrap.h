#pragma once

#include <QString>

class QWidget;

namespace stampwell::ui {

// The length of the longest run of characters without a blank.
int LongestWord(const QString& text);

// Normalizes the line breaks and blank runs of the text, then wraps it greedily
// into lines of at most maxLength characters joined by CR LF. Returns false
// (and the normalized text unwrapped) when a word is longer than maxLength.
bool WrapWords(const QString& text, int maxLength, QString& wrapped);

// WrapWords for a message text; a word that does not fit is reported to the
// user in a message box and the text is used unwrapped.
QString WordWrap(const QString& text, int maxLength, QWidget* parent = nullptr);

} // namespace stampwell::ui
