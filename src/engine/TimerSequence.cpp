#include "engine/TimerSequence.h"

#include <algorithm>

namespace larkspur {

void saveSequence(QList<TimerSequence>& list, const TimerSequence& sequence) {
    for (TimerSequence& s : list) {
        if (s.id != sequence.id) continue;
        s = sequence;
        return;
    }
    list.append(sequence);
}

void addStep(TimerSequence& sequence) {
    sequence.steps.append(
        {QUuid::createUuid(), QStringLiteral("Step %1").arg(sequence.steps.size() + 1), 300, {}});
}

bool updateStep(TimerSequence& sequence, const QUuid& id, const QString& name, double duration) {
    for (SequenceStep& step : sequence.steps) {
        if (step.id != id) continue;
        step.name = name.isEmpty() ? QStringLiteral("Step") : name;
        step.duration = duration;
        return true;
    }
    return false;
}

void moveStep(TimerSequence& sequence, int from, int to) {
    const auto count = int(sequence.steps.size());
    if (from < 0 || from >= count) return;
    to = std::clamp(to, 0, count);
    // `to` counts positions before the move; once the step is out, those after it shift down.
    sequence.steps.move(from, to > from ? to - 1 : to);
}

bool canSave(const TimerSequence& sequence) {
    return !sequence.name.isEmpty() && !sequence.steps.isEmpty();
}

QJsonValue JsonCodecFor<SequenceStep>::encode(const SequenceStep& v) {
    QJsonObject o{{QStringLiteral("id"), json::uuidToString(v.id)},
                  {QStringLiteral("name"), v.name},
                  {QStringLiteral("duration"), v.duration}};
    if (v.soundConfig)
        o.insert(QStringLiteral("soundConfig"), JsonCodecFor<SoundConfig>::encode(*v.soundConfig));
    return o;
}

SequenceStep JsonCodecFor<SequenceStep>::decode(const QJsonValue& v) {
    const json::ObjectReader r(v, "step");
    SequenceStep s;
    s.id = r.uuid("id");
    s.name = r.string("name");
    s.duration = r.number("duration");
    if (r.has("soundConfig"))
        s.soundConfig = JsonCodecFor<SoundConfig>::decode(r.value("soundConfig"));
    return s;
}

QJsonValue JsonCodecFor<TimerSequence>::encode(const TimerSequence& v) {
    return QJsonObject{
        {QStringLiteral("id"), json::uuidToString(v.id)},
        {QStringLiteral("name"), v.name},
        {QStringLiteral("steps"), JsonCodecFor<QList<SequenceStep>>::encode(v.steps)},
        {QStringLiteral("currentStepIndex"), double(v.currentStepIndex)}};
}

TimerSequence JsonCodecFor<TimerSequence>::decode(const QJsonValue& v) {
    const json::ObjectReader r(v, "sequence");
    TimerSequence s;
    s.id = r.uuid("id");
    s.name = r.string("name");
    s.steps = JsonCodecFor<QList<SequenceStep>>::decode(r.value("steps"));
    s.currentStepIndex = r.integer("currentStepIndex");
    return s;
}

}  // namespace larkspur
