#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

namespace larkspur {

// Draws the tray image: a stopwatch symbol when `text` is empty, else the time in two lines
// (minutes over seconds, or hours over minutes) so that it stays legible in a 22 px slot; the
// tool tip carries the full time.
class TrayIconRenderer {
public:
    static QImage render(const QString& text, int size);
    static QIcon icon(const QString& text);
    // "04:59" → {"04", "59"}; "1:02:03" → {"1h", "02"}.
    static std::pair<QString, QString> splitLines(const QString& text);
};

}  // namespace larkspur
