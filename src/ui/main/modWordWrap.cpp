#include "ui/main/modWordWrap.h"

#include "ui/main/modMessageBox.h"

#include <QStringList>

namespace stampwell::ui {

namespace {

// One pass each, in this order: a run of four blanks becomes two, not one.
QString Normalized(QString text) {
    text.replace(QStringLiteral("\r"), QStringLiteral(" "));
    text.replace(QStringLiteral("\n"), QStringLiteral(" "));
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QStringLiteral("  "), QStringLiteral(" "));
    text.replace(QStringLiteral("   "), QStringLiteral(" "));
    return text;
}

} // namespace

int LongestWord(const QString& text) {
    int longest = 0;
    int current = 0;
    for (const QChar c : text) {
        current = c == QLatin1Char(' ') ? 0 : current + 1;
        longest = std::max(longest, current);
    }
    return longest;
}

bool WrapWords(const QString& text, int maxLength, QString& wrapped) {
    const QString normalized = Normalized(text);
    if (LongestWord(normalized) > maxLength) {
        wrapped = normalized;
        return false;
    }
    const QStringList words = normalized.trimmed().split(QLatin1Char(' '));
    QStringList lines;
    QString line = words.first();
    for (qsizetype i = 1; i < words.size(); ++i) {
        if (line.size() + 1 + words[i].size() <= maxLength) {
            line += QLatin1Char(' ') + words[i];
        } else {
            lines.append(line);
            line = words[i];
        }
    }
    lines.append(line);
    wrapped = lines.join(QStringLiteral("\r\n"));
    return true;
}

QString WordWrap(const QString& text, int maxLength, QWidget* parent) {
    QString wrapped;
    if (!WrapWords(text, maxLength, wrapped)) {
        ShowMessage(parent, MessageIcon::None, QString(),
                    QStringLiteral("Should be: max.: %1 characters.").arg(maxLength),
                    MessageButtons::Ok);
    }
    return wrapped;
}

} // namespace stampwell::ui
