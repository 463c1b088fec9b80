#include "ui/Preferences.h"

#include <QJsonObject>

#include <cmath>

#include "engine/SoundManager.h"
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
        const double volume = o.value(QStringLiteral("globalVolume")).toDouble(-1);
        if (volume >= 0 && volume <= 1) globalVolume_ = static_cast<float>(volume);
    });
}

void Preferences::follow(SoundManager& sounds) {
    sounds.setGlobalVolume(globalVolume_);
    connect(&sounds, &SoundManager::globalVolumeChanged, this, [this, &sounds] {
        if (sounds.globalVolume() == globalVolume_) return;
        globalVolume_ = sounds.globalVolume();
        save();
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
                    {QStringLiteral("defaultSound"), defaultSound_},
                    // Four places keep the file readable (0.8, not 0.800000011920929).
                    {QStringLiteral("globalVolume"), std::round(globalVolume_ * 1e4) / 1e4}},
        kPreferencesFile);
}

}  // namespace larkspur
