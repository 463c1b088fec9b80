#include "FuzzSupport.h"
#include "themes/Theme.h"

using namespace larkspur;

// The list of custom themes; the current theme is one element of the same form.
void fuzzOne(const QByteArray& input) {
    const auto themes = fuzz::decodeText(input, JsonCodecFor<QList<Theme>>::decode);
    if (!themes) return;
    fuzz::checkSaveReadsBack(*themes);
    for (const Theme& t : *themes) {
        for (const QColor& c :
             {t.backgroundColor(), t.accentColor(), t.textColor(), t.progressColor()})
            fuzz::check(c.isValid() && c.alpha() == 255,
                        "a stored hex text gives no opaque colour");
    }
}
