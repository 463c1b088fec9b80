#include "themes/Theme.h"

#include <QJsonObject>
#include <array>
#include <utility>

#include "themes/Color.h"

namespace larkspur {

namespace {
constexpr std::array<std::pair<ThemeKind, const char*>, 4> kKinds{{
    {ThemeKind::Light, "light"},
    {ThemeKind::Dark, "dark"},
    {ThemeKind::HighContrast, "highContrast"},
    {ThemeKind::Custom, "custom"},
}};

// Built-in ids are derived from the kind, so a built-in theme saved as current is still
// recognised as that built-in after a restart.
constexpr QUuid kBuiltInNamespace(0x7A1D3C52, 0x9E4B, 0x4F08, 0xB6, 0xC1, 0x2D, 0x5E, 0x8F, 0x0A,
                                  0x4B, 0x37);

Theme makeBuiltIn(const char* name, ThemeKind kind, const char* background, const char* accent,
                  const char* text) {
    Theme t;
    t.id = QUuid::createUuidV5(kBuiltInNamespace, toRawValue(kind));
    t.name = QLatin1String(name);
    t.kind = kind;
    t.backgroundHex = QLatin1String(background);
    t.accentHex = QLatin1String(accent);
    t.textHex = QLatin1String(text);
    t.progressHex = t.accentHex;
    return t;
}
}  // namespace

QString toRawValue(ThemeKind kind) {
    for (const auto& [k, raw] : kKinds)
        if (k == kind) return QLatin1String(raw);
    return {};
}

std::optional<ThemeKind> themeKindFromRaw(const QString& raw) {
    for (const auto& [k, text] : kKinds)
        if (raw == QLatin1String(text)) return k;
    return std::nullopt;
}

const Theme& Theme::light() {
    static const Theme t = makeBuiltIn("Light", ThemeKind::Light, "#FFFFFF", "#F26A1F", "#3A2010");
    return t;
}

const Theme& Theme::dark() {
    static const Theme t = makeBuiltIn("Dark", ThemeKind::Dark, "#1C1C1E", "#FF8C42", "#F0E0D0");
    return t;
}

const Theme& Theme::highContrast() {
    static const Theme t =
        makeBuiltIn("High Contrast", ThemeKind::HighContrast, "#000000", "#FFAA00", "#FFFFFF");
    return t;
}

const QList<Theme>& Theme::builtIn() {
    static const QList<Theme> list{light(), dark(), highContrast()};
    return list;
}

QString Theme::idText() const {
    return json::uuidToString(id);
}

QColor Theme::backgroundColor() const {
    return Color::fromHex(backgroundHex).toQColor();
}
QColor Theme::accentColor() const {
    return Color::fromHex(accentHex).toQColor();
}
QColor Theme::textColor() const {
    return Color::fromHex(textHex).toQColor();
}
QColor Theme::progressColor() const {
    return Color::fromHex(progressHex).toQColor();
}

QJsonValue JsonCodecFor<Theme>::encode(const Theme& v) {
    return QJsonObject{{QStringLiteral("id"), json::uuidToString(v.id)},
                       {QStringLiteral("name"), v.name},
                       {QStringLiteral("kind"), toRawValue(v.kind)},
                       {QStringLiteral("backgroundHex"), v.backgroundHex},
                       {QStringLiteral("accentHex"), v.accentHex},
                       {QStringLiteral("textHex"), v.textHex},
                       {QStringLiteral("progressHex"), v.progressHex}};
}

Theme JsonCodecFor<Theme>::decode(const QJsonValue& v) {
    const json::ObjectReader r(v, "theme");
    Theme t;
    t.id = r.uuid("id");
    t.name = r.string("name");
    const QString kind = r.string("kind");
    const auto parsed = themeKindFromRaw(kind);
    if (!parsed) json::fail(QStringLiteral("theme.kind: unknown value \"%1\"").arg(kind));
    t.kind = *parsed;
    t.backgroundHex = r.string("backgroundHex");
    t.accentHex = r.string("accentHex");
    t.textHex = r.string("textHex");
    t.progressHex = r.string("progressHex");
    return t;
}

}  // namespace larkspur
