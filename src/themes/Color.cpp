#include "themes/Color.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace larkspur {

namespace {
int hexDigitValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') return u - u'0';
    if (u >= u'a' && u <= u'f') return u - u'a' + 10;
    if (u >= u'A' && u <= u'F') return u - u'A' + 10;
    return -1;
}

int byteFromComponent(double component) {
    return int(std::clamp(component, 0.0, 1.0) * 255.0);  // truncates toward zero
}
}  // namespace

quint64 scanHexNumber(QStringView text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text.at(i).isSpace()) ++i;
    if (i + 2 < n && text.at(i) == u'0' && (text.at(i + 1) == u'x' || text.at(i + 1) == u'X') &&
        hexDigitValue(text.at(i + 2)) >= 0)
        i += 2;
    constexpr quint64 kAllBits = std::numeric_limits<quint64>::max();
    quint64 value = 0;
    for (; i < n; ++i) {
        const int digit = hexDigitValue(text.at(i));
        if (digit < 0) break;
        value = value > (kAllBits >> 4) ? kAllBits : (value << 4) | quint64(digit);
    }
    return value;
}

Color Color::fromHex(QStringView hex) {
    qsizetype begin = 0;
    qsizetype end = hex.size();
    while (begin < end && hex.at(begin) == u'#') ++begin;
    while (end > begin && hex.at(end - 1) == u'#') --end;
    const quint64 value = scanHexNumber(hex.sliced(begin, end - begin));
    return Color{double((value >> 16) & 0xFF) / 255.0, double((value >> 8) & 0xFF) / 255.0,
                 double(value & 0xFF) / 255.0, 1.0};
}

QString Color::toHex() const {
    if (std::isnan(red) || std::isnan(green) || std::isnan(blue)) return QStringLiteral("#000000");
    return QStringLiteral("#%1%2%3")
        .arg(byteFromComponent(red), 2, 16, QLatin1Char('0'))
        .arg(byteFromComponent(green), 2, 16, QLatin1Char('0'))
        .arg(byteFromComponent(blue), 2, 16, QLatin1Char('0'))
        .toUpper();
}

QColor Color::toQColor() const {
    const auto unit = [](double v) { return float(std::isnan(v) ? 0.0 : std::clamp(v, 0.0, 1.0)); };
    return QColor::fromRgbF(unit(red), unit(green), unit(blue), unit(opacity));
}

Color Color::fromQColor(const QColor& color) {
    if (!color.isValid()) return Color{};
    const QColor rgb = color.toRgb();
    return Color{rgb.redF(), rgb.greenF(), rgb.blueF(), rgb.alphaF()};
}

}  // namespace larkspur
