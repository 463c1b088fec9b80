#pragma once

#include <QColor>
#include <QJsonValue>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QUuid>
#include <optional>

#include "storage/StorageManager.h"

namespace larkspur {

enum class ThemeKind { Light, Dark, HighContrast, Custom };

QString toRawValue(ThemeKind kind);
// Raw values are case-sensitive; anything else gives nothing.
std::optional<ThemeKind> themeKindFromRaw(const QString& raw);

// A named set of four colours kept as hex text. QML reads the texts and the parsed colours, and
// may edit a copy through the writable properties.
struct Theme {
    Q_GADGET
    Q_PROPERTY(QString id READ idText)
    Q_PROPERTY(QString name MEMBER name)
    Q_PROPERTY(QString kind READ kindText)
    Q_PROPERTY(QString backgroundHex MEMBER backgroundHex)
    Q_PROPERTY(QString accentHex MEMBER accentHex)
    Q_PROPERTY(QString textHex MEMBER textHex)
    Q_PROPERTY(QString progressHex MEMBER progressHex)
    Q_PROPERTY(QColor backgroundColor READ backgroundColor)
    Q_PROPERTY(QColor accentColor READ accentColor)
    Q_PROPERTY(QColor textColor READ textColor)
    Q_PROPERTY(QColor progressColor READ progressColor)

public:
    QUuid id;
    QString name;
    ThemeKind kind = ThemeKind::Custom;
    QString backgroundHex;
    QString accentHex;
    QString textHex;
    QString progressHex;

    bool operator==(const Theme&) const = default;

    static const Theme& light();
    static const Theme& dark();
    static const Theme& highContrast();
    // Light, Dark, High Contrast.
    static const QList<Theme>& builtIn();

    QString idText() const;
    QString kindText() const { return toRawValue(kind); }
    QColor backgroundColor() const;
    QColor accentColor() const;
    QColor textColor() const;
    QColor progressColor() const;
};

template <>
struct JsonCodecFor<Theme> {
    static QJsonValue encode(const Theme& v);
    static Theme decode(const QJsonValue& v);
};

}  // namespace larkspur
