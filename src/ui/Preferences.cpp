#include "ui/Preferences.h"

#include <QJsonObject>

#include "storage/StorageManager.h"

namespace larkspur {

Preferences::Preferences(const StorageManager* storage, QObject* parent)
    : QObject(parent), storage_(storage) {
    if (!storage_) return;
    storage_->loadJson(kPreferencesFile, [this](const QJsonValue& value) {
        const QJsonObject o = value.toObject();
        // Each key on its own: one that is missing or strange keeps its default.
        if (const auto mode =
                timerModeFromRaw(o.value(QStringLiteral("defaultTimerMode")).toString()))
            defaultTimerMode_ = *mode;
        const QString sound = o.value(QStringLiteral("defaultSound")).toString();
        if (!sound.isEmpty()) defaultSound_ = sound;
    });
}

void Preferences::setDefaultTimerMode(TimerMode mode) {
    if (mode == defaultTimerMode_) return;
    defaultTimerMode_ = mode;
    save();
    Q_EMIT changed();
}

void Preferences::setDefaultSound(const QString& name) {
    if (name == defaultSound_ || name.isEmpty()) return;
    defaultSound_ = name;
    save();
    Q_EMIT changed();
}

void Preferences::save() const {
    if (!storage_) return;
    storage_->saveJson(
        QJsonObject{{QStringLiteral("defaultTimerMode"), toRawValue(defaultTimerMode_)},
                    {QStringLiteral("defaultSound"), defaultSound_}},
        kPreferencesFile);
}

}  // namespace larkspur
