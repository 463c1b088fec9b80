#pragma once

#include <QColor>
#include <QString>
#include <QStringView>

namespace larkspur {

// A user-interface colour in sRGB, each component in 0.0-1.0.
struct Color {
    double red = 0;
    double green = 0;
    double blue = 0;
    double opacity = 1;

    bool operator==(const Color&) const = default;

    // Never fails: text without hex digits gives opaque black. Surrounding '#' are ignored, a
    // leading "0x" is accepted, and only the low 24 bits of the number make the colour.
    static Color fromHex(QStringView hex);
    // "#RRGGBB" in upper case, each component scaled by 255 and truncated; opacity is dropped.
    // Components are clamped into 0.0-1.0 first; a colour with a NaN component gives "#000000".
    QString toHex() const;

    QColor toQColor() const;
    // An invalid QColor gives nothing usable: the caller sees opaque black.
    static Color fromQColor(const QColor& color);
};

// The number `Color::fromHex` reads from its text, exposed for tests of the scanning rules.
quint64 scanHexNumber(QStringView text);

}  // namespace larkspur
