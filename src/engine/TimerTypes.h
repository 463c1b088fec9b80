#pragma once

#include <QJsonValue>
#include <QObject>
#include <QString>
#include <QUuid>
#include <optional>

#include "storage/StorageManager.h"

namespace larkspur {
Q_NAMESPACE

enum class TimerMode { Countdown, Stopwatch, Loop, EndTime };
Q_ENUM_NS(TimerMode)

enum class TimerState { Idle, Running, Paused, Completed };
Q_ENUM_NS(TimerState)

enum class AlertMode { OneShot, Repeated, LoopUntilDismissed };
Q_ENUM_NS(AlertMode)

QString toRawValue(TimerMode mode);
QString toRawValue(TimerState state);
QString toRawValue(AlertMode mode);
// Raw values are case-sensitive; anything else gives nothing.
std::optional<TimerMode> timerModeFromRaw(const QString& raw);
std::optional<TimerState> timerStateFromRaw(const QString& raw);
std::optional<AlertMode> alertModeFromRaw(const QString& raw);

struct SoundConfig {
    QString soundName = QStringLiteral("chime");
    float volume = 0.8f;
    AlertMode alertMode = AlertMode::OneShot;
    std::optional<qint64> preWarningSeconds;

    bool operator==(const SoundConfig&) const = default;
};

struct RecurringConfig {
    double interval = 0;
    std::optional<qint64> maxRuns;
    qint64 runsCompleted = 0;

    bool operator==(const RecurringConfig&) const = default;
};

// The persisted fields of one timer, in their stored order.
struct TimerData {
    QUuid id;
    QString name;
    TimerMode mode = TimerMode::Countdown;
    TimerState state = TimerState::Idle;
    double totalDuration = 0;
    double elapsedTime = 0;
    SoundConfig soundConfig;
    std::optional<QString> emoji;
    std::optional<QString> color;
    double createdAt = 0;
    std::optional<double> endDate;
    bool preWarningFired = false;
    std::optional<RecurringConfig> recurringConfig;

    bool operator==(const TimerData&) const = default;
};

// What a new timer is made from; its id, creation time and progress are the manager's. Every
// member has an initialiser, so a designated list may leave any of them out.
struct NewTimer {
    QString name{};
    double duration = 0;
    TimerMode mode = TimerMode::Countdown;
    SoundConfig soundConfig{};
    std::optional<QString> emoji{};
    std::optional<QString> color{};
    std::optional<double> endDate{};
    std::optional<RecurringConfig> recurringConfig{};
};

template <>
struct JsonCodecFor<SoundConfig> {
    static QJsonValue encode(const SoundConfig& v);
    static SoundConfig decode(const QJsonValue& v);
};

template <>
struct JsonCodecFor<RecurringConfig> {
    static QJsonValue encode(const RecurringConfig& v);
    static RecurringConfig decode(const QJsonValue& v);
};

// A stored timer without "createdAt" gets the instant of reading, which the caller supplies.
struct TimerDataCodec {
    static QJsonValue encode(const TimerData& v);
    static TimerData decode(const QJsonValue& v, double readingTime);
};

}  // namespace larkspur
