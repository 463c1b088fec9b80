#pragma once

#include <QList>

#include "engine/TimerTypes.h"

namespace larkspur {

struct SequenceStep {
    QUuid id;
    QString name;
    double duration = 0;
    std::optional<SoundConfig> soundConfig;

    bool operator==(const SequenceStep&) const = default;
};

struct TimerSequence {
    QUuid id;
    QString name;
    QList<SequenceStep> steps;
    qint64 currentStepIndex = 0;

    bool operator==(const TimerSequence&) const = default;

    // Timers of a step are named "<sequence>: <step>"; the prefix alone identifies them.
    QString stepTimerPrefix() const { return name + QStringLiteral(": "); }
};

template <>
struct JsonCodecFor<SequenceStep> {
    static QJsonValue encode(const SequenceStep& v);
    static SequenceStep decode(const QJsonValue& v);
};

template <>
struct JsonCodecFor<TimerSequence> {
    static QJsonValue encode(const TimerSequence& v);
    static TimerSequence decode(const QJsonValue& v);
};

}  // namespace larkspur
