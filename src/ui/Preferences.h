#pragma once

#include <QtQml/qqmlregistration.h>
#include <QObject>
#include <QString>

#include "engine/TimerTypes.h"

namespace larkspur {

// Choices of the settings window that no file keeps: they start at their defaults at every
// launch.
// Not final: the QML type registration derives from it.
class Preferences : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application owns the preferences")
    Q_PROPERTY(larkspur::TimerMode defaultTimerMode MEMBER defaultTimerMode_ NOTIFY
                   defaultTimerModeChanged)
    Q_PROPERTY(QString defaultSound MEMBER defaultSound_ NOTIFY defaultSoundChanged)

public:
    using QObject::QObject;

Q_SIGNALS:
    void defaultTimerModeChanged();
    void defaultSoundChanged();

private:
    TimerMode defaultTimerMode_ = TimerMode::Countdown;
    QString defaultSound_ = SoundConfig().soundName;
};

}  // namespace larkspur
