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

inline const QString kSequencesFile = QStringLiteral("sequences.json");

// The editing rules of the sequence list and builder.
// Saving replaces the first sequence with the same id in place, or appends.
void saveSequence(QList<TimerSequence>& list, const TimerSequence& sequence);
// A new five-minute step named "Step " and the number of steps it makes.
void addStep(TimerSequence& sequence);
// The first step with the id gets the name ("Step" when empty) and the length; false if none.
bool updateStep(TimerSequence& sequence, const QUuid& id, const QString& name, double duration);
// Moves the step at `from` before the step now at `to` (`to` may be the count: to the end).
void moveStep(TimerSequence& sequence, int from, int to);
// A name (spaces count) and at least one step.
bool canSave(const TimerSequence& sequence);

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
