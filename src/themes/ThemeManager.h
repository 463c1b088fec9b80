#pragma once

#include <QColor>
#include <QList>
#include <QObject>
#include <QUuid>
#include <QVariantList>

#include "themes/Theme.h"

namespace larkspur {

class StorageManager;

inline const QString kCurrentThemeFile = QStringLiteral("current-theme.json");
inline const QString kCustomThemesFile = QStringLiteral("custom-themes.json");

// Owns the current theme and the user's custom themes, each persisted in a file of its own.
class ThemeManager final : public QObject {
    Q_OBJECT
    Q_PROPERTY(larkspur::Theme currentTheme READ currentTheme WRITE setCurrentTheme NOTIFY
                   currentThemeChanged)
    // Elements are Theme gadgets, in the order the themes were first saved.
    Q_PROPERTY(QVariantList customThemes READ customThemeValues NOTIFY customThemesChanged)
    Q_PROPERTY(QVariantList builtInThemes READ builtInThemeValues CONSTANT)
    // The current theme's colours, parsed from its hex texts.
    Q_PROPERTY(QColor backgroundColor READ backgroundColor NOTIFY currentThemeChanged)
    Q_PROPERTY(QColor accentColor READ accentColor NOTIFY currentThemeChanged)
    Q_PROPERTY(QColor textColor READ textColor NOTIFY currentThemeChanged)
    Q_PROPERTY(QColor progressColor READ progressColor NOTIFY currentThemeChanged)

public:
    // Loads both files; nothing is written at construction.
    explicit ThemeManager(const StorageManager& storage, QObject* parent = nullptr);

    const Theme& currentTheme() const { return currentTheme_; }
    // Changes what views draw with, without saving it.
    void setCurrentTheme(const Theme& theme);
    const QList<Theme>& customThemes() const { return customThemes_; }
    const QList<Theme>& builtInThemes() const { return Theme::builtIn(); }
    QVariantList customThemeValues() const;
    QVariantList builtInThemeValues() const;
    QColor backgroundColor() const { return currentTheme_.backgroundColor(); }
    QColor accentColor() const { return currentTheme_.accentColor(); }
    QColor textColor() const { return currentTheme_.textColor(); }
    QColor progressColor() const { return currentTheme_.progressColor(); }

    // Makes the theme current and writes it to "current-theme.json".
    Q_INVOKABLE void apply(const larkspur::Theme& theme);
    // Replaces the custom theme with the same id in place, or appends it; writes the list. When
    // the theme is the current one, the saved version also becomes current and is written.
    Q_INVOKABLE void saveCustomTheme(const larkspur::Theme& theme);
    // Removes every custom theme with the id and writes the list, also when none matched; the
    // current theme falls back to Light when it had that id.
    void deleteCustomTheme(const QUuid& id);
    Q_INVOKABLE void deleteCustomTheme(const QString& id);

    // A new custom theme with a fresh id, its four colours written as hex texts.
    Q_INVOKABLE larkspur::Theme makeCustomTheme(const QString& name, const QColor& background,
                                                const QColor& accent, const QColor& text,
                                                const QColor& progress) const;
    Q_INVOKABLE QColor colorFromHex(const QString& hex) const;
    Q_INVOKABLE QString hexFromColor(const QColor& color) const;

Q_SIGNALS:
    void currentThemeChanged();
    void customThemesChanged();

private:
    void saveCurrentTheme() const;
    void saveCustomThemes() const;

    const StorageManager& storage_;
    Theme currentTheme_;
    QList<Theme> customThemes_;
};

}  // namespace larkspur
