#include "themes/ThemeManager.h"

#include <algorithm>

#include "storage/JsonCodec.h"
#include "storage/StorageManager.h"
#include "themes/Color.h"

namespace larkspur {

ThemeManager::ThemeManager(const StorageManager& storage, QObject* parent)
    : QObject(parent), storage_(storage), currentTheme_(Theme::light()) {
    if (auto stored = storage_.load<Theme>(kCurrentThemeFile)) currentTheme_ = std::move(*stored);
    if (auto stored = storage_.load<QList<Theme>>(kCustomThemesFile))
        customThemes_ = std::move(*stored);
}

void ThemeManager::setCurrentTheme(const Theme& theme) {
    if (theme == currentTheme_) return;
    currentTheme_ = theme;
    Q_EMIT currentThemeChanged();
}

QVariantList ThemeManager::customThemeValues() const {
    QVariantList out;
    out.reserve(customThemes_.size());
    for (const Theme& t : customThemes_) out.append(QVariant::fromValue(t));
    return out;
}

QVariantList ThemeManager::builtInThemeValues() const {
    QVariantList out;
    for (const Theme& t : Theme::builtIn()) out.append(QVariant::fromValue(t));
    return out;
}

void ThemeManager::apply(const Theme& theme) {
    setCurrentTheme(theme);
    saveCurrentTheme();
}

void ThemeManager::saveCustomTheme(const Theme& theme) {
    const auto it = std::find_if(customThemes_.begin(), customThemes_.end(),
                                 [&](const Theme& t) { return t.id == theme.id; });
    if (it != customThemes_.end())
        *it = theme;
    else
        customThemes_.append(theme);
    saveCustomThemes();
    Q_EMIT customThemesChanged();
    // Otherwise an edited current theme would keep drawing its old colours until picked again.
    if (currentTheme_.id == theme.id) apply(theme);
}

void ThemeManager::deleteCustomTheme(const QUuid& id) {
    const auto removed = customThemes_.removeIf([&](const Theme& t) { return t.id == id; });
    saveCustomThemes();
    if (removed > 0) Q_EMIT customThemesChanged();
    if (currentTheme_.id == id) apply(Theme::light());
}

void ThemeManager::deleteCustomTheme(const QString& id) {
    // Text that is no id matches nothing; the file is written all the same.
    if (const auto parsed = json::tryParseUuid(id))
        deleteCustomTheme(*parsed);
    else
        saveCustomThemes();
}

Theme ThemeManager::makeCustomTheme(const QString& name, const QColor& background,
                                    const QColor& accent, const QColor& text,
                                    const QColor& progress) const {
    Theme t;
    t.id = QUuid::createUuid();
    t.name = name;
    t.kind = ThemeKind::Custom;
    t.backgroundHex = hexFromColor(background);
    t.accentHex = hexFromColor(accent);
    t.textHex = hexFromColor(text);
    t.progressHex = hexFromColor(progress);
    return t;
}

QColor ThemeManager::colorFromHex(const QString& hex) const {
    return Color::fromHex(hex).toQColor();
}

QString ThemeManager::hexFromColor(const QColor& color) const {
    if (!color.isValid()) return QStringLiteral("#000000");
    return Color::fromQColor(color).toHex();
}

void ThemeManager::saveCurrentTheme() const {
    storage_.save(currentTheme_, kCurrentThemeFile);
}

void ThemeManager::saveCustomThemes() const {
    storage_.save(customThemes_, kCustomThemesFile);
}

}  // namespace larkspur
