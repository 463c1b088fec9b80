#pragma once

#include <QJsonValue>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QUuid>
#include <optional>

#include "engine/TimerTypes.h"
#include "storage/StorageManager.h"

namespace larkspur {

inline const QString kPresetsFile = QStringLiteral("presets.json");

// A saved timer template. The gadget properties let QML read a preset and edit a copy of it.
struct Preset {
    Q_GADGET
    Q_PROPERTY(QString id READ idText)
    Q_PROPERTY(QString name MEMBER name)
    Q_PROPERTY(double duration MEMBER duration)
    // Empty text stands for "no emoji" / "no colour" on the QML side.
    Q_PROPERTY(QString emoji READ emojiText WRITE setEmojiText)
    Q_PROPERTY(QString color READ colorText WRITE setColorText)
    Q_PROPERTY(bool hasSoundConfig READ hasSoundConfig)
    Q_PROPERTY(qint64 sortOrder MEMBER sortOrder)

public:
    QUuid id;
    QString name;
    double duration = 0;
    std::optional<QString> emoji;
    std::optional<QString> color;
    std::optional<SoundConfig> soundConfig;
    qint64 sortOrder = 0;

    bool operator==(const Preset&) const = default;

    // The five built-in presets, made once per process with fresh ids.
    static const QList<Preset>& defaults();

    QString idText() const;
    QString emojiText() const { return emoji.value_or(QString()); }
    void setEmojiText(const QString& text);
    QString colorText() const { return color.value_or(QString()); }
    void setColorText(const QString& text);
    bool hasSoundConfig() const { return soundConfig.has_value(); }
};

class TimerInstance;
class TimerManager;

// A countdown from the preset's settings, appended and saved but not started.
TimerInstance* createTimer(TimerManager& timers, const Preset& preset);

template <>
struct JsonCodecFor<Preset> {
    static QJsonValue encode(const Preset& v);
    static Preset decode(const QJsonValue& v);
};

}  // namespace larkspur
