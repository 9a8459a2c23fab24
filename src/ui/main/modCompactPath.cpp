#include "ui/main/modCompactPath.h"

#include <QFontMetrics>
#include <QLabel>
#include <QStringList>

namespace stampwell::ui {

namespace {

const QString kEllipsis = QStringLiteral("...");

bool IsSeparator(QChar c) {
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
}

// The separator the path itself uses, so that a Windows path stays one.
QChar SeparatorOf(const QString& path) {
    for (const QChar c : path) {
        if (IsSeparator(c)) {
            return c;
        }
    }
    return QLatin1Char('/');
}

} // namespace

QString CompactPathToWidth(const QString& path, const QFontMetrics& metrics, int widthPx) {
    if (metrics.horizontalAdvance(path) <= widthPx) {
        return path;
    }
    const QChar sep = SeparatorOf(path);
    qsizetype lastSep = path.size() - 1;
    while (lastSep >= 0 && !IsSeparator(path[lastSep])) {
        --lastSep;
    }
    if (lastSep < 0) {
        return metrics.elidedText(path, Qt::ElideRight, widthPx);
    }
    const QString last = path.mid(lastSep + 1);
    // Keep as much of the head as fits, cutting it only at a separator.
    for (qsizetype cut = lastSep - 1; cut > 0; --cut) {
        if (!IsSeparator(path[cut])) {
            continue;
        }
        const QString candidate = path.left(cut + 1) + kEllipsis + sep + last;
        if (metrics.horizontalAdvance(candidate) <= widthPx) {
            return candidate;
        }
    }
    const QString tail = kEllipsis + sep + last;
    if (metrics.horizontalAdvance(tail) <= widthPx) {
        return tail;
    }
    return metrics.elidedText(tail, Qt::ElideRight, widthPx);
}

QString CompactPath(const QString& path, const QLabel& label) {
    return CompactPathToWidth(path + QLatin1Char(' '), label.fontMetrics(),
                              label.contentsRect().width());
}

} // namespace stampwell::ui
