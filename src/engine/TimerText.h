#pragma once

#include <QString>
#include <QStringView>

namespace larkspur {

// Every view draws a name in full and shapes it again on each redraw, so what a name or emoji can
// hold is bounded where it enters (URLs, the new-timer sheet, the edit form, files read back).
inline constexpr qsizetype kMaxNameLength = 200;  // UTF-16 units

// Control characters other than tab, line feed and carriage return (NUL among them), which no
// one types into a name.
bool hasForbiddenControl(QStringView text);
// The name as kept: forbidden control characters dropped, then cut to kMaxNameLength at the last
// boundary between two characters as the reader sees them.
QString boundedName(const QString& name);
// The first character as the reader sees it (one grapheme cluster, a flag or a family emoji
// included) of what was given for an emoji.
QString singleGrapheme(const QString& text);
// For places that show one line (a menu entry, a notification's first line): line breaks and
// tabs become spaces.
QString oneLine(QString text);

}  // namespace larkspur
