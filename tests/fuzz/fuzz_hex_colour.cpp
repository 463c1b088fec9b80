#include <cstring>

#include "FuzzSupport.h"
#include "themes/Color.h"

using namespace larkspur;

// The input is hex text as typed into the theme editor (UTF-8, or UTF-16 after a first 0xFE
// byte), and, read as four doubles, a colour from the colour picker.
void fuzzOne(const QByteArray& input) {
    QString text = QString::fromUtf8(input);
    if (input.startsWith('\xFE')) {
        text = QString((input.size() - 1) / 2, Qt::Uninitialized);
        std::memcpy(text.data(), input.constData() + 1, size_t(text.size()) * 2);
    }
    const QString hex = Color::fromHex(text).toHex();
    fuzz::check(hex.size() == 7 && hex.startsWith(u'#'), "not #RRGGBB");
    fuzz::check(Color::fromHex(QLatin1Char('#') + text + QLatin1Char('#')).toHex() == hex,
                "surrounding '#' change the colour");
    fuzz::check(Color::fromHex(hex).toHex() == hex, "#RRGGBB does not read back as itself");
    if (input.size() < qsizetype(4 * sizeof(double))) return;
    Color c;
    for (double* component : {&c.red, &c.green, &c.blue, &c.opacity})
        std::memcpy(component, input.constData() + (component - &c.red) * 8, sizeof(double));
    const QString picked = c.toHex();
    fuzz::check(picked.size() == 7 && Color::fromHex(picked).toHex() == picked,
                "a picked colour's hex text does not read back");
    fuzz::check(Color::fromQColor(c.toQColor()).toHex().size() == 7, "no colour from QColor");
}
