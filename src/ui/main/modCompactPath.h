#pragma once

#include <QString>

class QFontMetrics;
class QLabel;

namespace stampwell::ui {

// Shortens a path to fit widthPx pixels in the given font: middle components
// give way to "..." and the last component is kept (itself cut at its end only
// when even "...\last" does not fit). A path that fits is returned unchanged.
QString CompactPathToWidth(const QString& path, const QFontMetrics& metrics, int widthPx);

// The path with one blank appended, shortened to the label's width in the
// label's font: what a path label shows.
QString CompactPath(const QString& path, const QLabel& label);

} // namespace stampwell::ui
