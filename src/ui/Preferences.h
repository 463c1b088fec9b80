#pragma once

#include <QtQml/qqmlregistration.h>
#include <QObject>
#include <QString>

#include "engine/TimerTypes.h"

namespace larkspur {

class SoundManager;
class StorageManager;

inline const QString kPreferencesFile = QStringLiteral("preferences.json");

// The settings window's choices no other file keeps: the mode and sound a new timer starts with,
// and the master volume. Kept in "preferences.json"; a missing or unreadable file means
// countdown, "chime" and 0.8.
// Not final: the QML type registration derives from it.
class Preferences : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application owns the preferences")
    Q_PROPERTY(larkspur::TimerMode defaultTimerMode READ defaultTimerMode WRITE setDefaultTimerMode
                   NOTIFY changed)
    Q_PROPERTY(QString defaultSound READ defaultSound WRITE setDefaultSound NOTIFY changed)

public:
    // Without storage nothing is read or written.
    explicit Preferences(const StorageManager* storage = nullptr, QObject* parent = nullptr);

    TimerMode defaultTimerMode() const { return defaultTimerMode_; }
    void setDefaultTimerMode(TimerMode mode);
    QString defaultSound() const { return defaultSound_; }
    void setDefaultSound(const QString& name);
    float globalVolume() const { return globalVolume_; }

    // Hands the kept volume to `sounds` and keeps each later change of it.
    void follow(SoundManager& sounds);

Q_SIGNALS:
    void changed();

private:
    void save() const;

    const StorageManager* storage_;
    TimerMode defaultTimerMode_ = TimerMode::Countdown;
    QString defaultSound_ = SoundConfig().soundName;
    float globalVolume_ = 0.8f;
};

}  // namespace larkspur
